#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>
#include <optional>

// How the configuration page writes numbers into its edits and reads back what the user
// typed. Shown numbers and typed ones use the decimal separator of `locale` and never a
// group separator.

// Rounded to two decimals ("4.00", "101.50").
QString FixedTwoText(double value, const QLocale& locale);
// The float widened to double, up to 15 significant digits without trailing zeros (3.0
// gives "3", 3.1f gives "3.09999990463257").
QString ShortestText(float value, const QLocale& locale);

// An optional sign and decimal digits, nothing else, within 32 bits.
std::optional<int32_t> ParseStrictInteger(const QString& text);
// A complete finite real in the locale's notation (its decimal separator, no group
// separators); surrounding blanks are allowed.
std::optional<double> ParseStrictReal(const QString& text, const QLocale& locale);
// The print speed edit's reading: the first "," counts as the locale's decimal separator,
// so a comma works in every locale; then as ParseStrictReal.
std::optional<double> ParseSpeedText(QString text, const QLocale& locale);

// The framework's conversion messages for a text that did not convert.
QString NotAnIntegerMessage(const QString& text);
QString NotARealMessage(const QString& text);
