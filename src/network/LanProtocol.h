#pragma once

#include "link/AddressText.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The printers' LAN setup protocol over UDP: requests begin with a 32-byte big-endian
// header, answers carry their fields at fixed offsets. Everything here is pure: bytes in,
// bytes or values out.

using MacAddress = std::array<uint8_t, 6>;

constexpr uint16_t kLanSetupPort = 22368;
constexpr size_t kNetSetupHeaderSize = 32;
constexpr size_t kLanReadRequestSize = 34;
constexpr size_t kLanWriteRequestSize = 1064;
// The most of one answer that is read; longer datagrams are cut there.
constexpr size_t kLanAnswerCapacity = 2048;
constexpr MacAddress kAnyPrinterMac = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

enum LanRequestClass : uint8_t {
    LanClassDiscovery = 0,
    LanClassAddressed = 2,
};

enum LanCommand : uint16_t {
    LanCommandFactoryDefault = 1,
    LanCommandDiscover = 2,
    LanCommandReadSettings = 3,
    LanCommandWriteSettings = 4,
};

// The item a read or write request names in the bytes after the header.
enum LanSettingsItem : uint8_t {
    LanItemName = 0,
    LanItemIpSettings = 4,
    LanItemAddressMode = 5,
    LanItemCommit = 7,
};

// Offsets of the fields in requests and answers.
namespace lan {
constexpr size_t kTargetMacOffset = 22;
constexpr size_t kAnswerMacOffset = 22;
constexpr size_t kStatusOffset = 40;
constexpr size_t kErrorFlagsOffset = 41;
constexpr size_t kPrinterIpOffset = 44;
constexpr size_t kModelOffset = 52;
constexpr size_t kPrinterNameOffset = 84;
constexpr size_t kWriteNameOffset = 176;
constexpr size_t kIpOffset = 69;
constexpr size_t kMaskOffset = 73;
constexpr size_t kGatewayOffset = 77;
constexpr size_t kModeOffset = 942;
constexpr size_t kModeCompanionOffset = 948;
constexpr uint8_t kModeDhcp = 8;
constexpr uint8_t kModeStatic = 1;
constexpr size_t kWriteNameCapacity = 64; // 63 characters and the terminator
} // namespace lan

// Writes the 32-byte header at out.
void WriteNetSetupHeader(uint8_t* out, uint8_t requestClass, uint16_t command,
                         uint16_t payloadLength, uint16_t sequence, const MacAddress& target);

std::vector<uint8_t> BuildDiscoverRequest(uint16_t sequence);
std::vector<uint8_t> BuildFactoryDefaultRequest(uint16_t sequence, const MacAddress& target);
std::vector<uint8_t> BuildReadIpSettingsRequest(uint16_t sequence, const MacAddress& target);
std::vector<uint8_t> BuildReadAddressModeRequest(uint16_t sequence, const MacAddress& target);

// What a discovery answer says. Fields that lie beyond the received bytes are absent:
// their texts stay empty.
struct LanDiscoveryAnswer {
    MacAddress mac{};
    bool hasStatus = false;
    uint8_t status = 0;
    uint8_t errorFlags = 0;
    bool hasIp = false;
    Ipv4Address ip{};
    std::string model;
    std::string printerName;
};

// Answers shorter than the header are ignored (nullopt).
std::optional<LanDiscoveryAnswer> ParseDiscoveryAnswer(const uint8_t* bytes, size_t length);

struct LanIpSettingsAnswer {
    std::optional<Ipv4Address> ip;
    std::optional<Ipv4Address> mask;
    std::optional<Ipv4Address> gateway;
};

// nullopt for answers shorter than the header; each address only when all its 4 bytes came.
std::optional<LanIpSettingsAnswer> ParseIpSettingsAnswer(const uint8_t* bytes, size_t length);

// The address mode of a read answer: true for DHCP, false for static; nullopt when the
// answer is shorter than the header or ends before the mode byte.
std::optional<bool> ParseAddressModeAnswer(const uint8_t* bytes, size_t length);

// The status column's text for the status byte and the error flags.
const char* LanStatusText(uint8_t status, uint8_t errorFlags);
// The status column of an answer: empty when the status bytes did not arrive.
std::string LanStatusText(const LanDiscoveryAnswer& answer);

// "%02X:%02X:%02X:%02X:%02X:%02X".
std::string MacText(const MacAddress& mac);
// Six hexadecimal pairs separated by ":"; nullopt for anything else.
std::optional<MacAddress> ParseMacText(std::string_view text);

// The four numbers in decimal without leading zeros, joined by ".".
std::string Ipv4Text(const Ipv4Address& address);
