#pragma once

#include <QStringView>

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// The one reading of the address and port texts every program takes: the link addresses
// of the command line and the exporter, the network dialogs and the printer's LAN records.

// An IPv4 address in network order (first number first).
using Ipv4Address = std::array<uint8_t, 4>;

// A dotted IPv4 address as the whole text: four decimal numbers 0 to 255 between single
// dots, none with a leading zero (which some resolvers read as octal).
std::optional<Ipv4Address> ReadDottedIpv4(std::string_view text);
std::optional<Ipv4Address> ReadDottedIpv4(QStringView text);

// A dotted address as the printer's LAN records take it: four decimal numbers, each below
// 256, between single dots; leading zeros are read as decimal and the reading stops at the
// first character after the fourth number.
std::optional<Ipv4Address> ReadDottedPrefix(std::string_view text);

// A TCP port as a plain decimal number from 1 to 65535: digits only (no sign, no spaces,
// no leading zero).
std::optional<int> ReadPortNumber(QStringView text);
