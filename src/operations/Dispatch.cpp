#include "operations/Dispatch.h"

#include "link/PrinterLink.h"
#include "link/ProgressWindow.h"
#include "operations/NetworkOperations.h"
#include "operations/StatusOperations.h"

namespace {

// Operations whose exchanges are not built yet answer as an unknown operation, so that
// none of them can pass for a success.
LinkError NotBuilt(PrinterLink&, InterfaceKind, void*, int32_t) { return LinkUnknownError; }

const OperationEntry kOperations[kOperationCount] = {
    {"QueryStatus", QueryStatus, ProgressWrap::None},
    {"ReadConfiguration", NotBuilt, ProgressWrap::WhenExtraIsOne},
    {"ReadPasswordState", NotBuilt, ProgressWrap::None},
    {"SetPassword", NotBuilt, ProgressWrap::None},
    {"WriteConfiguration", NotBuilt, ProgressWrap::Always},
    {"InitializePrinter", NotBuilt, ProgressWrap::None},
    {"DumpText", NotBuilt, ProgressWrap::None},
    {"SelfTest", NotBuilt, ProgressWrap::None},
    {"SetClock", NotBuilt, ProgressWrap::None},
    {"ReadClock", NotBuilt, ProgressWrap::None},
    {"CalibrateSensor", NotBuilt, ProgressWrap::None},
    {"ResetPrinter", NotBuilt, ProgressWrap::None},
    {"ReadMemoryInfo", NotBuilt, ProgressWrap::Always},
    {"DownloadFile", NotBuilt, ProgressWrap::None},
    {"SendData", NotBuilt, ProgressWrap::None},
    {"SendStoredCommand", NotBuilt, ProgressWrap::None},
    {"PrintTestPattern", NotBuilt, ProgressWrap::None},
    {"IgnoreAutoBas", NotBuilt, ProgressWrap::None},
    {"SetNetAddress", SetNetAddress, ProgressWrap::None},
    {"SetNetName", SetNetName, ProgressWrap::None},
    {"ReadNetSettings", ReadNetSettings, ProgressWrap::None},
    {"ProbePort", ProbePort, ProgressWrap::None},
    {"ReadPrinterFile", NotBuilt, ProgressWrap::None},
    {"ReadSensorSetup", NotBuilt, ProgressWrap::None},
    {"ReadSensorLevels", NotBuilt, ProgressWrap::None},
    {"SendLineModeExit", NotBuilt, ProgressWrap::None},
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

const OperationEntry& OperationAt(uint32_t operation) { return kOperations[operation]; }

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
