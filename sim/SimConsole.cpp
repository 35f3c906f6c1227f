#include "SimConsole.h"

#include "ClockModule.h"
#include "MaintenanceModule.h"
#include "SensorModule.h"
#include "SimText.h"
#include "VirtualPrinter.h"

#include <poll.h>
#include <unistd.h>

#include <sstream>

namespace sim {

namespace {

constexpr int kPollMs = 200;
constexpr size_t kLongestLine = 256;

} // namespace

bool SetMediaUnderSensor(VirtualPrinter& printer, const std::string& name) {
    static const std::pair<const char*, SensorModule::Media> kMedia[] = {
        {"liner", SensorModule::Liner},
        {"label", SensorModule::Label},
        {"mark", SensorModule::BlackMark},
        {"none", SensorModule::Nothing},
    };
    auto lock = printer.Lock();
    SensorModule* sensor = printer.Module<SensorModule>();
    if (!sensor)
        return false;
    for (const auto& [word, media] : kMedia) {
        if (name == word) {
            sensor->underSensor = media;
            return true;
        }
    }
    return false;
}

std::string ConsoleCommand(VirtualPrinter& printer, const std::string& line) {
    std::istringstream words(line);
    std::string command;
    std::string argument;
    words >> command >> argument;
    if (command == "media") {
        return SetMediaUnderSensor(printer, argument) ? "under the sensor: " + argument + "\n"
                                                      : "media takes liner, label, mark or none\n";
    }
    if (command == "report") {
        auto lock = printer.Lock();
        std::ostringstream out;
        if (const MaintenanceModule* m = printer.Module<MaintenanceModule>()) {
            out << "self-tests " << m->selfTests << ", labels printed " << m->printedLabels
                << ", factory defaults " << m->factoryDefaults << ", last dump mode "
                << (m->dumpMode.empty() ? "-" : m->dumpMode) << "\n";
            for (const std::string& item : m->lastPrintedLabel)
                out << "  last label: " << item << "\n";
        }
        out << "resets " << printer.resets << ", AUTO.BAS skipped " << printer.autoBasSkips
            << ", line mode exits " << printer.lineModeExits << "\n";
        if (const ClockModule* c = printer.Module<ClockModule>()) {
            out << "clock " << c->year << "-" << c->month << "-" << c->date << " " << c->hour << ":"
                << c->minute << ":" << c->second << "\n";
        }
        if (const SensorModule* s = printer.Module<SensorModule>())
            out << "sensor detections " << s->detections << "\n";
        return out.str();
    }
    if (command == "status") {
        // The whole argument must be a number from 0 to 255.
        const std::optional<long> value = WholeNumber(argument);
        if (!value || *value < 0 || *value > 255)
            return "status takes a number from 0 to 255\n";
        auto lock = printer.Lock();
        printer.statusByte = static_cast<uint8_t>(*value);
        return "status byte " + std::to_string(*value) + "\n";
    }
    if (command.empty())
        return {};
    return "commands: media liner|label|mark|none, report, status N\n";
}

void RunConsole(VirtualPrinter& printer, std::FILE* in, std::FILE* out,
                const volatile std::sig_atomic_t& stop) {
    const int fd = fileno(in);
    bool open = true;
    std::string line;
    while (!stop) {
        pollfd watch{open ? fd : -1, POLLIN, 0};
        if (::poll(&watch, 1, kPollMs) <= 0 || !open)
            continue;
        char buffer[128];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0) {
            open = false;
            continue;
        }
        for (ssize_t i = 0; i < got; ++i) {
            if (buffer[i] != '\n') {
                if (line.size() < kLongestLine)
                    line.push_back(buffer[i]);
                continue;
            }
            std::fputs(ConsoleCommand(printer, line).c_str(), out);
            std::fflush(out);
            line.clear();
        }
    }
}

} // namespace sim
