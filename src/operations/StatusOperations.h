#pragma once

#include "link/LinkSettings.h"
#include "operations/LinkError.h"

#include <cstdint>

class PrinterLink;

// 0: the status byte and the extended status into a PrinterStatus.
LinkError QueryStatus(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);
// 21: opens and closes the link, nothing else.
LinkError ProbePort(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);
