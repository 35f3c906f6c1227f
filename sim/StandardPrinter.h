#pragma once

#include "FirmwareProfile.h"

namespace sim {

class VirtualPrinter;

// Installs every module of a complete printer: the standard profile (edition 105, 203 dpi)
// or the given one.
void InstallStandardModules(VirtualPrinter& printer);
void InstallStandardModules(VirtualPrinter& printer, const FirmwareProfile& profile);

} // namespace sim
