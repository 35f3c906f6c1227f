#include "StandardPrinter.h"

#include "NetModule.h"
#include "VirtualPrinter.h"

namespace sim {

void InstallStandardModules(VirtualPrinter& printer) {
    printer.AddModule<NetModule>();
}

} // namespace sim
