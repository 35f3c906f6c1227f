#include "ClockModule.h"

#include "SimText.h"

#include <string>

namespace sim {

void ClockModule::Reset() {
    year = 2026;
    month = 1;
    date = 1;
    hour = 0;
    minute = 0;
    second = 0;
    linesSet = 0;
}

void ClockModule::Install(VirtualPrinter& printer) {
    Reset();
    struct Field {
        const char* name;
        int ClockModule::*value;
    };
    static const Field kFields[] = {
        {"YEAR", &ClockModule::year},     {"MONTH", &ClockModule::month},
        {"DATE", &ClockModule::date},     {"HOUR", &ClockModule::hour},
        {"MINUTE", &ClockModule::minute}, {"SECOND", &ClockModule::second},
    };
    for (const Field& field : kFields) {
        const std::string name = field.name;
        const auto member = field.value;
        printer.AddLineHandler(
            "@" + name, [this, name, member](VirtualPrinter&, std::string_view line, std::string&) {
                const std::string_view rest = ArgumentsAfter(line, "@" + name);
                if (rest.empty() || rest.front() != '=')
                    return;
                // The value is normally quoted; a bare number is taken as well.
                const std::string_view bare = ArgumentsAfter(rest, "=");
                long value =
                    LeadingNumber(bare.find('"') == std::string_view::npos ? std::string(bare)
                                                                           : QuotedText(bare));
                if (member == &ClockModule::year && value >= 0 && value < 100)
                    value += 2000;
                this->*member = static_cast<int>(value);
                ++linesSet;
            });
        printer.AddReportKey(name, [this, member](VirtualPrinter&, std::string& value) {
            value = std::to_string(this->*member);
            return true;
        });
    }
}

} // namespace sim
