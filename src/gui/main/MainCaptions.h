#pragma once

#include "gui/kit/Captions.h"
#include "operations/StatusWord.h"

#include <cstddef>
#include <span>

// The frame's span of the main window's caption table: the language group, then the link
// choice, the status group and the page tabs. The printer function group's span is applied
// between the two (after the first kLanguageCaptions entries); the pages follow with their
// own spans.
std::span<const CaptionEntry> MainCaptionTable();
inline constexpr std::size_t kLanguageCaptions = 4;

// The status word as the main window shows it.
const CaptionText& StatusWordCaption(StatusWord word);
