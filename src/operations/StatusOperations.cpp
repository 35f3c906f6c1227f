#include "operations/StatusOperations.h"

#include "operations/LinkSession.h"

#include <algorithm>
#include <cstring>

namespace {

// The status exchange; a negative extendedWaitMs waits for the extended reply with the
// link's own read time-out.
LinkError ExchangeStatus(PrinterLink& link, InterfaceKind kind, PrinterStatus& status,
                         bool& extendedKnown, int extendedWaitMs) {
    extendedKnown = false;
    if (kind == InterfaceLpt)
        return LinkReceivingError;
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;

    static const uint8_t kStatusQuery[] = {0x1B, 0x21, 0x3F};
    if (!session.Write(kStatusQuery, sizeof kStatusQuery))
        return LinkTransmissionError;
    uint8_t statusByte = 0;
    if (!session.ReadByte(statusByte))
        return LinkReceivingError;
    for (int bit = 0; bit < 8; ++bit)
        status.flags[bit] = (statusByte >> bit) & 1;
    status.flags[StatusRibbonEncoderError] = 0;
    status.flags[StatusOutOfRibbon] = 0;

    static const uint8_t kExtendedQuery[] = {0x1B, 0x21, 0x53, 0x0D, 0x0A};
    if (!session.Write(kExtendedQuery, sizeof kExtendedQuery))
        return LinkTransmissionError;
    uint8_t extended[8] = {};
    LinkTimeouts& waits = link.Timeouts();
    const LinkTimeouts saved = waits;
    if (extendedWaitMs >= 0) {
        for (int* wait : {&waits.usbReadMs, &waits.comReadMs, &waits.netMs})
            *wait = std::min(*wait, std::max(1, extendedWaitMs));
    }
    // Printers without the extended status send nothing back; that is not a failure.
    extendedKnown = session.ReadBytes(extended, 8);
    waits = saved;
    if (extendedKnown) {
        if (extended[4] & 0x08)
            status.flags[StatusRibbonEncoderError] = 1;
        else if (extended[4] & 0x04)
            status.flags[StatusOutOfRibbon] = 1;
    }
    return LinkOk;
}

} // namespace

LinkError QueryStatus(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t) {
    bool extendedKnown = false;
    return ExchangeStatus(link, kind, *static_cast<PrinterStatus*>(buffer), extendedKnown, -1);
}

LinkError ReadPrinterStatus(PrinterLink& link, InterfaceKind kind, StatusReading& reading,
                            int extendedWaitMs) {
    return ExchangeStatus(link, kind, reading.status, reading.extendedKnown,
                          std::max(0, extendedWaitMs));
}

LinkError ProbePort(PrinterLink& link, InterfaceKind kind, void*, int32_t) {
    LinkSession session(link, kind);
    return session.IsOpen() ? LinkOk : LinkPortOpenError;
}
