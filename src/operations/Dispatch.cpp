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
    {"QueryStatus", QueryStatus, ProgressWrap::None, BufferUse::Always},
    {"ReadConfiguration", ReadConfiguration, ProgressWrap::WhenExtraIsOne, BufferUse::Always},
    {"ReadPasswordState", ReadPasswordState, ProgressWrap::None, BufferUse::Always},
    {"SetPassword", SetPassword, ProgressWrap::None, BufferUse::Always},
    {"WriteConfiguration", WriteConfiguration, ProgressWrap::Always, BufferUse::Always},
    {"InitializePrinter", InitializePrinter, ProgressWrap::None, BufferUse::None},
    {"DumpText", DumpText, ProgressWrap::None, BufferUse::Always},
    {"SelfTest", SelfTest, ProgressWrap::None, BufferUse::None},
    {"SetClock", SetClock, ProgressWrap::None, BufferUse::Always},
    {"ReadClock", ReadClock, ProgressWrap::None, BufferUse::Always},
    {"CalibrateSensor", CalibrateSensor, ProgressWrap::None, BufferUse::Always},
    {"ResetPrinter", ResetPrinter, ProgressWrap::None, BufferUse::None},
    {"ReadMemoryInfo", ReadMemoryInfo, ProgressWrap::Always, BufferUse::Always},
    {"DownloadFile", DownloadFile, ProgressWrap::None, BufferUse::Always},
    {"SendData", SendData, ProgressWrap::None, BufferUse::WhenExtraIsPositive},
    {"SendStoredCommand", SendStoredCommand, ProgressWrap::None, BufferUse::Always},
    {"PrintTestPattern", PrintTestPattern, ProgressWrap::None, BufferUse::Always},
    {"IgnoreAutoBas", IgnoreAutoBas, ProgressWrap::None, BufferUse::None},
    {"SetNetAddress", SetNetAddress, ProgressWrap::None, BufferUse::Always},
    {"SetNetName", SetNetName, ProgressWrap::None, BufferUse::Always},
    {"ReadNetSettings", ReadNetSettings, ProgressWrap::None, BufferUse::Always},
    {"ProbePort", ProbePort, ProgressWrap::None, BufferUse::None},
    {"ReadPrinterFile", ReadPrinterFile, ProgressWrap::None, BufferUse::Always},
    {"ReadSensorSetup", ReadSensorSetup, ProgressWrap::None, BufferUse::Always},
    {"ReadSensorLevels", ReadSensorLevels, ProgressWrap::None, BufferUse::Always},
    {"SendLineModeExit", SendLineModeExit, ProgressWrap::None, BufferUse::None},
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

bool MissingBuffer(const OperationEntry& entry, const void* buffer, int32_t extra) {
    if (buffer)
        return false;
    switch (entry.buffer) {
    case BufferUse::Always:
        return true;
    case BufferUse::WhenExtraIsPositive:
        return extra > 0;
    case BufferUse::None:
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
    const OperationEntry& entry = kOperations[operation];
    if (MissingBuffer(entry, buffer, extra))
        return LinkUnknownError;

    // Nothing can be read over the parallel port.
    if (kind == InterfaceLpt) {
        if (operation == OpQueryStatus || operation == OpReadConfiguration)
            return LinkReceivingError;
        if (operation == OpReadPasswordState) {
            static_cast<char*>(buffer)[0] = '\0';
            return LinkOk;
        }
    }

    ProgressWindow* progress = link.Progress();
    const bool wrapped = progress && Wrapped(entry, extra);
    if (wrapped)
        progress->ShowProgress(ProgressStep, 3, 3);
    const LinkError result = entry.run(link, kind, buffer, extra);
    if (wrapped)
        progress->HideProgress(&link.Waits());
    return result;
}
