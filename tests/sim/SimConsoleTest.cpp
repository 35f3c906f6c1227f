#include "SimConsole.h"
#include "SensorModule.h"
#include "StandardPrinter.h"
#include "VirtualPrinter.h"

#include <gtest/gtest.h>

namespace {

TEST(SimConsole, PlacesMediaAndReportsWhatHappened) {
    sim::VirtualPrinter printer;
    sim::InstallStandardModules(printer);
    sim::SensorModule* sensor = printer.Module<sim::SensorModule>();

    EXPECT_EQ(sim::ConsoleCommand(printer, "media liner"), "under the sensor: liner\n");
    EXPECT_EQ(sensor->underSensor, sim::SensorModule::Liner);
    const std::string liner = printer.Receive("DIAGNOSTIC REPORT GAPSENSOR\r\n");
    sim::ConsoleCommand(printer, "media label");
    EXPECT_NE(printer.Receive("DIAGNOSTIC REPORT GAPSENSOR\r\n"), liner);
    EXPECT_NE(sim::ConsoleCommand(printer, "media glass").find("liner, label"), std::string::npos);
    EXPECT_EQ(sensor->underSensor, sim::SensorModule::Label);

    printer.Receive("SELFTEST\r\n\x1b!C\x1b!R");
    const std::string report = sim::ConsoleCommand(printer, "report");
    EXPECT_NE(report.find("resets 1, AUTO.BAS skipped 1"), std::string::npos) << report;
    // The reset put the printer's counters back, but not its count of resets.
    EXPECT_NE(report.find("self-tests 0"), std::string::npos) << report;
}

} // namespace
