#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// An IPv4 or IPv6 address; IPv4 uses the first 4 bytes.
struct IpAddress {
    bool v6 = false;
    std::array<uint8_t, 16> bytes{};

    // The numeric text ("10.0.0.1", "::1").
    std::string Text() const;
    // Parses a numeric IPv4 or IPv6 address; no names.
    static std::optional<IpAddress> FromText(const std::string& text);
};

// Every address a host name stands for; an empty list with a reason when it has none.
using HostResolver = std::function<std::vector<IpAddress>(const std::string& host, QString* error)>;

// Resolves through the system's resolver (getaddrinfo), numeric addresses without asking it.
std::vector<IpAddress> ResolveHost(const std::string& host, QString* error);
