#include "link/AddressText.h"

#include <QString>

#include <string>

namespace {

struct DottedRead {
    Ipv4Address address{};
    size_t length = 0; // characters read
    bool leadingZero = false;
};

// Four decimal numbers below 256 between single dots, from the start of the text.
std::optional<DottedRead> ReadDotted(std::string_view text) {
    DottedRead read;
    size_t at = 0;
    for (size_t part = 0; part < read.address.size(); ++part) {
        if (part > 0) {
            if (at >= text.size() || text[at] != '.')
                return std::nullopt;
            ++at;
        }
        int value = 0;
        const size_t start = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            value = value * 10 + (text[at] - '0');
            if (value > 255)
                return std::nullopt;
            ++at;
        }
        if (at == start)
            return std::nullopt;
        read.leadingZero = read.leadingZero || (at - start > 1 && text[start] == '0');
        read.address[part] = static_cast<uint8_t>(value);
    }
    read.length = at;
    return read;
}

} // namespace

std::optional<Ipv4Address> ReadDottedIpv4(std::string_view text) {
    const std::optional<DottedRead> read = ReadDotted(text);
    if (!read || read->length != text.size() || read->leadingZero)
        return std::nullopt;
    return read->address;
}

std::optional<Ipv4Address> ReadDottedIpv4(QStringView text) {
    for (const QChar c : text)
        if (c.unicode() > 0x7F)
            return std::nullopt;
    const std::string latin = text.toLatin1().toStdString();
    return ReadDottedIpv4(std::string_view(latin));
}

std::optional<Ipv4Address> ReadDottedPrefix(std::string_view text) {
    const std::optional<DottedRead> read = ReadDotted(text);
    if (!read)
        return std::nullopt;
    return read->address;
}

std::optional<int> ReadPortNumber(QStringView text) {
    if (text.isEmpty() || text.size() > 5 || text.startsWith(QLatin1Char('0')))
        return std::nullopt;
    int value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    if (value > 65535)
        return std::nullopt;
    return value;
}
