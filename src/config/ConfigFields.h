#pragma once

#include "config/PrinterConfig.h"

#include <span>

// The optional settings of the record (the items with a valid flag) by their field names,
// each kind in record order. One list for everything that walks the settings by name
// (JSON, differences, range checks, settings documents).
template <typename Item> struct ConfigField {
    const char* name;
    Item PrinterConfig::*member;
};

std::span<const ConfigField<ConfigInt>> ConfigIntFields();
std::span<const ConfigField<ConfigFloat>> ConfigFloatFields();
std::span<const ConfigField<ConfigChar>> ConfigCharFields();
