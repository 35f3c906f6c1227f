#pragma once

#include "link/LinkAddress.h"
#include "ProbeReading.h"

#include <chrono>

struct LinkTimeouts;

using ProbeClock = std::chrono::steady_clock;

// Shortens every wait of the link to at most `ms`, so that no single wait of an exchange
// runs past what is left of a probe's time.
void FitTimeouts(LinkTimeouts& waits, int ms);

// Probes one printer through a PrinterLink of its own: the status query, and for the full
// module the configuration read and the memory information. Each operation starts only
// while time is left before `deadline`, with its waits shortened to what is left.
ProbeReading ProbePrinter(const LinkAddress& printer, ProbeModule module,
                          ProbeClock::time_point deadline);
