#pragma once

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)

// The printer's real-time clock, as ReadClock fills it and SetClock sends it.
struct PrinterClock {
    int32_t year; // as the printer reports it; SetClock sends it modulo 100
    int32_t month;
    int32_t date; // day of the month
    int32_t hour;
    int32_t minute;
    int32_t second;
};

#pragma pack(pop)

static_assert(sizeof(PrinterClock) == 24);
static_assert(offsetof(PrinterClock, month) == 4);
static_assert(offsetof(PrinterClock, date) == 8);
static_assert(offsetof(PrinterClock, hour) == 12);
static_assert(offsetof(PrinterClock, minute) == 16);
static_assert(offsetof(PrinterClock, second) == 20);
