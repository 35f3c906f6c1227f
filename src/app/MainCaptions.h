#pragma once

#include "app/Language.h"

#include <span>

// One translated caption or list item of the main window. `item` is -1 for a caption,
// else the index of the list item that the text replaces.
struct MainCaptionEntry {
    const char* control; // objectName of the control
    int item;
    CaptionText text;
};

// The main window's caption table in the order ApplyLanguage applies it.
std::span<const MainCaptionEntry> MainCaptionTable();
