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

TEST(SimConsole, ChangesTheStatusByteWhileServing) {
    sim::VirtualPrinter printer;
    sim::InstallStandardModules(printer);
    EXPECT_EQ(sim::ConsoleCommand(printer, "status 1"), "status byte 1\n");
    EXPECT_EQ(printer.statusByte, 1);
    EXPECT_EQ(printer.Receive("\x1b!?"), std::string(1, '\x01'));
    for (const char* bad : {"status", "status 256", "status -1", "status 1x", "status x"}) {
        EXPECT_NE(sim::ConsoleCommand(printer, bad).find("0 to 255"), std::string::npos) << bad;
        EXPECT_EQ(printer.statusByte, 1) << bad;
    }
    EXPECT_EQ(sim::ConsoleCommand(printer, "status 0"), "status byte 0\n");
    EXPECT_EQ(printer.statusByte, 0);
}

} // namespace
