#include "LinkAddress.h"

#include <QStringList>

#include <cstring>

namespace {

// Baud indexes 0 to 6 name the rates the serial set-up offers.
constexpr int32_t kBaudIndexCount = 7;

bool StoreText(char* field, size_t capacity, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    if (bytes.isEmpty() || static_cast<size_t>(bytes.size()) >= capacity || bytes.contains('\0'))
        return false;
    std::memset(field, 0, capacity);
    std::memcpy(field, bytes.constData(), static_cast<size_t>(bytes.size()));
    return true;
}

// The serial options after the port: baud rate, data bits (7 or 8), parity (n, o, e),
// stop bits (1, 1.5, 2). Handshake stays at the factory's RTS.
bool ParseComOptions(const QStringList& parts, ComSettings& com, QString* error) {
    if (parts.size() > 4) {
        *error = QStringLiteral("com: takes at most baud rate, data bits, parity and stop bits");
        return false;
    }
    if (!parts.isEmpty()) {
        bool ok = false;
        const int baud = parts[0].toInt(&ok);
        com.baudIndex = -1;
        for (int32_t i = 0; ok && i < kBaudIndexCount; ++i) {
            if (BaudRateForIndex(i) == baud)
                com.baudIndex = i;
        }
        if (com.baudIndex < 0) {
            *error = QStringLiteral("baud rate %1 is not one of 2400, 4800, 9600, 19200, 38400, "
                                    "57600, 115200")
                         .arg(parts[0]);
            return false;
        }
    }
    if (parts.size() > 1) {
        if (parts[1] != QLatin1String("7") && parts[1] != QLatin1String("8")) {
            *error = QStringLiteral("data bits must be 7 or 8");
            return false;
        }
        com.dataBitsIndex = parts[1] == QLatin1String("7") ? 0 : 1;
    }
    if (parts.size() > 2) {
        const QString parity = parts[2].toLower();
        static const QStringList kParities = {QStringLiteral("n"), QStringLiteral("o"),
                                              QStringLiteral("e")};
        com.parityIndex = static_cast<int32_t>(kParities.indexOf(parity));
        if (com.parityIndex < 0) {
            *error = QStringLiteral("parity must be n, o or e");
            return false;
        }
    }
    if (parts.size() > 3) {
        static const QStringList kStops = {QStringLiteral("1"), QStringLiteral("1.5"),
                                           QStringLiteral("2")};
        com.stopBitsIndex = static_cast<int32_t>(kStops.indexOf(parts[3]));
        if (com.stopBitsIndex < 0) {
            *error = QStringLiteral("stop bits must be 1, 1.5 or 2");
            return false;
        }
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

    if (scheme == QLatin1String("usb") && colon < 0) {
        spec.kind = InterfaceUsb;
        return spec;
    }
    if (scheme == QLatin1String("com") && !rest.isEmpty()) {
        spec.kind = InterfaceCom;
        QStringList parts = rest.split(QLatin1Char(','));
        const QString port = parts.takeFirst();
        if (!StoreText(spec.com.portName, sizeof spec.com.portName, port))
            reason = QStringLiteral("the serial port name must be 1 to 23 bytes");
        else if (ParseComOptions(parts, spec.com, &reason))
            return spec;
    } else if (scheme == QLatin1String("lpt") && !rest.isEmpty()) {
        spec.kind = InterfaceLpt;
        if (StoreText(spec.lpt.text, sizeof spec.lpt.text, rest))
            return spec;
        reason = QStringLiteral("the parallel port path must be 1 to 255 bytes");
    } else if (scheme == QLatin1String("tcp") && !rest.isEmpty()) {
        spec.kind = InterfaceEthernet;
        QString host = rest;
        int port = 9100;
        // "[::1]:9100" for IPv6 addresses; otherwise the last colon starts the port.
        if (host.startsWith(QLatin1Char('['))) {
            const qsizetype close = host.indexOf(QLatin1Char(']'));
            const QString after = close < 0 ? QString() : host.mid(close + 1);
            if (close < 0 || (!after.isEmpty() && !after.startsWith(QLatin1Char(':')))) {
                reason = QStringLiteral("an IPv6 address is written [ADDR]:PORT");
            } else {
                if (!after.isEmpty())
                    port = after.mid(1).toInt();
                host = host.mid(1, close - 1);
            }
        } else if (host.count(QLatin1Char(':')) == 1) {
            const qsizetype at = host.indexOf(QLatin1Char(':'));
            bool ok = false;
            port = host.mid(at + 1).toInt(&ok);
            if (!ok)
                port = 0;
            host = host.left(at);
        }
        if (reason.isEmpty()) {
            if (port <= 0 || port > 65535)
                reason = QStringLiteral("the TCP port must be 1 to 65535");
            else if (!StoreText(spec.net.address, sizeof spec.net.address, host))
                reason = QStringLiteral("the printer address must be 1 to 63 bytes");
            else {
                spec.net.port = port;
                return spec;
            }
        }
    } else {
        reason = QStringLiteral("links are usb, com:PORT[,BAUD...], lpt:PATH or tcp:HOST[:PORT]");
    }
    if (error)
        *error = QStringLiteral("%1: %2").arg(text, reason);
    return std::nullopt;
}

QStringList LinkLines(const QString& fileText) {
    QStringList links;
    for (const QString& line : fileText.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty() && !trimmed.startsWith(QLatin1Char('#')))
            links.append(trimmed);
    }
    return links;
}
