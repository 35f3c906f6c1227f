#include "ClockModule.h"
#include "FirmwareModule.h"
#include "MaintenanceModule.h"
#include "MemoryModule.h"
#include "PasswordModule.h"
#include "SensorModule.h"
#include "StandardPrinter.h"
#include "VirtualPrinter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using sim::MemoryModule;
using sim::VirtualPrinter;

// A printer with exactly the modules these tests are about, each holding its own state.
class ModulePrinter : public VirtualPrinter {
public:
    ModulePrinter() {
        AddModule<sim::FirmwareModule>();
        AddModule<MemoryModule>();
        AddModule<sim::ClockModule>();
        AddModule<sim::PasswordModule>();
        AddModule<sim::SensorModule>();
        AddModule<sim::MaintenanceModule>();
    }
};

// Feeds the bytes one at a time, as a slow link would bring them, and collects the answer.
std::string Trickle(VirtualPrinter& printer, const std::string& bytes) {
    std::string reply;
    for (char c : bytes)
        reply += printer.Receive(std::string_view(&c, 1));
    return reply;
}

TEST(MemoryModule, DownloadsArriveWholeHoweverTheyAreSplit) {
    ModulePrinter printer;
    const std::string data("A\r\nDOWNLOAD \"X\",2,\0}", 20);
    const std::string bytes = "DOWNLOAD F,\"DATA.BIN\",20," + data + "SELFTEST\r\n";
    EXPECT_EQ(Trickle(printer, bytes), "");
    auto& memory = *printer.Module<MemoryModule>();
    const auto* file = memory.Find(MemoryModule::Flash, "DATA.BIN");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->data, data);
    // The data is not taken for commands; the line after it is.
    EXPECT_EQ(printer.Module<sim::MaintenanceModule>()->selfTests, 1);
    EXPECT_EQ(memory.memories[MemoryModule::Dram].files.size(), 0u);
}

TEST(MemoryModule, SpaceIsCountedInWholeKilobytesAndReplacedFilesFreeTheirs) {
    ModulePrinter printer;
    auto& memory = *printer.Module<MemoryModule>();
    memory.memories[MemoryModule::Dram].physicalKb = 4;
    EXPECT_TRUE(memory.Store(MemoryModule::Dram, "A", std::string(1025, 'a')));
    EXPECT_EQ(memory.FreeKb(MemoryModule::Dram), 2);
    EXPECT_FALSE(memory.Store(MemoryModule::Dram, "B", std::string(3000, 'b')));
    EXPECT_TRUE(memory.Store(MemoryModule::Dram, "A", std::string(4096, 'a')));
    EXPECT_EQ(memory.FreeKb(MemoryModule::Dram), 0);
    EXPECT_EQ(printer.Receive("DIAGNOSTIC REPORT DFREESPACE\r\n"), "{1|0}");
    EXPECT_EQ(printer.Receive("DIAGNOSTIC REPORT DFILELIST\r\n"), "{1|A}{0|}");
}

TEST(MemoryModule, KillRemovesOneNameOrEverythingOfOneMemory) {
    ModulePrinter printer;
    auto& memory = *printer.Module<MemoryModule>();
    memory.Store(MemoryModule::Card, "A.BAS", "1");
    memory.Store(MemoryModule::Card, "B.BAS", "2");
    memory.Store(MemoryModule::Flash, "A.BAS", "3");
    printer.Receive("KILL E,\"A.BAS\"\r\n");
    EXPECT_EQ(memory.Find(MemoryModule::Card, "A.BAS"), nullptr);
    EXPECT_NE(memory.Find(MemoryModule::Card, "B.BAS"), nullptr);
    EXPECT_NE(memory.Find(MemoryModule::Flash, "A.BAS"), nullptr);
    printer.Receive("KILL F,\"*.*\"\r\n");
    EXPECT_TRUE(memory.memories[MemoryModule::Flash].files.empty());
    EXPECT_EQ(memory.memories[MemoryModule::Card].files.size(), 1u);
}

TEST(MemoryModule, AMissingCardHasNoSpaceNoFilesAndRefusesDownloads) {
    ModulePrinter printer;
    auto& memory = *printer.Module<MemoryModule>();
    memory.Store(MemoryModule::Card, "OLD.TXT", "x");
    memory.memories[MemoryModule::Card].present = false;
    EXPECT_EQ(printer.Receive("DIAGNOSTIC REPORT CPHYSPACE\r\n"), "{1|0}");
    EXPECT_EQ(printer.Receive("DIAGNOSTIC REPORT CFILELIST\r\n"), "{0|}");
    EXPECT_EQ(printer.Receive("\r\nDIAGNOSTIC FILE \"OLD.TXT\"\r\n\r\n"), "");
    EXPECT_EQ(memory.missingFileRequests, 1);
    printer.Receive("DOWNLOAD E,\"NEW.TXT\",1,y");
    EXPECT_EQ(memory.refusedDownloads, 1);
}

TEST(MaintenanceModule, DumpCommandsEndAtTheirCommaWithoutALineEnd) {
    ModulePrinter printer;
    auto& maintenance = *printer.Module<sim::MaintenanceModule>();
    maintenance.dumpText = "dump";
    EXPECT_EQ(Trickle(printer, "DUMP_TEXT SAVE 1000,E,\"CARD1.TXT\",DUMP_TEXT PRINT,SELFTEST\r\n"),
              "");
    EXPECT_EQ(maintenance.dumpMode, "PRINT");
    EXPECT_EQ(maintenance.selfTests, 1);
    const auto* file = printer.Module<MemoryModule>()->Find(MemoryModule::Card, "CARD1.TXT");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->data, "dump");
    EXPECT_EQ(printer.Receive("DIAGNOSTIC FILE \"CARD1.TXT\"\r\n"), "{4|dump}");
}

TEST(MaintenanceModule, LabelsAreCountedBySetsAndCopies) {
    ModulePrinter printer;
    printer.Receive("CLS\r\nBOX 1,1,10,10,2\r\nPRINT 2,3\r\nCLS\r\nPRINT 1\r\nPRINT 0\r\n");
    auto& maintenance = *printer.Module<sim::MaintenanceModule>();
    EXPECT_EQ(maintenance.printedLabels, 7);
    EXPECT_TRUE(maintenance.lastPrintedLabel.empty());
}

TEST(MaintenanceModule, FactoryDefaultRestoresSettingsButKeepsFiles) {
    ModulePrinter printer;
    auto& sensor = *printer.Module<sim::SensorModule>();
    int otherDefaults = 0;
    printer.Module<sim::MaintenanceModule>()->AddFactoryDefaultAction([&] { ++otherDefaults; });
    printer.Receive("BLINE 0.08,0\r\nSET GAP 9,400\r\n");
    EXPECT_EQ(sensor.SensorMode(), sim::SensorModule::BlackMarkMode);
    EXPECT_EQ(sensor.IntensityOf(sim::SensorModule::BlackMarkMode), 9);
    printer.Module<MemoryModule>()->Store(MemoryModule::Flash, "KEEP.BAS", "1");
    printer.Receive("INITIALPRINTER\r\n");
    EXPECT_EQ(sensor.SensorMode(), sim::SensorModule::GapMode);
    EXPECT_EQ(sensor.IntensityOf(sim::SensorModule::BlackMarkMode), 3);
    EXPECT_EQ(otherDefaults, 1);
    EXPECT_NE(printer.Module<MemoryModule>()->Find(MemoryModule::Flash, "KEEP.BAS"), nullptr);
}

TEST(SensorModule, DetectionPicksTheLevelThatSeparatesTheMediaBest) {
    ModulePrinter printer;
    auto& sensor = *printer.Module<sim::SensorModule>();
    printer.Receive("GAPDETECT 400,24\r\n");
    // Liner 40 + 60 L against label 20 + 25 L: the difference grows until the liner
    // saturates at 1023 (level 17 would), so the top level 15 wins.
    EXPECT_EQ(sensor.IntensityOf(sim::SensorModule::GapMode), 15);
    EXPECT_EQ(sensor.Threshold(), (395 + 940) / 2);
    EXPECT_EQ(sensor.detectedPaperHeight, 400);
    sensor.loadedPaper = sim::SensorModule::ContinuousMode;
    printer.Receive("AUTODETECT\r\n");
    EXPECT_EQ(sensor.SensorMode(), sim::SensorModule::ContinuousMode);
    EXPECT_EQ(sensor.detectedPaperHeight, 0);
}

TEST(StandardPrinter, HoldsEveryModule) {
    VirtualPrinter printer;
    sim::InstallStandardModules(printer);
    EXPECT_NE(printer.Module<sim::FirmwareModule>(), nullptr);
    EXPECT_NE(printer.Module<MemoryModule>(), nullptr);
    EXPECT_NE(printer.Module<sim::ClockModule>(), nullptr);
    EXPECT_NE(printer.Module<sim::PasswordModule>(), nullptr);
    EXPECT_NE(printer.Module<sim::SensorModule>(), nullptr);
    EXPECT_NE(printer.Module<sim::MaintenanceModule>(), nullptr);
    EXPECT_NE(printer.Receive("DIAGNOSTIC REPORT EDITION\r\n"), "");
}

TEST(SensorModule, TheThresholdAndPasswordNeedNewEnoughFirmware) {
    ModulePrinter printer;
    printer.Module<sim::PasswordModule>()->password = "pw";
    EXPECT_EQ(printer.Receive("DIAGNOSTIC REPORT THRESHOLD\r\n"), "{3|128}");
    EXPECT_EQ(printer.Receive("DIAGNOSTIC REPORT PASSWORD\r\n"), "{2|pw}");
    printer.SetReportValue("EDITION", "103");
    auto* firmware = printer.Module<sim::FirmwareModule>();
    firmware->edition = 103;
    EXPECT_EQ(printer.Receive("DIAGNOSTIC REPORT THRESHOLD\r\n"), "");
    EXPECT_EQ(printer.Receive("DIAGNOSTIC REPORT PASSWORD\r\n"), "{2|pw}");
    firmware->edition = 100;
    EXPECT_EQ(printer.Receive("DIAGNOSTIC REPORT PASSWORD\r\n"), "");
    EXPECT_EQ(printer.Receive("DIAGNOSTIC PASSWORD \"new\"\r\n"), "");
    EXPECT_EQ(printer.Module<sim::PasswordModule>()->password, "pw");
}

TEST(ClockModule, TwoDigitYearsAreOfThisCentury) {
    ModulePrinter printer;
    printer.Receive("@YEAR = \"7\"\r\n@HOUR = \"23\"\r\n@MINUTE = 5\r\n");
    auto& clock = *printer.Module<sim::ClockModule>();
    EXPECT_EQ(clock.year, 2007);
    EXPECT_EQ(clock.hour, 23);
    EXPECT_EQ(printer.Receive("DIAGNOSTIC REPORT YEAR\r\n"), "{4|2007}");
    EXPECT_EQ(clock.minute, 5);
    EXPECT_EQ(clock.linesSet, 3);
}

} // namespace

namespace {

// Every report of a complete printer as plain text, so hostile settings show in the answers.
std::string AllReports(VirtualPrinter& printer) {
    std::string reply;
    for (const char* key : {"SPEED", "PAPERWIDTH", "GAPSIZE", "OFFSET", "DLABELWIDTH", "GAPINTEN",
                            "THRESHOLD", "YEAR"})
        reply += printer.Receive(std::string("DIAGNOSTIC REPORT ") + key + "\r\n");
    return reply;
}

} // namespace

TEST(HostileInput, NumbersOfAnyLengthNeitherThrowNorOverflowNorLeakMemory) {
    VirtualPrinter printer;
    sim::InstallStandardModules(printer);
    const std::string digits300(300, '9');
    const std::string hostile = "DOWNLOAD \"BIG.TXT\",99999999999999999999,"
                                "DIAGNOSTIC REPORT DFILELIST\r\n"
                                "~KcLW2147483647;CO-2147483648\r\n"
                                "PRINT 99999999999,99999999999\r\nPRINT 2147483647,2147483647\r\n"
                                "SPEED " +
                                digits300 + "\r\nSIZE " + digits300 + "," + digits300 +
                                "\r\nSET GAP 2147483647,-99999999999\r\n@YEAR = \"" + digits300 +
                                "\"\r\n";
    // The refused download header leaves the file-list query after it a command.
    EXPECT_EQ(printer.Receive(hostile), "{0|}");
    EXPECT_EQ(printer.Module<MemoryModule>()->refusedDownloads, 1);
    EXPECT_EQ(printer.Module<sim::MaintenanceModule>()->printedLabels, 2000000);
    const std::string reports = AllReports(printer);
    EXPECT_LT(reports.size(), 200u) << reports;
    for (char c : reports)
        EXPECT_TRUE(c >= ' ' && c <= '~') << static_cast<int>(c);
    EXPECT_NE(reports.find("{10|2147483647}"), std::string::npos) << reports;
}

TEST(HostileInput, EachConnectionParsesOnItsOwnAndLongInputStaysBounded) {
    VirtualPrinter printer;
    sim::InstallStandardModules(printer);
    printer.receivedLimit = 1 << 20;
    VirtualPrinter::Input left;
    VirtualPrinter::Input next;
    // A client that announces a download and leaves does not swallow the next one's bytes.
    EXPECT_EQ(printer.Receive(left, "DOWNLOAD \"A.TXT\",100,abc"), "");
    EXPECT_EQ(printer.Receive(next, "DIAGNOSTIC REPORT DFILELIST\r\n"), "{0|}");

    // 64 MiB without a line end: the line is dropped and memory stays small.
    const std::string piece(64 << 10, 'x');
    for (int i = 0; i < 1024; ++i)
        printer.Receive(next, piece);
    EXPECT_LE(next.pending.capacity(), 2 * VirtualPrinter::kLongestLine);
    EXPECT_EQ(printer.ReceivedCount(), (uint64_t{64} << 20) + 24 + 29);
    EXPECT_LE(printer.Received().size(), 2u << 20);
    EXPECT_EQ(printer.Receive(next, "\r\nDIAGNOSTIC INTERFACE NET\r\n"), "{3|NET}");

    // 32 MiB of short lines: the command record is bounded as well.
    printer.commandLimit = 1000;
    const std::string lines = [] {
        std::string text;
        for (int i = 0; i < 4096; ++i)
            text += "CLS\r\nBOX 1,1,9,9,1\r\nTEXT 10,10,\"1\",0,1,1,\"x\"\r\nPRINT 1\r\n";
        return text;
    }();
    for (size_t sent = 0; sent < (size_t{32} << 20); sent += lines.size())
        printer.Receive(next, lines);
    EXPECT_LE(printer.Commands().size(), 2000u);
    EXPECT_LE(printer.Module<sim::MaintenanceModule>()->lastPrintedLabel.size(), 10u);
}
