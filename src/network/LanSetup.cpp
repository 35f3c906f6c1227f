#include "network/LanSetup.h"

#include "link/FixedText.h"
#include "network/LanWriteBuffer.h"
#include "operations/PrinterNetConfig.h"

#include <cstring>

namespace {

void CollectAnswers(LanClient& client, std::vector<LanDiscoveryAnswer>& answers) {
    for (const QByteArray& datagram : client.CollectDatagrams(client.Settings().discoveryWaitMs)) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(datagram.constData());
        if (auto answer = ParseDiscoveryAnswer(bytes, static_cast<size_t>(datagram.size())))
            answers.push_back(std::move(*answer));
    }
}

} // namespace

std::optional<std::vector<LanDiscoveryAnswer>> DiscoverLanPrinters(LanClient& client,
                                                                   uint16_t sequence) {
    if (!client.Open())
        return std::nullopt;
    std::vector<LanDiscoveryAnswer> answers;
    const std::vector<uint8_t> request = BuildDiscoverRequest(sequence);
    client.SendBroadcast(request);
    CollectAnswers(client, answers);
    client.SendMulticast(request);
    CollectAnswers(client, answers);
    client.Close();
    return answers;
}

bool SendLanFactoryDefault(LanClient& client, uint16_t sequence, const MacAddress& target) {
    if (!client.Open())
        return false;
    client.SendBroadcast(BuildFactoryDefaultRequest(sequence, target));
    client.Close();
    return true;
}

void ReadLanNetConfig(LanClient& client, uint16_t sequence, const MacAddress& target,
                      PrinterNetConfig& config) {
    const int wait = client.Settings().answerWaitMs;
    client.SendBroadcast(BuildReadIpSettingsRequest(sequence, target));
    if (auto datagram = client.WaitForDatagram(wait)) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(datagram->constData());
        if (auto answer = ParseIpSettingsAnswer(bytes, static_cast<size_t>(datagram->size()))) {
            if (answer->ip) {
                StoreFixedBytes(config.ipAddress, Ipv4Text(*answer->ip).c_str());
                StoreFixedBytes(config.lastUsedIp, Ipv4Text(*answer->ip).c_str());
            }
            if (answer->mask)
                StoreFixedBytes(config.subnetMask, Ipv4Text(*answer->mask).c_str());
            if (answer->gateway)
                StoreFixedBytes(config.gateway, Ipv4Text(*answer->gateway).c_str());
        }
    }
    client.SendBroadcast(BuildReadAddressModeRequest(sequence, target));
    if (auto datagram = client.WaitForDatagram(wait)) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(datagram->constData());
        if (auto dhcp = ParseAddressModeAnswer(bytes, static_cast<size_t>(datagram->size())))
            config.dhcp = *dhcp ? 1 : 0;
    }
}

LanWriteResult WriteLanNetConfig(LanClient& client, uint16_t sequence, const MacAddress& target,
                                 const PrinterNetConfig& config, std::string* badText) {
    // A text that is not an address must never go out as 255.255.255.255: a printer with a
    // fixed address would take it and drop off the network. On DHCP the fields are not used
    // for the address, and such a text goes out as zeros.
    const bool dhcp = config.dhcp == 1;
    Ipv4Address addresses[3];
    const char(*texts[3])[kNetTextCapacity] = {&config.ipAddress, &config.subnetMask,
                                               &config.gateway};
    for (int i = 0; i < 3; ++i) {
        const std::string text = FixedBytes(*texts[i]);
        const auto address = ReadDottedPrefix(text);
        if (!address && dhcp) {
            addresses[i] = Ipv4Address{};
            continue;
        }
        if (!address) {
            if (badText)
                *badText = text;
            return LanWriteResult::InvalidAddress;
        }
        addresses[i] = *address;
    }

    const int wait = client.Settings().answerWaitMs;
    LanWriteBuffer buffer;
    const auto send = [&](const LanWriteBuffer::Bytes& bytes) {
        client.SendBroadcast(bytes.data(), bytes.size());
        client.WaitForDatagram(wait);
    };
    send(buffer.WriteName(sequence, target, FixedBytes(config.printerName)));
    send(buffer.WriteIpSettings(sequence, target, addresses[0], addresses[1], addresses[2]));
    send(buffer.WriteAddressMode(sequence, target, dhcp));
    send(buffer.Commit(sequence, target));
    return LanWriteResult::Sent;
}
