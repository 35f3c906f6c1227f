#include "operations/PrinterNetConfig.h"

#include <cstring>

void SetNetText(char (&field)[kNetTextCapacity], const char* text) {
    std::memset(field, 0, sizeof field);
    std::strncpy(field, text, sizeof field - 1);
}

void SetNetConfigDefaults(PrinterNetConfig& config) {
    std::memset(&config, 0, sizeof config);
    config.dhcp = 1;
    SetNetText(config.ipAddress, "0.0.0.0");
    SetNetText(config.subnetMask, "0.0.0.0");
    SetNetText(config.gateway, "0.0.0.0");
    SetNetText(config.lastUsedIp, "0.0.0.0");
}
