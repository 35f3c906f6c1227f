#include "network/LanWriteBuffer.h"

#include <algorithm>
#include <cstring>

void LanWriteBuffer::Begin(uint16_t sequence, const MacAddress& target, LanSettingsItem item) {
    WriteNetSetupHeader(bytes_.data(), LanClassAddressed, LanCommandWriteSettings,
                        kLanWriteRequestSize - kNetSetupHeaderSize, sequence, target);
    bytes_[32] = 0;
    bytes_[33] = 0;
    bytes_[34] = item;
    bytes_[35] = 0;
}

const LanWriteBuffer::Bytes& LanWriteBuffer::WriteName(uint16_t sequence, const MacAddress& target,
                                                       std::string_view name) {
    Begin(sequence, target, LanItemName);
    const size_t length = std::min(name.size(), lan::kWriteNameCapacity - 1);
    std::memcpy(bytes_.data() + lan::kWriteNameOffset, name.data(), length);
    bytes_[lan::kWriteNameOffset + length] = 0;
    return bytes_;
}

const LanWriteBuffer::Bytes&
LanWriteBuffer::WriteIpSettings(uint16_t sequence, const MacAddress& target, const Ipv4Address& ip,
                                const Ipv4Address& mask, const Ipv4Address& gateway) {
    Begin(sequence, target, LanItemIpSettings);
    std::memcpy(bytes_.data() + lan::kIpOffset, ip.data(), 4);
    std::memcpy(bytes_.data() + lan::kMaskOffset, mask.data(), 4);
    std::memcpy(bytes_.data() + lan::kGatewayOffset, gateway.data(), 4);
    return bytes_;
}

const LanWriteBuffer::Bytes& LanWriteBuffer::WriteAddressMode(uint16_t sequence,
                                                              const MacAddress& target, bool dhcp) {
    Begin(sequence, target, LanItemAddressMode);
    bytes_[lan::kModeOffset] = dhcp ? lan::kModeDhcp : lan::kModeStatic;
    bytes_[lan::kModeCompanionOffset] = dhcp ? 4 : 1;
    return bytes_;
}

const LanWriteBuffer::Bytes& LanWriteBuffer::Commit(uint16_t sequence, const MacAddress& target) {
    Begin(sequence, target, LanItemCommit);
    return bytes_;
}
