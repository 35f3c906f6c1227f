#pragma once

#include "link/LinkSettings.h"
#include "operations/LinkError.h"
#include "operations/PrinterStatus.h"

#include <cstdint>

class PrinterLink;

// 0: the status byte and the extended status into a PrinterStatus. The extended reply is
// waited for with the link's own read time-out; when it does not come the two ribbon flags
// stay 0.
LinkError QueryStatus(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);
// 21: opens and closes the link, nothing else.
LinkError ProbePort(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);

// The status record and, beside it, whether the extended reply came. Without it the two
// flags it tells (ribbon encoder error, out of ribbon) are unknown, not clear, although
// the record holds 0 for them.
struct StatusReading {
    PrinterStatus status{};
    bool extendedKnown = false;
};

// How long the command line and the exporter wait for the extended status reply. A printer
// that answers it does so at once, after its status byte; older firmware never answers,
// and a whole read time-out (30 s over TCP) for each of them would stall a fleet.
constexpr int kExtendedStatusWaitMs = 1000;

// Operation 0's exchange for callers outside the window: the extended reply is waited for
// at most extendedWaitMs (or the link's read time-out when that is shorter) for each of
// its bytes. Same results as operation 0.
LinkError ReadPrinterStatus(PrinterLink& link, InterfaceKind kind, StatusReading& reading,
                            int extendedWaitMs = kExtendedStatusWaitMs);
