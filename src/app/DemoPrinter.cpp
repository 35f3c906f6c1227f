#include "app/DemoPrinter.h"

std::optional<DemoPrinter> DemoPrinter::Parse(const QString& target) {
    const qsizetype colon = target.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return std::nullopt;
    bool ok = false;
    const int port = target.mid(colon + 1).toInt(&ok);
    if (!ok || port < 1 || port > 65535)
        return std::nullopt;
    QString address = target.left(colon).trimmed();
    // "[::1]:9100": the brackets only separate an IPv6 address from the port.
    if (address.startsWith(QLatin1Char('[')) && address.endsWith(QLatin1Char(']')))
        address = address.mid(1, address.size() - 2);
    if (address.isEmpty())
        return std::nullopt;
    return DemoPrinter{address, port};
}
