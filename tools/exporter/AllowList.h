#pragma once

#include "HostResolver.h"
#include "link/LinkAddress.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

// The targets an exporter may probe (--allow). Entries are networks for TCP printers
// ("10.20.0.0/16", "fd00::/8", a single address), device paths for serial and parallel
// printers, exact or with shell wildcards ("/dev/ttyUSB*"), and "usb" for the USB link.
// An empty list permits every target.
class AllowList {
public:
    // Adds one entry; false with a reason when it is none of the above.
    bool Add(const QString& entry, QString* error);
    bool Empty() const { return networks_.empty() && devices_.empty() && !usb_; }

    // Whether the target may be probed; the reason when not. A TCP host is resolved first
    // and every address it has must lie in an allowed network; the target's address is then
    // replaced by the first of them, so the probe connects to an address that was checked
    // and not to whatever the name resolves to next. Serial and parallel ports are checked
    // as the device they open, which must be a clean absolute path.
    bool Permits(LinkAddress& target, const HostResolver& resolve, QString* reason) const;

private:
    struct Network {
        IpAddress base;
        int prefix = 0;
        bool Contains(const IpAddress& address) const;
    };

    bool PermitsHost(LinkAddress& target, const HostResolver& resolve, QString* reason) const;
    bool PermitsDevice(const QString& device, QString* reason) const;

    std::vector<Network> networks_;
    std::vector<std::string> devices_;
    bool usb_ = false;
};
