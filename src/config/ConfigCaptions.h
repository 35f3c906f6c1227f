#pragma once

#include "ui/Captions.h"

#include <span>

// The configuration group's span of the main window's caption table: the group and the
// printer information, the unit choice, the "Common", "Z", "D" and "Interface" tabs and the
// configuration buttons, in that order.
std::span<const CaptionEntry> ConfigCaptionTable();
