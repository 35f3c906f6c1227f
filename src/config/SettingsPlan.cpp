#include "config/SettingsPlan.h"

#include "config/ConfigCommands.h"

#include <algorithm>
#include <array>

namespace {

constexpr int32_t kTabCount = 4;

bool Reported(const PageSetting& field, const PrinterConfig& config) {
    return std::visit([&config](auto member) { return (config.*member).valid == 1; }, field.field);
}

} // namespace

SettingsPlan PlanSettings(const SettingsDocument& document, const PrinterConfig& printer) {
    SettingsPlan plan;
    PrinterConfig base = printer;
    base.InchUnit = document.SendsInch() ? 1 : 0;
    PrinterConfig wanted = base;
    std::array<bool, kTabCount> changedTabs{};
    // In the page's order, so that a setting whose command depends on another (the cut
    // piece on the post-print action, the gap on the sensor) meets it already changed.
    for (const DocumentSetting& setting : document.settings) {
        const PageSetting& field = *setting.field;
        if (!Reported(field, printer)) {
            std::string what = "this printer does not report it";
            if (printer.Edition < field.edition)
                what = "firmware edition " + std::to_string(printer.Edition) +
                       " does not have it (from edition " + std::to_string(field.edition) + ")";
            plan.refusals.push_back({field.name, setting.line, what});
            continue;
        }
        PrinterConfig probe = wanted;
        if (!PutSetting(setting, probe) || !RealsSendable(probe)) {
            plan.refusals.push_back(
                {field.name, setting.line, "is too large for this printer's resolution"});
            continue;
        }
        // The same value as the page shows it (a length to two decimals in its unit) is
        // no change, even where a command carries more digits (the longest feed in dots).
        const LengthUnit unit = setting.unit == LengthUnit::None ? document.unit : setting.unit;
        const std::string value = SettingValueText(field, probe, unit);
        if (value == SettingValueText(field, wanted, unit) ||
            ConfigCommandTexts(probe, field.tab) == ConfigCommandTexts(wanted, field.tab))
            continue;
        plan.changes.push_back({&field, SettingValueText(field, printer, unit), value});
        wanted = probe;
        changedTabs[static_cast<size_t>(field.tab)] = true;
    }
    if (!plan.refusals.empty())
        return plan;
    plan.wanted = wanted;
    for (int32_t tab = 0; tab < kTabCount; ++tab) {
        if (!changedTabs[static_cast<size_t>(tab)])
            continue;
        plan.tabs.push_back(tab);
        const std::vector<std::string> held = ConfigCommandTexts(base, tab);
        for (std::string& text : ConfigCommandTexts(wanted, tab)) {
            if (std::find(held.begin(), held.end(), text) == held.end())
                plan.texts.push_back(std::move(text));
        }
    }
    return plan;
}
