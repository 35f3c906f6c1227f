#include "config/ConfigRanges.h"

#include "config/ConfigCommands.h"
#include "config/ConfigFields.h"
#include "config/SettingsTable.h"

namespace {

// The speed edit's limit, from the page's table.
float HighestSpeed() {
    return static_cast<float>(FindPageSetting("speed")->high);
}

std::string FlagFault(uint8_t flag) {
    return "flag " + std::to_string(flag) + " is neither 0 nor 1";
}

} // namespace

std::optional<ConfigIntRange> ConfigSettingRange(std::string_view name) {
    // The page's whole-number choices and hinted ranges: a named list from its first to
    // its last item's value (Z and D modes start at 1: their combo boxes give the item
    // index; the others give the index less one), a list of numbers or a hint from its
    // low to its high end.
    for (const PageSetting& setting : PageSettingTable()) {
        if (name != setting.record ||
            !std::holds_alternative<ConfigInt PrinterConfig::*>(setting.field))
            continue;
        if (setting.IsChoice())
            return ConfigIntRange{
                setting.record, setting.ChoiceValue(0),
                setting.ChoiceValue(static_cast<int32_t>(setting.choices.size()) - 1)};
        if (setting.HasRange())
            return ConfigIntRange{setting.record, setting.low, setting.high};
        return std::nullopt;
    }
    return std::nullopt;
}

std::vector<ConfigRangeFault> CheckConfigRanges(const PrinterConfig& config) {
    std::vector<ConfigRangeFault> faults;
    if (config.ResolutionValid > 1)
        faults.push_back({"ResolutionValid", FlagFault(config.ResolutionValid)});
    if (config.InchUnit > 1)
        faults.push_back({"InchUnit", FlagFault(config.InchUnit)});
    for (const auto& [name, member] : ConfigIntFields()) {
        const ConfigInt& item = config.*member;
        if (item.valid > 1) {
            faults.push_back({name, FlagFault(item.valid)});
            continue;
        }
        const std::optional<ConfigIntRange> range = ConfigSettingRange(name);
        if (item.valid == 1 && range && (item.value < range->lowest || item.value > range->highest))
            faults.push_back({name, std::to_string(item.value) + " is outside " +
                                        std::to_string(range->lowest) + " to " +
                                        std::to_string(range->highest)});
    }
    for (const auto& [name, member] : ConfigFloatFields()) {
        const ConfigFloat& item = config.*member;
        if (item.valid > 1)
            faults.push_back({name, FlagFault(item.valid)});
        else if (item.valid == 1 && member == &PrinterConfig::Speed &&
                 !(item.value >= 0.0F && item.value <= HighestSpeed()))
            faults.push_back({name, std::to_string(item.value) + " is outside 0 to " +
                                        std::to_string(FindPageSetting("speed")->high)});
    }
    for (const auto& [name, member] : ConfigCharFields()) {
        const ConfigChar& item = config.*member;
        const auto c = static_cast<unsigned char>(item.value);
        if (item.valid > 1)
            faults.push_back({name, FlagFault(item.valid)});
        else if (item.valid == 1 && (c < 0x20 || c == 0x7F))
            faults.push_back({name, "character " + std::to_string(c) + " is a control character"});
    }
    // Reals that cannot be written as a printer reads them (not finite, too large).
    if (!RealsSendable(config))
        faults.push_back({"", "a length or speed cannot be sent"});
    return faults;
}

std::string ConfigRangeText(const std::vector<ConfigRangeFault>& faults) {
    if (faults.empty())
        return {};
    const ConfigRangeFault& first = faults.front();
    return first.name.empty() ? first.problem : first.name + " " + first.problem;
}
