#include "config/ConfigFields.h"

#include "config/SettingsTable.h"

#include <vector>

namespace {

// The settings of one kind, in the order of the page's table (the record's order).
template <typename Item> std::vector<ConfigField<Item>> FieldsOf() {
    std::vector<ConfigField<Item>> fields;
    for (const PageSetting& setting : PageSettingTable()) {
        if (const auto* member = std::get_if<Item PrinterConfig::*>(&setting.field))
            fields.push_back({setting.record, *member});
    }
    return fields;
}

} // namespace

std::span<const ConfigField<ConfigInt>> ConfigIntFields() {
    static const std::vector<ConfigField<ConfigInt>> kFields = FieldsOf<ConfigInt>();
    return kFields;
}

std::span<const ConfigField<ConfigFloat>> ConfigFloatFields() {
    static const std::vector<ConfigField<ConfigFloat>> kFields = FieldsOf<ConfigFloat>();
    return kFields;
}

std::span<const ConfigField<ConfigChar>> ConfigCharFields() {
    static const std::vector<ConfigField<ConfigChar>> kFields = FieldsOf<ConfigChar>();
    return kFields;
}
