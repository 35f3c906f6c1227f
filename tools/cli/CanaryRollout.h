#pragma once

#include "FleetRunner.h"
#include "link/LinkAddress.h"
#include "PrinterResult.h"

#include <vector>

// Runs a job on a few printers first: the first `canaries` printers alone, and the rest
// only when every canary succeeded. Otherwise the rest are not started and their results
// say which canary stopped the run and why. Zero canaries, or as many as there are
// printers, run everything at once.
class CanaryRollout {
public:
    explicit CanaryRollout(int canaries) : canaries_(canaries) {}

    std::vector<PrinterResult> Run(const FleetRunner& runner,
                                   const std::vector<LinkAddress>& printers,
                                   const FleetRunner::Job& job) const;

private:
    int canaries_;
};
