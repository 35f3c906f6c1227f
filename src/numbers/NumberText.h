#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>
#include <optional>

// How numbers are written into edits and read back from what the user typed, for the
// configuration page, the dialogs and the bitmap font form alike. Shown numbers and typed
// ones use the decimal separator of `locale` and never a group separator; whatever is
// shown reads back to the same value in every locale.

// Rounded to two decimals ("4.00", "101.50").
QString FixedTwoText(double value, const QLocale& locale);
// The float widened to double, up to 15 significant digits without trailing zeros (3.0
// gives "3", 3.1f gives "3.09999990463257").
QString ShortestText(float value, const QLocale& locale);

// Where blanks may stand around a typed whole number: nowhere, before it, or on both sides
// (any white space).
enum class IntegerBlanks { None, Leading, Around };

// An optional sign and decimal digits, nothing else, within 32 bits; blanks only where
// `blanks` allows them (leading ones are spaces).
std::optional<int32_t> ParseStrictInteger(const QString& text,
                                          IntegerBlanks blanks = IntegerBlanks::None);
// A complete finite real in the locale's notation (its decimal separator, no group
// separators); surrounding blanks are allowed.
std::optional<double> ParseStrictReal(const QString& text, const QLocale& locale);
// The print speed edit's reading: the first "," counts as the locale's decimal separator,
// so a comma works in every locale; then as ParseStrictReal.
std::optional<double> ParseSpeedText(QString text, const QLocale& locale);

// The framework's conversion messages for a text that did not convert.
QString NotAnIntegerMessage(const QString& text);
QString NotARealMessage(const QString& text);
