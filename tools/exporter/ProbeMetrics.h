#pragma once

#include "ProbeReading.h"

#include <string>

// The answer to /probe in the Prometheus text format: tarnvik_up, the duration, one
// tarnvik_status series per condition of the status word, and for a full probe the
// printer's identity, print distance, cutter counts and memory space. Built in a registry
// of its own for each probe.
std::string ProbeMetricsText(const ProbeReading& reading);
