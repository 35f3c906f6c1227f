#include "FirmwareModule.h"

namespace sim {

void FirmwareModule::Install(VirtualPrinter& printer) {
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
