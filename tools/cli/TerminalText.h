#pragma once

#include <QString>

// A text for a terminal line: every control character (C0, DEL, C1), the line and
// paragraph separators and the bidirectional overrides are written out as escapes ("\n",
// "\r", "\t", "\x1b", "\u202e"), so what a printer reports can neither start a new line nor
// drive the terminal. Everything else is kept.
QString TerminalSafe(const QString& text);
