#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Numbers the user typed, converted strictly: a whole number is an optional sign and decimal
// digits within 32 bits; a decimal number is a finite number with a point as the decimal
// separator. Anything else is refused, and the caller shows the conversion message.
std::optional<int32_t> TypedInteger(const QString& text);
std::optional<double> TypedFloat(const QString& text);

// "'<text>' is not a valid integer value" and "'<text>' is not a valid floating point value".
QString NotAnIntegerMessage(const QString& text);
QString NotAFloatMessage(const QString& text);
