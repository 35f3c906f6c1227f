#include "HostResolver.h"

#include "link/AddressText.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>

std::string IpAddress::Text() const {
    char text[INET6_ADDRSTRLEN] = {};
    ::inet_ntop(v6 ? AF_INET6 : AF_INET, bytes.data(), text, sizeof text);
    return text;
}

std::optional<IpAddress> IpAddress::FromText(const std::string& text) {
    IpAddress address;
    if (const std::optional<Ipv4Address> v4 = ReadDottedIpv4(std::string_view(text))) {
        std::copy(v4->begin(), v4->end(), address.bytes.begin());
        return address;
    }
    address.v6 = true;
    if (::inet_pton(AF_INET6, text.c_str(), address.bytes.data()) == 1)
        return address;
    return std::nullopt;
}

std::vector<IpAddress> ResolveHost(const std::string& host, QString* error) {
    if (const std::optional<IpAddress> numeric = IpAddress::FromText(host))
        return {*numeric};
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int failure = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (failure != 0) {
        if (error)
            *error =
                QStringLiteral("%1 does not resolve: %2")
                    .arg(QString::fromStdString(host), QString::fromUtf8(::gai_strerror(failure)));
        return {};
    }
    std::vector<IpAddress> addresses;
    for (const addrinfo* at = found; at; at = at->ai_next) {
        IpAddress address;
        if (at->ai_family == AF_INET) {
            const auto* in = reinterpret_cast<const sockaddr_in*>(at->ai_addr);
            std::memcpy(address.bytes.data(), &in->sin_addr, 4);
        } else if (at->ai_family == AF_INET6) {
            const auto* in6 = reinterpret_cast<const sockaddr_in6*>(at->ai_addr);
            address.v6 = true;
            std::memcpy(address.bytes.data(), &in6->sin6_addr, 16);
        } else {
            continue;
        }
        if (std::none_of(addresses.begin(), addresses.end(), [&](const IpAddress& known) {
                return known.v6 == address.v6 && known.bytes == address.bytes;
            }))
            addresses.push_back(address);
    }
    ::freeaddrinfo(found);
    if (addresses.empty() && error)
        *error = QStringLiteral("%1 has no IP address").arg(QString::fromStdString(host));
    return addresses;
}
