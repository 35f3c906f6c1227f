#pragma once

#include "config/ConfigPageNumbers.h"

#include <QLocale>
#include <QString>

#include <cstdint>
#include <optional>

// Numbers the dialogs read from what the user typed, converted strictly with the same
// rules as the configuration page: a whole number is an optional sign and decimal digits
// within 32 bits; a decimal number is a finite number in the session's notation, the one
// the configuration page shows and reads (blanks around it allowed). Anything else is refused, and
// the caller shows the conversion message (NotAnIntegerMessage, NotAFloatMessage).
inline std::optional<int32_t> TypedInteger(const QString& text) {
    return ParseStrictInteger(text);
}

inline std::optional<double> TypedFloat(const QString& text) {
    return ParseStrictReal(text.trimmed(), QLocale());
}

inline QString NotAFloatMessage(const QString& text) {
    return NotARealMessage(text);
}
