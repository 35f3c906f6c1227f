#pragma once

#include "CliCommand.h"

// "font make": a printer bitmap font from a font installed on this machine, written to a
// file (which "files download" then sends to printers).
CliCommand FontMake();

// True when the arguments ask for "font make", which draws text and so needs the window
// system's font support (on the offscreen platform).
bool IsFontMake(const QStringList& arguments);
