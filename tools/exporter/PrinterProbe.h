#pragma once

#include "link/LinkAddress.h"
#include "ProbeReading.h"

#include <chrono>

using ProbeClock = std::chrono::steady_clock;

// Probes one printer through a PrinterLink of its own: the status query, and for the full
// module the configuration read and the memory information. Each operation starts only
// while time is left before `deadline`, with its waits shortened to what is left.
ProbeReading ProbePrinter(const LinkAddress& printer, ProbeModule module,
                          ProbeClock::time_point deadline);
