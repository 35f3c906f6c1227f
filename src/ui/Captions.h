#pragma once

#include "ui/Language.h"

#include <span>

class QWidget;

// One translated caption or list item of a window. `item` is kCaptionEntry for a caption,
// else the index of the list item that the text replaces.
struct CaptionEntry {
    const char* control; // objectName of the control
    int item;
    CaptionText text;
};

inline constexpr int kCaptionEntry = -1;

// Applies the entries in order to the controls found by name below `root`: each control
// gets the font of the language's character set and its text; list items keep the
// selection. Entries naming no control are passed over.
void ApplyCaptions(QWidget* root, std::span<const CaptionEntry> entries, int languageIndex);
