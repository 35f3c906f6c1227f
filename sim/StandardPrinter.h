#pragma once

namespace sim {

class VirtualPrinter;

// Installs every module of a complete printer: what the simulator executable serves and
// what tests start from.
void InstallStandardModules(VirtualPrinter& printer);

} // namespace sim
