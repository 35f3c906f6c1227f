#pragma once

#include "VirtualPrinter.h"

namespace sim {

// The firmware edition the printer reports; the features of newer firmware (passwords,
// the sensor threshold) look at it.
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
