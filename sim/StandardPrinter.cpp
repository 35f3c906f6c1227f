#include "StandardPrinter.h"

#include "ConfigModule.h"
#include "VirtualPrinter.h"

namespace sim {

void InstallStandardModules(VirtualPrinter& printer) {
    InstallStandardModules(printer, FirmwareProfile::Of(FirmwareProfile::kStandardEdition));
}

void InstallStandardModules(VirtualPrinter& printer, const FirmwareProfile& profile) {
    printer.AddModule<ConfigModule>(profile);
}

} // namespace sim
