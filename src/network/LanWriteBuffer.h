#pragma once

#include "network/LanProtocol.h"

#include <array>
#include <cstdint>
#include <string_view>

// The 1 064-byte buffer that the four write requests of an IP change are built in, one
// after the other. Each request changes only its own bytes, so the later requests still
// carry the name, the addresses and the mode bytes of the earlier ones.
class LanWriteBuffer {
public:
    using Bytes = std::array<uint8_t, kLanWriteRequestSize>;

    LanWriteBuffer() { Clear(); }

    void Clear() { bytes_.fill(0); }

    // The name as a zero-terminated text from byte 176, cut to 63 characters.
    const Bytes& WriteName(uint16_t sequence, const MacAddress& target, std::string_view name);
    const Bytes& WriteIpSettings(uint16_t sequence, const MacAddress& target, const Ipv4Address& ip,
                                 const Ipv4Address& mask, const Ipv4Address& gateway);
    const Bytes& WriteAddressMode(uint16_t sequence, const MacAddress& target, bool dhcp);
    const Bytes& Commit(uint16_t sequence, const MacAddress& target);

    const Bytes& Data() const { return bytes_; }

private:
    void Begin(uint16_t sequence, const MacAddress& target, LanSettingsItem item);

    Bytes bytes_;
};
