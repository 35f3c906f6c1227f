#pragma once

#include "numbers/NumberText.h"

#include <QLocale>
#include <QString>

#include <cstdint>
#include <optional>

// The one way windows read numbers the user typed, with the rules of numbers/NumberText in
// the session's locale. A whole number is an optional sign and decimal digits within 32
// bits (blanks only where the field allows them); a decimal number is a finite number in
// the session's notation, the one the configuration page shows and reads (blanks around it
// allowed). Anything else is refused, and the caller shows the conversion message
// (NotAnIntegerMessage, NotAFloatMessage).
inline std::optional<int32_t> TypedInteger(const QString& text,
                                           IntegerBlanks blanks = IntegerBlanks::None) {
    return ParseStrictInteger(text, blanks);
}

inline std::optional<double> TypedFloat(const QString& text) {
    return ParseStrictReal(text.trimmed(), QLocale());
}

// The print speed: as TypedFloat, and a "," is taken as the decimal separator in every
// locale.
inline std::optional<double> TypedSpeed(const QString& text) {
    return ParseSpeedText(text, QLocale());
}

inline QString NotAFloatMessage(const QString& text) {
    return NotARealMessage(text);
}
