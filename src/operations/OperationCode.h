#pragma once

#include <cstdint>

// The numbered printer operations; Dispatch takes the number.
enum OperationCode : uint32_t {
    OpQueryStatus = 0,
    OpReadConfiguration = 1,
    OpReadPasswordState = 2,
    OpSetPassword = 3,
    OpWriteConfiguration = 4,
    OpInitializePrinter = 5,
    OpDumpText = 6,
    OpSelfTest = 7,
    OpSetClock = 8,
    OpReadClock = 9,
    OpCalibrateSensor = 10,
    OpResetPrinter = 11,
    OpReadMemoryInfo = 12,
    OpDownloadFile = 13,
    OpSendData = 14,
    OpSendStoredCommand = 15,
    OpPrintTestPattern = 16,
    OpIgnoreAutoBas = 17,
    OpSetNetAddress = 18,
    OpSetNetName = 19,
    OpReadNetSettings = 20,
    OpProbePort = 21,
    OpReadPrinterFile = 22,
    OpReadSensorSetup = 23,
    OpReadSensorLevels = 24,
    OpSendLineModeExit = 25,
};

constexpr uint32_t kOperationCount = 26;
