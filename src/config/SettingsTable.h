#pragma once

#include "config/PrinterConfig.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <variant>

// How a setting of the configuration page meets its control: what the page shows for the
// field and how it reads it back.
enum class FieldRule {
    Integer,      // decimal / integer
    CutterPiece,  // decimal, shown only while the post-print action is "CUTTER"
    Base,         // decimal in a read-only edit shown only for a value; never collected
    Real,         // shortest general form / real
    Speed,        // as Real, a typed "," counts as the decimal separator
    Length,       // dots / factor as "0.00" / real * factor
    LengthDots,   // as Length, collected as whole dots
    Character,    // the character / the first character
    ComboShifted, // item value + 1 / index - 1
    ComboDirect,  // item = value / index
};

using FieldMember = std::variant<ConfigInt PrinterConfig::*, ConfigFloat PrinterConfig::*,
                                 ConfigChar PrinterConfig::*>;

// One setting of the page's four tabs: the record field and its name, the page control,
// the name a settings document gives it, the page's limits and the edition from which the printer
// reports it. The same entry drives the page, the settings document and its schema.
struct PageSetting {
    FieldMember field;
    const char* record; // the field's name in the record ("Density")
    const char* control;
    FieldRule rule;
    const char* name;
    int32_t tab;
    // The page's range of a whole number (its hint, or the numbers its list offers);
    // low > high: none beyond 32 bits.
    int32_t low = 1;
    int32_t high = 0;
    // The names of a list's items after its empty first one; empty for a list of the
    // numbers low to high. Item n (from 1) holds the value n - 1 (ComboShifted) or n
    // (ComboDirect).
    std::span<const char* const> choices = {};
    // The first firmware edition that reports the setting (0: every one).
    int32_t edition = 0;

    bool HasRange() const { return low <= high; }
    // A list of named items, as opposed to a number or a list of numbers.
    bool IsChoice() const { return !choices.empty(); }
    // The record value of named choice number index (from 0), and back; -1 when out of
    // the list.
    int32_t ChoiceValue(int32_t index) const;
    int32_t ChoiceIndex(int32_t value) const;
};

// Every field of the four tabs in the record's order, which is the page's order of
// collection.
std::span<const PageSetting> PageSettingTable();

// The entry with this document name, or nullptr.
const PageSetting* FindPageSetting(std::string_view name);

// A typed length in the page's unit as record dots: times the unit factor (dots per inch
// or per millimetre); whole dots to the nearest for LengthDots, since the two decimals
// shown stand for a whole number of dots and writing back an untouched page must not move
// it.
double LengthToDots(double length, double factor, FieldRule rule);
