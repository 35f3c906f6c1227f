#include "link/PortNames.h"

#include <QRegularExpression>

namespace {

// "<prefix>n" becomes the device with number n - 1; other names pass unchanged.
QString NumberedDevice(const QString& portName, const QString& prefix, const QString& device) {
#if defined(Q_OS_WIN)
    Q_UNUSED(prefix);
    Q_UNUSED(device);
    return portName;
#else
    const QRegularExpression numbered(QStringLiteral("^%1([0-9]+)$").arg(prefix));
    const QRegularExpressionMatch match = numbered.match(portName);
    if (!match.hasMatch())
        return portName;
    return device + QString::number(match.captured(1).toInt() - 1);
#endif
}

} // namespace

QString SerialDeviceForPortName(const QString& portName) {
    return NumberedDevice(portName, QStringLiteral("COM"), QStringLiteral("/dev/ttyS"));
}

QString ParallelDeviceForPortName(const QString& portName) {
    return NumberedDevice(portName, QStringLiteral("LPT"), QStringLiteral("/dev/lp"));
}
