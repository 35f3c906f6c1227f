#include "operations/Dispatch.h"

#include "config/ConfigOperations.h"
#include "link/PrinterLink.h"
#include "link/ProgressWindow.h"
#include "operations/ClockOperations.h"
#include "operations/MaintenanceOperations.h"
#include "operations/MemoryOperations.h"
#include "operations/NetworkOperations.h"
#include "operations/PasswordOperations.h"
#include "operations/SensorOperations.h"
#include "operations/StatusOperations.h"

namespace {

const OperationEntry kOperations[kOperationCount] = {
    {"QueryStatus", QueryStatus, ProgressWrap::None},
    {"ReadConfiguration", ReadConfiguration, ProgressWrap::WhenExtraIsOne},
    {"ReadPasswordState", ReadPasswordState, ProgressWrap::None},
    {"SetPassword", SetPassword, ProgressWrap::None},
    {"WriteConfiguration", WriteConfiguration, ProgressWrap::Always},
    {"InitializePrinter", InitializePrinter, ProgressWrap::None},
    {"DumpText", DumpText, ProgressWrap::None},
    {"SelfTest", SelfTest, ProgressWrap::None},
    {"SetClock", SetClock, ProgressWrap::None},
    {"ReadClock", ReadClock, ProgressWrap::None},
    {"CalibrateSensor", CalibrateSensor, ProgressWrap::None},
    {"ResetPrinter", ResetPrinter, ProgressWrap::None},
    {"ReadMemoryInfo", ReadMemoryInfo, ProgressWrap::Always},
    {"DownloadFile", DownloadFile, ProgressWrap::None},
    {"SendData", SendData, ProgressWrap::None},
    {"SendStoredCommand", SendStoredCommand, ProgressWrap::None},
    {"PrintTestPattern", PrintTestPattern, ProgressWrap::None},
    {"IgnoreAutoBas", IgnoreAutoBas, ProgressWrap::None},
    {"SetNetAddress", SetNetAddress, ProgressWrap::None},
    {"SetNetName", SetNetName, ProgressWrap::None},
    {"ReadNetSettings", ReadNetSettings, ProgressWrap::None},
    {"ProbePort", ProbePort, ProgressWrap::None},
    {"ReadPrinterFile", ReadPrinterFile, ProgressWrap::None},
    {"ReadSensorSetup", ReadSensorSetup, ProgressWrap::None},
    {"ReadSensorLevels", ReadSensorLevels, ProgressWrap::None},
    {"SendLineModeExit", SendLineModeExit, ProgressWrap::None},
};

bool Wrapped(const OperationEntry& entry, int32_t extra) {
    switch (entry.progress) {
    case ProgressWrap::Always:
        return true;
    case ProgressWrap::WhenExtraIsOne:
        return extra == 1;
    case ProgressWrap::None:
        break;
    }
    return false;
}

} // namespace

const OperationEntry& OperationAt(uint32_t operation) {
    return kOperations[operation];
}

LinkError Dispatch(PrinterLink& link, uint32_t operation, InterfaceKind kind, void* buffer,
                   int32_t extra) {
    if (operation >= kOperationCount)
        return LinkUnknownError;

    // Nothing can be read over the parallel port.
    if (kind == InterfaceLpt) {
        if (operation == OpQueryStatus || operation == OpReadConfiguration)
            return LinkReceivingError;
        if (operation == OpReadPasswordState) {
            if (buffer)
                static_cast<char*>(buffer)[0] = '\0';
            return LinkOk;
        }
    }

    const OperationEntry& entry = kOperations[operation];
    ProgressWindow* progress = link.Progress();
    const bool wrapped = progress && Wrapped(entry, extra);
    if (wrapped)
        progress->ShowProgress(ProgressStep, 3, 3);
    const LinkError result = entry.run(link, kind, buffer, extra);
    if (wrapped)
        progress->HideProgress();
    return result;
}
