#include "operations/NetworkOperations.h"

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
        SetNetText(field, reply.data());
    return result;
}

} // namespace

LinkError SetNetAddress(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t) {
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    const auto* config = static_cast<const PrinterNetConfig*>(buffer);
    std::string command;
    if (config->dhcp == 1) {
        command = "NET DHCP\r\n";
    } else {
        command = "NET IP \"";
        command += std::string(config->ipAddress, strnlen(config->ipAddress, kNetTextCapacity));
        command += "\",\"";
        command += std::string(config->subnetMask, strnlen(config->subnetMask, kNetTextCapacity));
        command += "\",\"";
        command += std::string(config->gateway, strnlen(config->gateway, kNetTextCapacity));
        command += "\"\r\n";
    }
    return session.Write(command) ? LinkOk : LinkTransmissionError;
}

LinkError SetNetName(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t) {
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    const auto* config = static_cast<const PrinterNetConfig*>(buffer);
    std::string command = "NET NAME \"";
    command += std::string(config->printerName, strnlen(config->printerName, kNetTextCapacity));
    command += "\"\r\n";
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
    SetNetText(config->ipAddress, reply.data());
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
        SetNetText(config->printerName, "");
        return LinkOk;
    }
    if (QueryNetText(session, "DIAGNOSTIC REPORT MACADDR\r\n", config->macAddress, reply))
        SetNetText(config->macAddress, "");
    return LinkOk;
}
