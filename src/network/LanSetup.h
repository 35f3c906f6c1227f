#pragma once

#include "network/LanClient.h"
#include "network/LanProtocol.h"

#include <optional>
#include <string>
#include <vector>

struct PrinterNetConfig;

// The LAN setup actions on top of the client: discovery, factory default and the reads and
// writes of an IP change. None of them shows anything.

// The discovery request to the broadcast targets, then the same request to the multicast
// targets, collecting the answers of each round until a discovery wait passes in silence.
// Answers shorter than the header are dropped; a printer that answers both rounds is in
// the result twice. nullopt when the socket cannot be opened.
std::optional<std::vector<LanDiscoveryAnswer>> DiscoverLanPrinters(LanClient& client,
                                                                   uint16_t sequence);

// The factory-default request to the broadcast targets; no answer is awaited. False when
// the socket cannot be opened.
bool SendLanFactoryDefault(LanClient& client, uint16_t sequence, const MacAddress& target);

// On an open client: asks the printer for its IP settings and address mode, waiting up to
// the answer wait for each. What arrives goes into the record (the address also into the
// last used IP); what does not arrive leaves the record as it was.
void ReadLanNetConfig(LanClient& client, uint16_t sequence, const MacAddress& target,
                      PrinterNetConfig& config);

enum class LanWriteResult {
    Sent,
    // A fixed address whose texts are not all dotted IPv4 addresses; nothing was sent.
    InvalidAddress,
};

// On an open client: the name, IP settings, address mode and commit writes, in that order,
// each followed by a wait of up to the answer wait for one datagram, which is dropped.
// The address texts are checked before anything is sent: with a fixed address a text that
// is not a dotted IPv4 address stops the writes (the first bad one is stored in badText);
// with DHCP it is sent as 0.0.0.0.
LanWriteResult WriteLanNetConfig(LanClient& client, uint16_t sequence, const MacAddress& target,
                                 const PrinterNetConfig& config, std::string* badText = nullptr);
