#pragma once

#include "gui/kit/Captions.h"

#include <cstddef>
#include <span>

// The frame's span of the main window's caption table: the language group, then the link
// choice, the status group and the page tabs. The printer function group's span is applied
// between the two (after the first kLanguageCaptions entries); the pages follow with their
// own spans.
std::span<const CaptionEntry> MainCaptionTable();
inline constexpr std::size_t kLanguageCaptions = 4;
