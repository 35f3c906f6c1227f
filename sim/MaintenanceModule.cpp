#include "MaintenanceModule.h"

#include "MemoryModule.h"
#include "SensorModule.h"
#include "SimText.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace sim {

namespace {

constexpr std::string_view kDumpText = "DUMP_TEXT ";
constexpr size_t kLongestDumpCommand = 256;

} // namespace

void MaintenanceModule::Reset() {
    printedLabels = 0;
    selfTests = 0;
    factoryDefaults = 0;
    labelLines.clear();
    lastPrintedLabel.clear();
    dumpMode.clear();
}

void MaintenanceModule::AddFactoryDefaultAction(std::function<void()> action) {
    factoryActions_.push_back(std::move(action));
}

void MaintenanceModule::Install(VirtualPrinter& printer) {
    printer_ = &printer;
    Reset();

    printer.AddLineHandler("INITIALPRINTER",
                           [this](VirtualPrinter& p, std::string_view, std::string&) {
                               ++factoryDefaults;
                               // Settings go back to the factory's; stored files stay.
                               if (SensorModule* sensor = p.Module<SensorModule>())
                                   sensor->Reset();
                               for (const auto& action : factoryActions_)
                                   action();
                           });
    printer.AddLineHandler("SELFTEST", [this](VirtualPrinter&, std::string_view, std::string&) {
        ++selfTests;
        ++printedLabels;
    });
    printer.AddLineHandler(
        "CLS", [this](VirtualPrinter&, std::string_view, std::string&) { labelLines.clear(); });
    for (const char* item : {"BOX", "BARCODE", "TEXT"}) {
        printer.AddLineHandler(item, [this](VirtualPrinter&, std::string_view line, std::string&) {
            // A label without CLS cannot grow without end.
            if (labelLines.size() < kMostLabelLines)
                labelLines.emplace_back(line);
        });
    }
    // PRINT sets[,copies]
    printer.AddLineHandler("PRINT", [this](VirtualPrinter&, std::string_view line, std::string&) {
        const std::string_view args = ArgumentsAfter(line, "PRINT");
        const long sets = LeadingNumber(CommaField(args, 0));
        const std::string copiesText = CommaField(args, 1);
        const long copies = copiesText.empty() ? 1 : LeadingNumber(copiesText);
        // Both fit an int, so their product fits 64 bits; the count saturates.
        if (sets > 0 && copies > 0)
            printedLabels = static_cast<int>(std::min<int64_t>(
                std::numeric_limits<int>::max(),
                printedLabels + std::min<int64_t>(int64_t{sets} * copies, 1000000)));
        lastPrintedLabel = labelLines;
    });

    // DUMP_TEXT PRINT, / DUMP_TEXT SAVE size,[E,]"name",
    printer.AddRecognizer([this](VirtualPrinter& p, std::string_view pending, std::string&) {
        if (pending.size() < kDumpText.size())
            return kDumpText.substr(0, pending.size()) == pending ? Match::More() : Match::None();
        if (pending.substr(0, kDumpText.size()) != kDumpText)
            return Match::None();
        std::string_view rest = pending.substr(kDumpText.size());
        constexpr std::string_view kPrint = "PRINT,";
        constexpr std::string_view kSave = "SAVE ";
        const auto begins = [&rest](std::string_view word) {
            return rest.size() < word.size() && word.substr(0, rest.size()) == rest;
        };
        if (begins(kPrint) || begins(kSave))
            return Match::More();
        if (rest.substr(0, kPrint.size()) == kPrint) {
            p.NoteCommand(std::string(pending.substr(0, kDumpText.size() + kPrint.size())));
            dumpMode = "PRINT";
            return Match::Took(kDumpText.size() + kPrint.size());
        }
        if (rest.substr(0, kSave.size()) != kSave)
            return Match::None();
        // The quoted name and the comma after it end the command.
        const size_t open = rest.find('"');
        const size_t close = open == std::string_view::npos ? open : rest.find('"', open + 1);
        if (close == std::string_view::npos || close + 1 >= rest.size())
            return pending.size() > kLongestDumpCommand ? Match::None() : Match::More();
        if (rest[close + 1] != ',')
            return Match::None();
        const std::string_view arguments = rest.substr(kSave.size(), open - kSave.size());
        const bool toCard = arguments.find("E,") != std::string_view::npos;
        const std::string name(rest.substr(open + 1, close - open - 1));
        const size_t length = kDumpText.size() + close + 2;
        p.NoteCommand(std::string(pending.substr(0, length)));
        dumpMode = "SAVE";
        if (MemoryModule* memory = p.Module<MemoryModule>())
            memory->Store(toCard ? MemoryModule::Card : MemoryModule::Dram, name, dumpText);
        return Match::Took(length);
    });
}

} // namespace sim
