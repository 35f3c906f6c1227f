#pragma once

#include "link/LinkSettings.h"
#include "operations/LinkError.h"

#include <cstdint>

class PrinterLink;

// 1: fills the PrinterConfig at buffer from the printer's "DIAGNOSTIC REPORT" replies.
// The caller passes a record that SetConfigDefaults has filled; fields the printer is not
// asked about keep their values. extra 1 only asks the dispatcher for the progress window.
// 0 success (also when a printer too old to know REPRINT, SHIFTX, SHIFTXBASE or EDITION
// stays silent on one of them: the read ends there), 1 the link did not open, 2 a query
// could not be sent, 3 a reply did not come or was malformed, or the resolution was
// unusable. On a non-zero code the fields read so far hold their new values.
LinkError ReadConfiguration(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);

// 4: sends the group of commands of one tab of the configuration page for the
// PrinterConfig at buffer. extra is the selected tab index of the page's tab control:
// 0 "Common", 1 "Z", 2 "D", 3 "Interface"; any other index sends nothing. Nothing is read
// back, so every link kind is accepted. 0 when every command was sent (also when there
// was none), 1 the link did not open, 2 a command could not be sent (none after it are).
LinkError WriteConfiguration(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);
