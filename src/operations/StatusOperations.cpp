#include "operations/StatusOperations.h"

#include "operations/LinkSession.h"
#include "operations/PrinterStatus.h"

#include <cstring>

LinkError QueryStatus(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t) {
    if (kind == InterfaceLpt)
        return LinkReceivingError;
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    auto* status = static_cast<PrinterStatus*>(buffer);

    static const uint8_t kStatusQuery[] = {0x1B, 0x21, 0x3F};
    if (!session.Write(kStatusQuery, sizeof kStatusQuery))
        return LinkTransmissionError;
    uint8_t statusByte = 0;
    if (!session.ReadByte(statusByte))
        return LinkReceivingError;
    for (int bit = 0; bit < 8; ++bit)
        status->flags[bit] = (statusByte >> bit) & 1;
    status->flags[StatusRibbonEncoderError] = 0;
    status->flags[StatusOutOfRibbon] = 0;

    static const uint8_t kExtendedQuery[] = {0x1B, 0x21, 0x53, 0x0D, 0x0A};
    if (!session.Write(kExtendedQuery, sizeof kExtendedQuery))
        return LinkTransmissionError;
    uint8_t extended[8] = {};
    // Printers without the extended status send nothing back; that is not a failure.
    if (session.ReadBytes(extended, 8)) {
        if (extended[4] & 0x08)
            status->flags[StatusRibbonEncoderError] = 1;
        else if (extended[4] & 0x04)
            status->flags[StatusOutOfRibbon] = 1;
    }
    return LinkOk;
}

LinkError ProbePort(PrinterLink& link, InterfaceKind kind, void*, int32_t) {
    LinkSession session(link, kind);
    return session.IsOpen() ? LinkOk : LinkPortOpenError;
}
