#include "FirmwareModule.h"

namespace sim {

void FirmwareModule::Install(VirtualPrinter& printer) {
    // A configuration module installed before reports the edition of its own profile.
    if (printer.HasReportKey("EDITION"))
        return;
    printer.AddReportKey("EDITION", [this](VirtualPrinter&, std::string& value) {
        value = std::to_string(edition);
        return true;
    });
}

int EditionOf(const VirtualPrinter& printer) {
    const FirmwareModule* firmware = printer.Module<FirmwareModule>();
    return firmware ? firmware->edition : FirmwareModule::kDefaultEdition;
}

} // namespace sim
