#pragma once

#include "config/PrinterConfig.h"
#include "operations/MemoryRecords.h"
#include "operations/PrinterStatus.h"

#include <array>
#include <cstdint>
#include <optional>

// What a probe asks: the status query alone, or also the configuration and the memories.
enum class ProbeModule {
    Status,
    Full,
};

// Space of one memory in bytes, each part only when the printer reported it.
struct MemorySpace {
    std::optional<int64_t> totalBytes;
    std::optional<int64_t> freeBytes;
};

// What one probe found out. `up` is true when the status query was answered; the
// configuration and memories are there only when the full module read them.
struct ProbeReading {
    bool up = false;
    // The operation's code of the first failure (0 when everything was read).
    int code = 0;
    double durationSeconds = 0;
    PrinterStatus status{};
    // Whether the extended status reply came: without it out of ribbon and the ribbon
    // encoder error are unknown (the status record holds 0 for them) and not reported.
    bool extendedKnown = false;
    std::optional<PrinterConfig> config;
    std::optional<std::array<MemorySpace, kMemoryDeviceCount>> memories;
};
