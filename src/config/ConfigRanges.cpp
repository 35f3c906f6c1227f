#include "config/ConfigRanges.h"

#include "config/ConfigCommands.h"
#include "config/ConfigFields.h"
#include "config/ConfigTables.h"

namespace {

constexpr int32_t Last(size_t tableLength) {
    return static_cast<int32_t>(tableLength) - 1;
}

// The page's whole-number choices and hinted ranges. Z and D modes start at 1 (their
// combo boxes give the item index); the other combo boxes give the index less one.
constexpr ConfigIntRange kRanges[] = {
    {"Density", 0, 15},
    {"SensorMode", 0, 2},
    {"PrintOut", 0, 3},
    {"Direction", 0, 1},
    {"Mirror", 0, 1},
    {"Ribbon", 0, 1},
    {"RibbonSensor", 0, 1},
    {"RibbonEncoder", 0, 1},
    {"CodePage", 0, Last(kCodePageTable.size())},
    {"Country", 0, Last(kCountryCodeTable.size())},
    {"Head", 0, 1},
    {"Reprint", 0, 1},
    {"AutoThreshold", 0, 1},
    {"ZDarkness", 0, 30},
    {"ZPosition", -120, 120},
    {"ZPrintMode", 1, 3},
    {"ZFeedPowerUp", 1, 4},
    {"ZFeedHeadClose", 1, 4},
    {"ZLabelTop", -120, 120},
    {"ZLabelShift", -9999, 9999},
    {"DHeat", 0, 30},
    {"DPresentSensor", 1, 2},
    {"DCutterEquipped", 1, 2},
    {"DControlCodes", 1, 3},
    // The page offers no "0" baud.
    {"BaudRate", 1, Last(kBaudRateTable.size())},
    {"DataBit", 0, Last(kDataBitsTable.size())},
    {"Parity", 0, Last(kParityTable.size())},
    {"StopBit", 0, Last(kStopBitsTable.size())},
};

// The speed edit takes two characters.
constexpr float kHighestSpeed = 99.0F;

std::string FlagFault(uint8_t flag) {
    return "flag " + std::to_string(flag) + " is neither 0 nor 1";
}

} // namespace

std::optional<ConfigIntRange> ConfigSettingRange(std::string_view name) {
    for (const ConfigIntRange& range : kRanges) {
        if (name == range.name)
            return range;
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
                 !(item.value >= 0.0F && item.value <= kHighestSpeed))
            faults.push_back({name, std::to_string(item.value) + " is outside 0 to 99"});
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
