#pragma once

#include "VirtualPrinter.h"

namespace sim {

// The firmware edition the printer reports; the features of newer firmware (passwords,
// the sensor threshold) look at it. When another module already reports EDITION, this one
// only holds the number for those features, and the two must be kept equal.
class FirmwareModule : public SimModule {
public:
    static constexpr int kDefaultEdition = 105;

    explicit FirmwareModule(int factoryEdition = kDefaultEdition)
        : edition(factoryEdition), factoryEdition_(factoryEdition) {}
    void Install(VirtualPrinter& printer) override;
    void Reset() override { edition = factoryEdition_; }

    int edition;

private:
    int factoryEdition_;
};

// The edition of a printer; the default one when it has no firmware module.
int EditionOf(const VirtualPrinter& printer);

} // namespace sim
