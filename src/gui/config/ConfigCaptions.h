#pragma once

#include "gui/kit/Captions.h"

#include <span>

// The configuration group's span of the main window's caption table: its "Interface" tab
// (first: the documented order has it right after the page tabs), the group and the printer
// information, the unit choice of the top row, the fields of the "Common", "Z", "D" and
// "Interface" tabs and the configuration buttons, in that order.
std::span<const CaptionEntry> ConfigCaptionTable();
