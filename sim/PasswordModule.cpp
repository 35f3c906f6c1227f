#include "PasswordModule.h"

#include "FirmwareModule.h"
#include "SimText.h"

namespace sim {

void PasswordModule::Install(VirtualPrinter& printer) {
    printer.AddLineHandler("DIAGNOSTIC PASSWORD",
                           [this](VirtualPrinter& p, std::string_view line, std::string& reply) {
                               if (EditionOf(p) <= FirmwareProfile::kLastEditionWithoutPassword)
                                   return;
                               password = QuotedText(ArgumentsAfter(line, "DIAGNOSTIC PASSWORD"));
                               ++changes;
                               reply += VirtualPrinter::Frame("OK");
                           });
    printer.AddReportKey("PASSWORD", [this](VirtualPrinter& p, std::string& value) {
        if (EditionOf(p) <= FirmwareProfile::kLastEditionWithoutPassword)
            return false;
        value = password;
        return true;
    });
}

} // namespace sim
