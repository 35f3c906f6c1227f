// The link address parser with texts of any content: what it accepts is a link the
// program can open, written the one way the parser reads back to the same settings, and
// whatever it refuses comes with a reason naming the text.

#include "FuzzCheck.h"
#include "link/LinkAddress.h"

#include <QHostAddress>
#include <QString>

#include <cstdint>
#include <cstring>

namespace {

bool NulTerminated(const char* field, size_t capacity) {
    return std::memchr(field, '\0', capacity) != nullptr;
}

bool Printable(const char* text) {
    for (; *text != '\0'; ++text) {
        const auto c = static_cast<unsigned char>(*text);
        if (c < 0x20 || c == 0x7F)
            return false;
    }
    return true;
}

void CheckTcp(const LinkAddress& link) {
    Check(link.net.port >= 1 && link.net.port <= 65535);
    Check(NulTerminated(link.net.address, sizeof link.net.address) && link.net.address[0] != '\0');
    const QString host = QString::fromLocal8Bit(link.net.address);
    // The host is plain ASCII and carries no port of its own.
    for (const QChar c : host)
        Check(c.unicode() > 0x20 && c.unicode() < 0x7F);
    QHostAddress address;
    const bool ipv6 =
        address.setAddress(host) && address.protocol() == QAbstractSocket::IPv6Protocol;
    Check(ipv6 || !host.contains(QLatin1Char(':')));
    // Joined, not put through QString::arg: an IPv6 scope may read "%1".
    const QString canonical = QStringLiteral("tcp:") +
                              (ipv6 ? QLatin1Char('[') + host + QLatin1Char(']') : host) +
                              QLatin1Char(':') + QString::number(link.net.port);
    const std::optional<LinkAddress> again = ParseLinkAddress(canonical, nullptr);
    Check(again && again->kind == InterfaceEthernet && again->net.port == link.net.port &&
          std::strcmp(again->net.address, link.net.address) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString error;
    const std::optional<LinkAddress> link = ParseLinkAddress(text, &error);
    if (!link) {
        Check(error.startsWith(text + QStringLiteral(": ")) && error.size() > text.size() + 2);
    } else {
        Check(link->text == text);
        switch (link->kind) {
        case InterfaceUsb:
            Check(text.compare(QLatin1String("usb"), Qt::CaseInsensitive) == 0);
            break;
        case InterfaceEthernet:
            CheckTcp(*link);
            break;
        case InterfaceCom:
            Check(NulTerminated(link->com.portName, sizeof link->com.portName));
            Check(link->com.portName[0] != '\0' && Printable(link->com.portName));
            break;
        case InterfaceLpt:
            Check(NulTerminated(link->lpt.text, sizeof link->lpt.text));
            Check(link->lpt.text[0] != '\0' && Printable(link->lpt.text));
            break;
        default:
            Check(false);
        }
    }
    for (const QString& line : LinkLines(text))
        Check(!line.isEmpty() && line == line.trimmed() && !line.startsWith(QLatin1Char('#')));
    return 0;
}
