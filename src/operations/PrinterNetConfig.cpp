#include "operations/PrinterNetConfig.h"

#include "link/FixedText.h"

#include <cstring>

void SetNetConfigDefaults(PrinterNetConfig& config) {
    std::memset(&config, 0, sizeof config);
    config.dhcp = 1;
    StoreFixedBytes(config.ipAddress, "0.0.0.0");
    StoreFixedBytes(config.subnetMask, "0.0.0.0");
    StoreFixedBytes(config.gateway, "0.0.0.0");
    StoreFixedBytes(config.lastUsedIp, "0.0.0.0");
}
