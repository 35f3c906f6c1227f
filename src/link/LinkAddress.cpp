#include "link/LinkAddress.h"

#include "link/AddressText.h"
#include "link/FixedText.h"
#include "link/SerialChoices.h"

#include <QHostAddress>
#include <QStringList>

#include <cstring>

namespace {

constexpr int kDefaultTcpPort = 9100;

// A name the link needs: not empty and stored whole.
bool StoreText(char* field, size_t capacity, const QString& text) {
    return !text.isEmpty() &&
           StoreFixedText(field, capacity, text, FixedTextKind::Local) == FixedTextResult::Stored;
}

bool HasControlCharacter(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

bool AsciiDigits(QStringView text) {
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// A plain decimal port, 1 to 65535: digits only (no sign, no spaces, no leading zero).
bool ParsePort(QStringView text, int* port, QString* reason) {
    const std::optional<int> value = ReadPortNumber(text);
    if (!value) {
        const bool plain =
            AsciiDigits(text) && text.size() <= 5 && !text.startsWith(QLatin1Char('0'));
        *reason = plain ? QStringLiteral("the port %1 is not from 1 to 65535").arg(text)
                        : QStringLiteral("the port '%1' is not a plain decimal number from 1 "
                                         "to 65535")
                              .arg(text);
        return false;
    }
    *port = *value;
    return true;
}

bool HostLabel(QStringView label) {
    if (label.isEmpty() || label.size() > 63 || label.startsWith(QLatin1Char('-')) ||
        label.endsWith(QLatin1Char('-')))
        return false;
    for (const QChar c : label) {
        const bool letter = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                            (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
        if (!letter && !(c >= QLatin1Char('0') && c <= QLatin1Char('9')) && c != QLatin1Char('-'))
            return false;
    }
    return true;
}

// A host name: labels of letters, digits and hyphens between dots. A name of digits and
// dots only must be a dotted IPv4 address.
bool HostNameOrIPv4(const QString& host, QString* reason) {
    bool numeric = !host.isEmpty();
    for (const QChar c : host)
        numeric =
            numeric && (c == QLatin1Char('.') || (c >= QLatin1Char('0') && c <= QLatin1Char('9')));
    if (numeric) {
        if (ReadDottedIpv4(QStringView(host)))
            return true;
        *reason =
            QStringLiteral("'%1' is not a dotted IPv4 address (four numbers 0 to 255)").arg(host);
        return false;
    }
    const QList<QStringView> labels = QStringView(host).split(QLatin1Char('.'));
    for (const QStringView label : labels) {
        if (!HostLabel(label)) {
            *reason = QStringLiteral("'%1' is not a host name (letters, digits and hyphens "
                                     "between dots)")
                          .arg(host);
            return false;
        }
    }
    return true;
}

// "HOST", "HOST:PORT", "[IPV6]" or "[IPV6]:PORT".
bool ParseTcp(const QString& rest, NetSettings& net, QString* reason) {
    QString host;
    QStringView portText;
    bool hasPort = false;
    if (rest.startsWith(QLatin1Char('['))) {
        const qsizetype close = rest.indexOf(QLatin1Char(']'));
        if (close < 0) {
            *reason = QStringLiteral("the IPv6 address has no closing bracket ([ADDR]:PORT)");
            return false;
        }
        host = rest.mid(1, close - 1);
        const QStringView after = QStringView(rest).mid(close + 1);
        if (!after.isEmpty() && !after.startsWith(QLatin1Char(':'))) {
            *reason = QStringLiteral("only ':PORT' may follow the bracketed IPv6 address");
            return false;
        }
        hasPort = !after.isEmpty();
        portText = after.mid(1);
        bool plain = true;
        for (const QChar c : host)
            plain = plain && c.unicode() > 0x20 && c.unicode() < 0x7F && c != QLatin1Char('[') &&
                    c != QLatin1Char('/');
        QHostAddress address;
        if (!plain || !address.setAddress(host) ||
            address.protocol() != QAbstractSocket::IPv6Protocol) {
            *reason = QStringLiteral("'%1' between brackets is not an IPv6 address").arg(host);
            return false;
        }
    } else {
        const qsizetype colons = rest.count(QLatin1Char(':'));
        if (colons > 1) {
            *reason = QStringLiteral("more than one ':' after the host; an IPv6 address is "
                                     "written in brackets, [ADDR]:PORT");
            return false;
        }
        const qsizetype colon = rest.indexOf(QLatin1Char(':'));
        host = colon < 0 ? rest : rest.left(colon);
        hasPort = colon >= 0;
        if (hasPort)
            portText = QStringView(rest).mid(colon + 1);
        if (!HostNameOrIPv4(host, reason))
            return false;
    }
    int port = kDefaultTcpPort;
    if (hasPort && !ParsePort(portText, &port, reason))
        return false;
    if (!StoreText(net.address, sizeof net.address, host)) {
        *reason = QStringLiteral("the printer address must be 1 to 63 bytes");
        return false;
    }
    net.port = port;
    return true;
}

// The serial options after the port: baud rate, data bits (7 or 8), parity (n, o, e),
// stop bits (1, 1.5, 2). Handshake stays at the factory's RTS.
bool ParseComOptions(const QStringList& parts, ComSettings& com, QString* error) {
    if (parts.size() > 4) {
        *error = QStringLiteral("com: takes at most baud rate, data bits, parity and stop bits");
        return false;
    }
    struct Option {
        const SerialSetting& setting;
        int32_t& index;
        const char* error;
    };
    const Option options[] = {
        {kSerialBaudRates, com.baudIndex,
         "baud rate '%1' is not one of 2400, 4800, 9600, 19200, 38400, 57600, 115200"},
        {kSerialDataBits, com.dataBitsIndex, "data bits '%1' are not 7 or 8"},
        {kSerialParities, com.parityIndex, "parity '%1' is not n, o or e"},
        {kSerialStopBits, com.stopBitsIndex, "stop bits '%1' are not 1, 1.5 or 2"},
    };
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const int32_t index = options[i].setting.IndexOfSummary(parts[i]);
        if (index < 0) {
            *error = QString::fromLatin1(options[i].error).arg(parts[i]);
            return false;
        }
        options[i].index = index;
    }
    return true;
}

bool ParseCom(const QString& rest, ComSettings& com, QString* reason) {
    QStringList parts = rest.split(QLatin1Char(','));
    const QString port = parts.takeFirst();
    if (port.isEmpty() || HasControlCharacter(port) || port != port.trimmed()) {
        *reason = QStringLiteral("the serial port name is empty or holds spaces or control "
                                 "characters");
        return false;
    }
    if (!StoreText(com.portName, sizeof com.portName, port)) {
        *reason = QStringLiteral("the serial port name must be 1 to 23 bytes");
        return false;
    }
    return ParseComOptions(parts, com, reason);
}

bool ParseLpt(const QString& rest, LptPortName& lpt, QString* reason) {
    if (rest.isEmpty() || HasControlCharacter(rest) || rest != rest.trimmed()) {
        *reason = QStringLiteral("the parallel port path is empty or holds control characters "
                                 "or surrounding spaces");
        return false;
    }
    if (!StoreText(lpt.text, sizeof lpt.text, rest)) {
        *reason = QStringLiteral("the parallel port path must be 1 to 255 bytes");
        return false;
    }
    return true;
}

} // namespace

std::optional<LinkAddress> ParseLinkAddress(const QString& text, QString* error) {
    LinkAddress spec;
    spec.text = text;
    SetLinkDefaults(spec.com, spec.lpt, spec.net);
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    const QString scheme = (colon < 0 ? text : text.left(colon)).toLower();
    const QString rest = colon < 0 ? QString() : text.mid(colon + 1);
    QString reason;
    bool ok = false;

    if (scheme == QLatin1String("usb")) {
        spec.kind = InterfaceUsb;
        ok = colon < 0;
        if (!ok)
            reason = QStringLiteral("usb takes nothing after it");
    } else if (scheme == QLatin1String("com") && colon >= 0) {
        spec.kind = InterfaceCom;
        ok = ParseCom(rest, spec.com, &reason);
    } else if (scheme == QLatin1String("lpt") && colon >= 0) {
        spec.kind = InterfaceLpt;
        ok = ParseLpt(rest, spec.lpt, &reason);
    } else if (scheme == QLatin1String("tcp") && colon >= 0) {
        spec.kind = InterfaceEthernet;
        ok = rest.isEmpty() ? false : ParseTcp(rest, spec.net, &reason);
        if (rest.isEmpty())
            reason = QStringLiteral("tcp: needs a host");
    } else {
        reason = QStringLiteral("links are usb, com:PORT[,BAUD...], lpt:PATH or tcp:HOST[:PORT]");
    }
    if (ok)
        return spec;
    if (error)
        *error = QStringLiteral("%1: %2").arg(text, reason);
    return std::nullopt;
}

std::vector<LinkLine> NumberedLinkLines(const QString& fileText) {
    std::vector<LinkLine> links;
    const QStringList lines = fileText.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        // "#" starts a comment at the start of a line or after white space; a path may
        // hold one of its own.
        for (qsizetype at = 0; at < line.size(); ++at) {
            if (line[at] == QLatin1Char('#') && (at == 0 || line[at - 1].isSpace())) {
                line.truncate(at);
                break;
            }
        }
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty())
            links.push_back({static_cast<int>(i + 1), trimmed});
    }
    return links;
}

QStringList LinkLines(const QString& fileText) {
    QStringList links;
    for (const LinkLine& line : NumberedLinkLines(fileText))
        links.append(line.text);
    return links;
}
