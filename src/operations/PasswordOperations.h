#pragma once

#include "link/LinkSettings.h"
#include "operations/LinkError.h"
#include "operations/PasswordText.h"

#include <cstdint>

class PrinterLink;

// 2: the printer's current password into a text buffer of kPasswordTextCapacity bytes;
// empty when it has none, when its edition is too old to have one and on every failure.
LinkError ReadPasswordState(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);
// 3: "DIAGNOSTIC PASSWORD" with the buffer's text; the printer acknowledges with a frame.
LinkError SetPassword(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);
