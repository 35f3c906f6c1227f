// The LAN set-up answer parsers with datagrams of any content and length: texts stay
// within the answer, and what they report is consistent with the bytes received.

#include "FuzzCheck.h"
#include "network/LanProtocol.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto discovery = ParseDiscoveryAnswer(data, size);
    Check(discovery.has_value() == (size >= 32));
    if (discovery) {
        Check(discovery->model.size() < size && discovery->printerName.size() < size);
        Check(discovery->model.find('\0') == std::string::npos);
        Check(discovery->printerName.find('\0') == std::string::npos);
        const std::string status = LanStatusText(*discovery);
        Check(discovery->hasStatus != status.empty());
        Check(ParseMacText(MacText(discovery->mac)) == discovery->mac);
    }
    const auto settings = ParseIpSettingsAnswer(data, size);
    Check(settings.has_value() == (size >= 32));
    if (settings && settings->ip)
        Check(ReadDottedIpv4(Ipv4Text(*settings->ip)) == settings->ip);
    const auto mode = ParseAddressModeAnswer(data, size);
    if (mode)
        Check(size > 942);

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto mac = ParseMacText(text))
        Check(ParseMacText(MacText(*mac)) == mac);
    if (const auto address = ReadDottedPrefix(text))
        Check(ReadDottedIpv4(Ipv4Text(*address)) == address);
    // The whole-text reading takes a subset of what the prefix reading takes.
    if (const auto address = ReadDottedIpv4(text))
        Check(ReadDottedPrefix(text) == address);
    return 0;
}
