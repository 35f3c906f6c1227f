#include "AllowList.h"

#include "link/FixedText.h"
#include "link/PortNames.h"

#include <QDir>

#include <climits>
#include <cstdlib>
#include <fnmatch.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>

namespace {

void SetReason(QString* reason, const QString& text) {
    if (reason)
        *reason = text;
}

} // namespace

bool AllowList::Network::Contains(const IpAddress& address) const {
    if (address.v6 != base.v6)
        return false;
    int bits = prefix;
    for (size_t i = 0; bits > 0; ++i, bits -= 8) {
        const uint8_t mask = bits >= 8 ? 0xFF : static_cast<uint8_t>(0xFF << (8 - bits));
        if ((address.bytes[i] & mask) != (base.bytes[i] & mask))
            return false;
    }
    return true;
}

bool AllowList::Add(const QString& entry, QString* error) {
    if (entry == QLatin1String("usb")) {
        usb_ = true;
        return true;
    }
    if (entry.startsWith(QLatin1Char('/'))) {
        if (QDir::cleanPath(entry) != entry) {
            SetReason(error, QStringLiteral("--allow %1: write the device path without \".\", "
                                            "\"..\" or doubled \"/\"")
                                 .arg(entry));
            return false;
        }
        devices_.push_back(entry.toStdString());
        return true;
    }
    const qsizetype slash = entry.indexOf(QLatin1Char('/'));
    const std::optional<IpAddress> base =
        IpAddress::FromText((slash < 0 ? entry : entry.left(slash)).toStdString());
    if (base) {
        const int most = base->v6 ? 128 : 32;
        int prefix = most;
        bool ok = true;
        if (slash >= 0) {
            const QString digits = entry.mid(slash + 1);
            prefix = digits.toInt(&ok);
            ok = ok && !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [](QChar c) {
                     return c >= QLatin1Char('0') && c <= QLatin1Char('9');
                 });
        }
        if (ok && prefix >= 0 && prefix <= most) {
            networks_.push_back({*base, prefix});
            return true;
        }
    }
    SetReason(error, QStringLiteral("--allow %1: not a network (10.20.0.0/16, fd00::/8), "
                                    "a device path (/dev/ttyUSB0, /dev/ttyUSB*) or usb")
                         .arg(entry));
    return false;
}

bool AllowList::Permits(LinkAddress& target, const HostResolver& resolve, QString* reason) const {
    switch (target.kind) {
    case InterfaceUsb:
        if (!usb_)
            SetReason(reason, QStringLiteral("%1: the USB link is not allowed").arg(target.text));
        return usb_;
    case InterfaceCom:
        return PermitsDevice(
            SerialDeviceForPortName(FixedText(target.com.portName, FixedTextKind::Local)), reason);
    case InterfaceLpt:
        return PermitsDevice(
            ParallelDeviceForPortName(FixedText(target.lpt.text, FixedTextKind::Local)), reason);
    case InterfaceEthernet:
        return PermitsHost(target, resolve, reason);
    }
    SetReason(reason, QStringLiteral("%1: not allowed").arg(target.text));
    return false;
}

bool AllowList::PermitsHost(LinkAddress& target, const HostResolver& resolve,
                            QString* reason) const {
    const std::string host = FixedText(target.net.address, FixedTextKind::Local).toStdString();
    QString failure;
    const std::vector<IpAddress> addresses = resolve(host, &failure);
    if (addresses.empty()) {
        SetReason(reason,
                  failure.isEmpty()
                      ? QStringLiteral("%1 does not resolve").arg(QString::fromStdString(host))
                      : failure);
        return false;
    }
    for (const IpAddress& address : addresses) {
        if (Empty())
            break;
        const bool inside = std::any_of(networks_.begin(), networks_.end(),
                                        [&](const Network& n) { return n.Contains(address); });
        if (!inside) {
            SetReason(reason, QStringLiteral("%1 (%2) is outside the allowed networks")
                                  .arg(QString::fromStdString(host),
                                       QString::fromStdString(address.Text())));
            return false;
        }
    }
    if (StoreFixedText(target.net.address, QString::fromStdString(addresses.front().Text()),
                       FixedTextKind::Local) != FixedTextResult::Stored) {
        SetReason(reason, QStringLiteral("%1: the address does not fit").arg(target.text));
        return false;
    }
    return true;
}

bool AllowList::PermitsDevice(const QString& device, QString* reason) const {
    const std::string path = device.toStdString();
    const bool clean = device.startsWith(QLatin1Char('/')) && QDir::cleanPath(device) == device;
    const bool listed =
        clean && std::any_of(devices_.begin(), devices_.end(), [&](const std::string& p) {
            return ::fnmatch(p.c_str(), path.c_str(), FNM_PATHNAME | FNM_PERIOD) == 0;
        });
    if (!listed) {
        SetReason(reason,
                  QStringLiteral("%1 is not an allowed device%2")
                      .arg(device, devices_.empty() ? QStringLiteral(" (serial and parallel "
                                                                     "printers need --allow)")
                                                    : QString()));
        return false;
    }
    return PrinterDevice(path, reason);
}

bool AllowList::PrinterDevice(const std::string& path, QString* reason) {
    const QString shown = QString::fromStdString(path);
    char real[PATH_MAX];
    struct stat info {};
    if (!::realpath(path.c_str(), real) || ::stat(real, &info) != 0) {
        SetReason(reason, QStringLiteral("%1 does not exist").arg(shown));
        return false;
    }
    const std::string target = real;
    const auto under = [&](const char* folder) { return target.rfind(folder, 0) == 0; };
    if (under("/proc/") || under("/sys/") || !S_ISCHR(info.st_mode)) {
        SetReason(reason, QStringLiteral("%1 is not a character device").arg(shown));
        return false;
    }
    // Session terminals: pseudo-terminals (136..143), virtual consoles (4, below 64),
    // /dev/tty, /dev/console and /dev/ptmx (5, 0..2).
    const unsigned major = major(info.st_rdev);
    const unsigned minor = minor(info.st_rdev);
    if (under("/dev/pts/") || (major >= 136 && major <= 143) || (major == 4 && minor < 64) ||
        (major == 5 && minor <= 2)) {
        SetReason(reason, QStringLiteral("%1 is a terminal of a session").arg(shown));
        return false;
    }
    return true;
}
