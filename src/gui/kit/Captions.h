#pragma once

#include "gui/kit/Language.h"

#include <span>

class QWidget;

// One translated caption or list item of a window: every window, dialogs included, keeps its
// texts in one table of these (texts the window shows in English only have the English text
// in all three languages). `item` is kCaptionEntry for a caption, else the index of the list
// item that the text replaces (a combo box's or radio group's item, a list view's column).
// The entry that names the window itself gives its title.
struct CaptionEntry {
    const char* control; // objectName of the control
    int item;
    CaptionText text;
};

inline constexpr int kCaptionEntry = -1;

// Applies the entries in order to the controls found by name below `root` (or to `root`
// itself): each control gets the font of the language's character set and its text, which
// is also its accessible name; list items keep the selection. A window's title keeps the
// window's font. Entries naming no control are passed over.
void ApplyCaptions(QWidget* root, std::span<const CaptionEntry> entries, int languageIndex);
