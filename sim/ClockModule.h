#pragma once

#include "VirtualPrinter.h"

namespace sim {

// The printer's real-time clock: set by the "@YEAR = ..." to "@SECOND = ..." lines,
// reported by YEAR to SECOND. The clock stands still, so tests see what was set.
class ClockModule : public SimModule {
public:
    void Install(VirtualPrinter& printer) override;
    void Reset() override;

    int year = 2026; // full year; a two-digit value sets 2000 + value
    int month = 1;
    int date = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    // How many clock lines came in.
    int linesSet = 0;
};

} // namespace sim
