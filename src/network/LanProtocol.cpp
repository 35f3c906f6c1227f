#include "network/LanProtocol.h"

#include "link/HexDigit.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

void PutBigEndian16(uint8_t* out, uint16_t value) {
    out[0] = static_cast<uint8_t>(value >> 8);
    out[1] = static_cast<uint8_t>(value & 0xFF);
}

std::vector<uint8_t> HeaderOnly(uint8_t requestClass, uint16_t command, uint16_t sequence,
                                const MacAddress& target) {
    std::vector<uint8_t> bytes(kNetSetupHeaderSize, 0);
    WriteNetSetupHeader(bytes.data(), requestClass, command, 0, sequence, target);
    return bytes;
}

std::vector<uint8_t> ReadRequest(uint16_t sequence, const MacAddress& target,
                                 LanSettingsItem item) {
    std::vector<uint8_t> bytes(kLanReadRequestSize, 0);
    WriteNetSetupHeader(bytes.data(), LanClassAddressed, LanCommandReadSettings,
                        kLanReadRequestSize - kNetSetupHeaderSize, sequence, target);
    bytes[32] = item;
    bytes[33] = 0;
    return bytes;
}

// A zero-terminated text in [offset, end) of what arrived; it ends at the first zero byte
// or at end, whichever comes first.
std::string TextAt(const uint8_t* bytes, size_t length, size_t offset, size_t end) {
    if (end > length)
        end = length;
    if (offset >= end)
        return {};
    const auto* start = reinterpret_cast<const char*>(bytes + offset);
    return std::string(start, strnlen(start, end - offset));
}

std::optional<Ipv4Address> AddressAt(const uint8_t* bytes, size_t length, size_t offset) {
    if (length < offset + 4)
        return std::nullopt;
    return Ipv4Address{bytes[offset], bytes[offset + 1], bytes[offset + 2], bytes[offset + 3]};
}

} // namespace

void WriteNetSetupHeader(uint8_t* out, uint8_t requestClass, uint16_t command,
                         uint16_t payloadLength, uint16_t sequence, const MacAddress& target) {
    std::memset(out, 0, kNetSetupHeaderSize);
    PutBigEndian16(out + 0, kNetSetupHeaderSize);
    PutBigEndian16(out + 2, 1);
    PutBigEndian16(out + 4, 1);
    out[6] = 8;
    out[7] = requestClass;
    PutBigEndian16(out + 8, command);
    PutBigEndian16(out + 10, payloadLength);
    PutBigEndian16(out + 12, sequence);
    out[16] = 0x01;
    std::memcpy(out + lan::kTargetMacOffset, target.data(), target.size());
}

std::vector<uint8_t> BuildDiscoverRequest(uint16_t sequence) {
    return HeaderOnly(LanClassDiscovery, LanCommandDiscover, sequence, kAnyPrinterMac);
}

std::vector<uint8_t> BuildFactoryDefaultRequest(uint16_t sequence, const MacAddress& target) {
    return HeaderOnly(LanClassAddressed, LanCommandFactoryDefault, sequence, target);
}

std::vector<uint8_t> BuildReadIpSettingsRequest(uint16_t sequence, const MacAddress& target) {
    return ReadRequest(sequence, target, LanItemIpSettings);
}

std::vector<uint8_t> BuildReadAddressModeRequest(uint16_t sequence, const MacAddress& target) {
    return ReadRequest(sequence, target, LanItemAddressMode);
}

std::optional<LanDiscoveryAnswer> ParseDiscoveryAnswer(const uint8_t* bytes, size_t length) {
    if (length < kNetSetupHeaderSize)
        return std::nullopt;
    LanDiscoveryAnswer answer;
    std::memcpy(answer.mac.data(), bytes + lan::kAnswerMacOffset, answer.mac.size());
    if (length > lan::kErrorFlagsOffset) {
        answer.hasStatus = true;
        answer.status = bytes[lan::kStatusOffset];
        answer.errorFlags = bytes[lan::kErrorFlagsOffset];
    }
    if (const auto ip = AddressAt(bytes, length, lan::kPrinterIpOffset)) {
        answer.hasIp = true;
        answer.ip = *ip;
    }
    answer.model = TextAt(bytes, length, lan::kModelOffset, lan::kPrinterNameOffset);
    answer.printerName =
        TextAt(bytes, length, lan::kPrinterNameOffset, std::min(length, kLanAnswerCapacity));
    return answer;
}

std::optional<LanIpSettingsAnswer> ParseIpSettingsAnswer(const uint8_t* bytes, size_t length) {
    if (length < kNetSetupHeaderSize)
        return std::nullopt;
    LanIpSettingsAnswer answer;
    answer.ip = AddressAt(bytes, length, lan::kIpOffset);
    answer.mask = AddressAt(bytes, length, lan::kMaskOffset);
    answer.gateway = AddressAt(bytes, length, lan::kGatewayOffset);
    return answer;
}

std::optional<bool> ParseAddressModeAnswer(const uint8_t* bytes, size_t length) {
    if (length < kNetSetupHeaderSize || length <= lan::kModeOffset)
        return std::nullopt;
    return bytes[lan::kModeOffset] == lan::kModeDhcp;
}

const char* LanStatusText(uint8_t status, uint8_t errorFlags) {
    switch (status) {
    case 1:
        return "Printing";
    case 2:
        return "Pause";
    case 3:
        if (errorFlags & 0x01)
            return "Carriage Open";
        if (errorFlags & (0x40 | 0x80))
            return "Over Heat";
        if (errorFlags & 0x02)
            return "Paper Jam";
        if (errorFlags & 0x04)
            return "Paper Empty";
        if (errorFlags & (0x08 | 0x10))
            return "Ribbon Error";
        if (errorFlags & 0x20)
            return "Cutter Error";
        return "Error";
    default:
        return "Ready";
    }
}

std::string LanStatusText(const LanDiscoveryAnswer& answer) {
    if (!answer.hasStatus)
        return {};
    return LanStatusText(answer.status, answer.errorFlags);
}

std::string MacText(const MacAddress& mac) {
    char text[18];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2],
                  mac[3], mac[4], mac[5]);
    return text;
}

std::optional<MacAddress> ParseMacText(std::string_view text) {
    if (text.size() != 17)
        return std::nullopt;
    MacAddress mac{};
    for (size_t i = 0; i < mac.size(); ++i) {
        const size_t at = i * 3;
        if (i > 0 && text[at - 1] != ':')
            return std::nullopt;
        const int high = HexDigitValue(text[at]);
        const int low = HexDigitValue(text[at + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        mac[i] = static_cast<uint8_t>(high * 16 + low);
    }
    return mac;
}

std::string Ipv4Text(const Ipv4Address& address) {
    return std::to_string(address[0]) + "." + std::to_string(address[1]) + "." +
           std::to_string(address[2]) + "." + std::to_string(address[3]);
}
