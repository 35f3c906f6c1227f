#pragma once

#include "VirtualPrinter.h"

#include <functional>
#include <string>
#include <vector>

namespace sim {

// The printer as a printing machine: the factory default, the self-test page, label
// programs from CLS to PRINT, and dump-text mode (DUMP_TEXT, which ends with a comma
// and no line end). Printed labels are counted.
class MaintenanceModule : public SimModule {
public:
    static constexpr const char* kDumpFileName = "Dump.txt";

    void Install(VirtualPrinter& printer) override;
    void Reset() override;

    // Other modules put their settings back on INITIALPRINTER through these.
    void AddFactoryDefaultAction(std::function<void()> action);

    int printedLabels = 0;
    int selfTests = 0;
    int factoryDefaults = 0;
    // The drawing lines (BOX, BARCODE, TEXT) of the label being built and of the last one
    // printed.
    std::vector<std::string> labelLines;
    static constexpr size_t kMostLabelLines = 10000;
    std::vector<std::string> lastPrintedLabel;
    // The last DUMP_TEXT mode: "" none, "PRINT", "SAVE".
    std::string dumpMode;
    // What a saved dump holds.
    std::string dumpText = "DUMP TEXT\r\nSIZE 100 mm, 50 mm\r\nGAP 2 mm, 0 mm\r\nCLS\r\n";

private:
    VirtualPrinter* printer_ = nullptr;
    std::vector<std::function<void()>> factoryActions_;
};

} // namespace sim
