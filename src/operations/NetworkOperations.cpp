#include "operations/NetworkOperations.h"

#include "link/FixedText.h"
#include "operations/CommandText.h"
#include "operations/LinkSession.h"
#include "operations/PrinterNetConfig.h"
#include "operations/ReplyReaders.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kNetReplyCapacity = 2048;

// A field holds 63 characters; a longer reply keeps its first 63.
LinkError QueryNetText(LinkSession& session, const char* command, char (&field)[kNetTextCapacity],
                       std::vector<char>& reply) {
    int length = 0;
    const LinkError result =
        QueryFramed(session, command, reply.data(), kNetReplyCapacity, &length);
    if (result == LinkOk)
        StoreFixedBytes(field, reply.data());
    return result;
}

} // namespace

LinkError SetNetAddress(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t) {
    const auto* config = static_cast<const PrinterNetConfig*>(buffer);
    std::string command = "NET DHCP\r\n";
    if (config->dhcp != 1) {
        const std::string address = FixedBytes(config->ipAddress);
        const std::string mask = FixedBytes(config->subnetMask);
        const std::string gateway = FixedBytes(config->gateway);
        // A quote or line end would break the argument list or start another command.
        if (!QuotableText(address) || !QuotableText(mask) || !QuotableText(gateway))
            return LinkUnknownError;
        command = FormatCommand("NET IP \"%s\",\"%s\",\"%s\"\r\n", address.c_str(), mask.c_str(),
                                gateway.c_str());
    }
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    return session.Write(command) ? LinkOk : LinkTransmissionError;
}

LinkError SetNetName(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t) {
    const auto* config = static_cast<const PrinterNetConfig*>(buffer);
    const std::string name = FixedBytes(config->printerName);
    if (!QuotableText(name))
        return LinkUnknownError;
    const std::string command = FormatCommand("NET NAME \"%s\"\r\n", name.c_str());
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    return session.Write(command) ? LinkOk : LinkTransmissionError;
}

LinkError ReadNetSettings(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t) {
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    auto* config = static_cast<PrinterNetConfig*>(buffer);
    if (const LinkError announced = AnnounceInterface(session, kNetReplyCapacity))
        return announced;

    std::vector<char> reply(kNetReplyCapacity);
    int length = 0;
    LinkError result = QueryFramed(session, "DIAGNOSTIC REPORT CONFIGIP\r\n", reply.data(),
                                   kNetReplyCapacity, &length);
    if (result != LinkOk)
        return result;
    StoreFixedBytes(config->ipAddress, reply.data());
    config->dhcp = (length == 7 && std::memcmp(reply.data(), "0.0.0.0", 7) == 0) ? 1 : 0;

    if ((result = QueryNetText(session, "DIAGNOSTIC REPORT GATEWAY\r\n", config->gateway, reply)))
        return result;
    if ((result = QueryNetText(session, "DIAGNOSTIC REPORT IPMASK\r\n", config->subnetMask, reply)))
        return result;
    if ((result =
             QueryNetText(session, "DIAGNOSTIC REPORT LASTUSEDIP\r\n", config->lastUsedIp, reply)))
        return result;

    // Older printers know neither the name nor the MAC report.
    if (QueryNetText(session, "DIAGNOSTIC REPORT NETNAME\r\n", config->printerName, reply)) {
        StoreFixedBytes(config->printerName, "");
        return LinkOk;
    }
    if (QueryNetText(session, "DIAGNOSTIC REPORT MACADDR\r\n", config->macAddress, reply))
        StoreFixedBytes(config->macAddress, "");
    return LinkOk;
}
