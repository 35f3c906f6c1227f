#pragma once

#include "ui/Captions.h"

#include <span>

// The frame's span of the main window's caption table: the top row, the printer function
// group, the status group and the page tabs. The pages follow with their own spans.
std::span<const CaptionEntry> MainCaptionTable();
