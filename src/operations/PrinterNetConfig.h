#pragma once

#include <cstddef>
#include <cstdint>

#include "link/FixedText.h"

constexpr int kNetTextCapacity = 64;

#pragma pack(push, 1)
// The printer's network settings as operations 18 to 20 read and write them, followed by
// the outcome of the Ethernet settings dialog (action and apply), which the operations
// leave alone. Every text holds at most 63 characters and a terminating zero byte.
struct PrinterNetConfig {
    uint8_t dhcp; // 1: the printer takes its address by DHCP; 0: fixed address
    char ipAddress[kNetTextCapacity];
    char subnetMask[kNetTextCapacity];
    char gateway[kNetTextCapacity];
    char lastUsedIp[kNetTextCapacity];
    char printerName[kNetTextCapacity];
    char macAddress[kNetTextCapacity];
    int32_t action; // 0: "Set IP" confirmed the dialog, 1: "Set Printer Name"
    uint8_t apply;  // 1 when the user confirmed
};
#pragma pack(pop)

static_assert(offsetof(PrinterNetConfig, ipAddress) == 1);
static_assert(offsetof(PrinterNetConfig, subnetMask) == 65);
static_assert(offsetof(PrinterNetConfig, gateway) == 129);
static_assert(offsetof(PrinterNetConfig, lastUsedIp) == 193);
static_assert(offsetof(PrinterNetConfig, printerName) == 257);
static_assert(offsetof(PrinterNetConfig, macAddress) == 321);
static_assert(offsetof(PrinterNetConfig, action) == 385);
static_assert(offsetof(PrinterNetConfig, apply) == 389);
static_assert(sizeof(PrinterNetConfig) == 390);

// The state the main window starts with: DHCP, "0.0.0.0" in the four address texts,
// empty name and MAC, no confirmed change.
void SetNetConfigDefaults(PrinterNetConfig& config);
