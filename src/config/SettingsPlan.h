#pragma once

#include "config/PrinterConfig.h"
#include "config/SettingsDocument.h"

#include <string>
#include <vector>

// One setting a document changes at a printer, as the document writes values.
struct SettingChange {
    const PageSetting* field = nullptr;
    std::string printer;
    std::string wanted;
};

// What applying a document to one printer takes.
struct SettingsPlan {
    // The settings that differ, in the page's order.
    std::vector<SettingChange> changes;
    // Settings this printer cannot take (it does not report them); with any, nothing is
    // to be sent to it.
    std::vector<SettingsFault> refusals;
    // The command texts to send, in the order the page's "Set" sends them tab by tab.
    std::vector<std::string> texts;
    // The printer's record with the changes, and the tabs they are in.
    PrinterConfig wanted{};
    std::vector<int32_t> tabs;
};

// Compares a document with a printer's configuration as read. A setting differs when
// its value as the page shows it differs and putting it into the record changes the
// commands that write its tab, so a length that rounds to what the printer already
// holds is no change. The texts are those the
// page's "Set" sends for the changed record that the printer's record does not already
// send: a command that carries several settings carries the others as read.
SettingsPlan PlanSettings(const SettingsDocument& document, const PrinterConfig& printer);
