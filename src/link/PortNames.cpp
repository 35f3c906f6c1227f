#include "link/PortNames.h"

#include <limits>

namespace {

constexpr qsizetype kPrefixLength = 3;

// "<prefix>n" becomes the device with number n - 1; other names pass unchanged.
QString NumberedDevice(const QString& portName, QLatin1StringView prefix, const QString& device) {
#if defined(Q_OS_WIN)
    Q_UNUSED(prefix);
    Q_UNUSED(device);
    return portName;
#else
    const std::optional<int> number = PortNameNumber(portName);
    if (!portName.startsWith(prefix) || !number)
        return portName;
    return device + QString::number(*number - 1);
#endif
}

} // namespace

std::optional<int> PortNameNumber(const QString& name) {
    const QStringView digits = QStringView(name).mid(kPrefixLength);
    if (name.size() <= kPrefixLength)
        return std::nullopt;
    int number = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9' || number > (std::numeric_limits<int>::max() - 9) / 10)
            return std::nullopt;
        number = number * 10 + (c.unicode() - u'0');
    }
    if (number < 1)
        return std::nullopt;
    return number;
}

int PortItemForName(const QString& name, int itemCount) {
    const std::optional<int> number = PortNameNumber(name);
    if (!number || *number > itemCount)
        return -1;
    return *number - 1;
}

QString SerialDeviceForPortName(const QString& portName) {
    return NumberedDevice(portName, QLatin1StringView("COM"), QStringLiteral("/dev/ttyS"));
}

QString ParallelDeviceForPortName(const QString& portName) {
    return NumberedDevice(portName, QLatin1StringView("LPT"), QStringLiteral("/dev/lp"));
}
