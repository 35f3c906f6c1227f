#pragma once

#include "FirmwareProfile.h"
#include "VirtualPrinter.h"

#include <cstddef>
#include <string>

namespace sim {

// The firmware edition the printer reports; the features of newer firmware (passwords,
// the sensor threshold) look at it. When another module already reports EDITION, this one
// only holds the number for those features; both start from the standard printer's.
//
// It also takes new firmware sent raw. The virtual printer's firmware file is one header
// line, "TARNVIK-FIRMWARE VERSION SIZE" ended by CR LF or LF (VERSION 1 to 63 printable
// characters without spaces, SIZE a decimal byte count up to 64 MiB), followed by exactly
// SIZE bytes of image. Once the whole image has arrived the printer restarts: it drops its
// connections, is off for restartMs and comes back reporting VERSION.
class FirmwareModule : public SimModule {
public:
    static constexpr int kDefaultEdition = FirmwareProfile::kStandardEdition;
    static constexpr int kDefaultRestartMs = 2000;

    explicit FirmwareModule(int factoryEdition = kDefaultEdition)
        : edition(factoryEdition), factoryEdition_(factoryEdition) {}
    void Install(VirtualPrinter& printer) override;
    void Reset() override { edition = factoryEdition_; }

    // The header line of a firmware file for this printer.
    static std::string FileHeader(const std::string& version, size_t imageSize);

    int edition;
    int restartMs = kDefaultRestartMs;
    // Firmware images taken so far, and the version of the last one.
    int imagesTaken = 0;
    std::string lastVersion;

private:
    int factoryEdition_;
};

// The edition of a printer; the default one when it has no firmware module.
int EditionOf(const VirtualPrinter& printer);

} // namespace sim
