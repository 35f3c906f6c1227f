#include "link/UsbDeviceSource.h"

#include <cstdio>

std::string MakeUsbDevicePath(uint16_t vendorId, uint16_t productId, const std::string& location) {
    char ids[32];
    std::snprintf(ids, sizeof ids, "vid_%04x&pid_%04x", vendorId, productId);
    return "usb#" + std::string(ids) + "#" + location;
}

bool UsbPathMatchesVendor(const std::string& path, const std::string& vendorId) {
    const size_t at = path.find("vid");
    if (at == std::string::npos)
        return false;
    const size_t start = at + 4; // the three letters and one separator
    if (start + 4 > path.size() || vendorId.size() != 4)
        return false;
    return path.compare(start, 4, vendorId) == 0;
}
