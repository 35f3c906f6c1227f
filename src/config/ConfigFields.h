#pragma once

#include "config/PrinterConfig.h"

#include <span>

// The optional settings of the record (the items with a valid flag) by their field names,
// each kind in record order, as the page's settings table (SettingsTable) lists them: for
// everything that walks the record's settings by field name (JSON, differences, range
// checks).
template <typename Item> struct ConfigField {
    const char* name;
    Item PrinterConfig::*member;
};

std::span<const ConfigField<ConfigInt>> ConfigIntFields();
std::span<const ConfigField<ConfigFloat>> ConfigFloatFields();
std::span<const ConfigField<ConfigChar>> ConfigCharFields();
