#pragma once

#include "fonts/FontParameters.h"

#include <functional>

class ProgressWindow;

// What the application lends the font maker: the progress window and a call that lets the
// window system process pending messages. Either may be absent.
struct FontMakerHooks {
    ProgressWindow* progress = nullptr;
    std::function<void()> processEvents;
};

// Draws every glyph of the chosen codes on the parameters' surface and writes a bitmap font
// file to the output path. Sets the glyph count. The file appears only complete: on any
// failure an older file at the path is left as it was.
bool MakeFont(FontParameters& parameters, const FontMakerHooks& hooks = {});
