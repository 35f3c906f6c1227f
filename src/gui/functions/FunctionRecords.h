#pragma once

#include "gui/functions/LabelSettings.h"
#include "operations/ClockRecords.h"
#include "operations/PrinterNetConfig.h"

#include <cstdint>
#include <functional>

// What the printer function group reads and keeps among the main window's records: the
// stored configuration's label settings (read when a function needs them), the network
// settings as last read or edited, and the clock of "RTC Setup".
struct FunctionRecords {
    std::function<LabelSettings()> StoredSettings;
    PrinterNetConfig& NetConfig;
    PrinterClock& Clock;
    uint8_t& ClockSet;
};
