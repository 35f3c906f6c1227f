#pragma once

#include "link/LinkSettings.h"
#include "operations/LinkError.h"

#include <cstdint>

class PrinterLink;

// 18: "NET DHCP" when the DHCP flag is exactly 1, else "NET IP" with address, mask and
// gateway of the PrinterNetConfig.
LinkError SetNetAddress(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);
// 19: "NET NAME" with the printer name of the PrinterNetConfig.
LinkError SetNetName(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);
// 20: the six network reports into a PrinterNetConfig; name and MAC are optional.
LinkError ReadNetSettings(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);
