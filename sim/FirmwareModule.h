#pragma once

#include "VirtualPrinter.h"

namespace sim {

// The firmware edition the printer reports; the features of newer firmware (passwords,
// the sensor threshold) look at it. When another module already reports EDITION, this one
// only holds the number for those features, and the two must be kept equal.
class FirmwareModule : public SimModule {
public:
    static constexpr int kDefaultEdition = 105;

    void Install(VirtualPrinter& printer) override;
    void Reset() override { edition = kDefaultEdition; }

    int edition = kDefaultEdition;
};

// The edition of a printer; the default one when it has no firmware module.
int EditionOf(const VirtualPrinter& printer);

} // namespace sim
