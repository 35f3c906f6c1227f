#include "LinkAddress.h"

#include "link/FixedText.h"
#include "link/SerialChoices.h"

#include <QStringList>

#include <cstring>

namespace {

// A name the link needs: not empty and stored whole.
bool StoreText(char* field, size_t capacity, const QString& text) {
    return !text.isEmpty() && StoreFixedText(field, capacity, text, FixedTextKind::Local);
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
         "baud rate %1 is not one of 2400, 4800, 9600, 19200, 38400, 57600, 115200"},
        {kSerialDataBits, com.dataBitsIndex, "data bits must be 7 or 8"},
        {kSerialParities, com.parityIndex, "parity must be n, o or e"},
        {kSerialStopBits, com.stopBitsIndex, "stop bits must be 1, 1.5 or 2"},
    };
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const int32_t index = options[i].setting.IndexOfSummary(parts[i]);
        if (index < 0) {
            const QString message = QString::fromLatin1(options[i].error);
            *error = message.contains(QLatin1String("%1")) ? message.arg(parts[i]) : message;
            return false;
        }
        options[i].index = index;
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
