#include "ClockModule.h"
#include "FirmwareModule.h"
#include "MaintenanceModule.h"
#include "MemoryModule.h"
#include "OperationPeer.h"
#include "operations/ClockRecords.h"
#include "operations/MaintenanceRecords.h"
#include "operations/MemoryRecords.h"
#include "operations/PasswordOperations.h"
#include "operations/SensorRecords.h"
#include "PasswordModule.h"
#include "SensorModule.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool Saw(sim::VirtualPrinter& printer, const std::string& command) {
    const std::vector<std::string> commands = printer.Commands();
    return std::find(commands.begin(), commands.end(), command) != commands.end();
}

bool SawAnyContaining(sim::VirtualPrinter& printer, const std::string& part) {
    for (const std::string& command : printer.Commands()) {
        if (command.find(part) != std::string::npos)
            return true;
    }
    return false;
}

TEST(MaintenanceOverTcp, FixedCommandsReachThePrinterAndActOnIt) {
    OperationPeer p;
    int factoryIntensity = 0;
    {
        auto lock = p.Printer().Lock();
        int& intensity = p.Module<sim::SensorModule>().IntensityOf(sim::SensorModule::GapMode);
        factoryIntensity = intensity;
        intensity = factoryIntensity + 7;
    }
    EXPECT_EQ(p.Run(OpInitializePrinter, nullptr), LinkOk);
    EXPECT_EQ(p.Run(OpSelfTest, nullptr), LinkOk);
    EXPECT_EQ(p.Run(OpIgnoreAutoBas, nullptr), LinkOk);
    EXPECT_EQ(p.Run(OpSendLineModeExit, nullptr), LinkOk);
    EXPECT_EQ(p.Run(OpProbePort, nullptr), LinkOk);
    ASSERT_TRUE(WaitUntil([&] { return Saw(p.Printer(), "\x1BZ\r\n"); }));
    auto lock = p.Printer().Lock();
    EXPECT_EQ(p.Module<sim::MaintenanceModule>().factoryDefaults, 1);
    EXPECT_EQ(p.Module<sim::SensorModule>().IntensityOf(sim::SensorModule::GapMode),
              factoryIntensity);
    EXPECT_EQ(p.Module<sim::MaintenanceModule>().selfTests, 1);
    EXPECT_EQ(p.Module<sim::MaintenanceModule>().printedLabels, 1);
    EXPECT_TRUE(Saw(p.Printer(), "\x1B!C"));
    EXPECT_EQ(p.Printer().Received(), "INITIALPRINTER\r\nSELFTEST\r\n\x1B!C\x1BZ\r\n");
}

TEST(MaintenanceOverTcp, ResetReachesThePrinter) {
    OperationPeer p;
    EXPECT_EQ(p.Run(OpResetPrinter, nullptr), LinkOk);
    EXPECT_TRUE(WaitUntil([&] { return Saw(p.Printer(), "\x1B!R"); }));
}

TEST(MaintenanceOverTcp, TheTestPatternPrintsOneFramedLabel) {
    OperationPeer p;
    TestPatternRequest request{203.2f, 8.0f, 100.0f, 50.0f, 0};
    EXPECT_EQ(p.Run(OpPrintTestPattern, &request), LinkOk);
    ASSERT_TRUE(WaitUntil([&] {
        auto lock = p.Printer().Lock();
        return p.Module<sim::MaintenanceModule>().printedLabels == 1;
    }));
    auto lock = p.Printer().Lock();
    const std::vector<std::string> label = p.Module<sim::MaintenanceModule>().lastPrintedLabel;
    ASSERT_EQ(label.size(), 3u);
    EXPECT_EQ(label[0], "BOX 16,16,784,384,4");
    EXPECT_EQ(label[1], "BARCODE  98,32,\"39\",50,1,90,2,4,\"1234567890\"");
    EXPECT_EQ(label[2], "TEXT  114,32,\"0\",0,25,25,\"TEST\"");
}

TEST(MaintenanceOverTcp, SendDataPassesBytesUnchangedInPercentProgress) {
    OperationPeer p;
    std::string program = "CLS\r\nPRINT 2,3\r\n";
    program += std::string(2000, ' ') + "\r\n";
    EXPECT_EQ(p.Run(OpSendData, program.data(), static_cast<int32_t>(program.size())), LinkOk);
    EXPECT_FALSE(p.progress.IsShown());
    ASSERT_TRUE(WaitUntil([&] { return p.Printer().Received() == program; }));
    auto lock = p.Printer().Lock();
    EXPECT_EQ(p.Module<sim::MaintenanceModule>().printedLabels, 6);
}

TEST(DumpTextOverTcp, SavingToFileCreatesDumpTxtWhichReadsBack) {
    OperationPeer p;
    {
        auto lock = p.Printer().Lock();
        p.Module<sim::MaintenanceModule>().dumpText = "captured\r\ntext\r\n";
    }
    DumpTextRequest request{2, "IGNORED.TXT"};
    EXPECT_EQ(p.Run(OpDumpText, &request), LinkOk);
    ASSERT_TRUE(WaitUntil([&] {
        auto lock = p.Printer().Lock();
        return p.Module<sim::MemoryModule>().Find(sim::MemoryModule::Dram, "Dump.txt") != nullptr;
    }));
    std::vector<char> buffer(kDumpReadCapacity);
    PrinterFileRequest file{kDumpReadCapacity, 0, "Dump.txt", buffer.data()};
    EXPECT_EQ(p.Run(OpReadPrinterFile, &file), LinkOk);
    EXPECT_EQ(std::string(buffer.data(), static_cast<size_t>(file.length)), "captured\r\ntext\r\n");
    EXPECT_TRUE(Saw(p.Printer(), "DUMP_TEXT SAVE 1000,\"Dump.txt\","));
}

TEST(DumpTextOverTcp, PrintAndCardModesSendTheirCommands) {
    OperationPeer p;
    DumpTextRequest print{0, "x"};
    EXPECT_EQ(p.Run(OpDumpText, &print), LinkOk);
    ASSERT_TRUE(WaitUntil([&] { return Saw(p.Printer(), "DUMP_TEXT PRINT,"); }));
    DumpTextRequest card{1, "LOG1.TXT"};
    EXPECT_EQ(p.Run(OpDumpText, &card), LinkOk);
    ASSERT_TRUE(WaitUntil([&] {
        auto lock = p.Printer().Lock();
        return p.Module<sim::MemoryModule>().Find(sim::MemoryModule::Card, "LOG1.TXT") != nullptr;
    }));
    EXPECT_EQ(p.Printer().Received(), "DUMP_TEXT PRINT,DUMP_TEXT SAVE 1000,E,\"LOG1.TXT\",");
    // A name that would end the quotes early is not sent.
    DumpTextRequest bad{1, "A\"B"};
    EXPECT_EQ(p.Run(OpDumpText, &bad), LinkUnknownError);
}

TEST(ClockOverTcp, WhatIsSetReadsBack) {
    OperationPeer p;
    PrinterClock set{2031, 12, 8, 15, 30, 45};
    EXPECT_EQ(p.Run(OpSetClock, &set), LinkOk);
    ASSERT_TRUE(WaitUntil([&] {
        auto lock = p.Printer().Lock();
        return p.Module<sim::ClockModule>().linesSet == 6;
    }));
    EXPECT_TRUE(Saw(p.Printer(), "@YEAR = \"31\""));
    PrinterClock read{};
    EXPECT_EQ(p.Run(OpReadClock, &read), LinkOk);
    EXPECT_EQ(+read.year, 2031);
    EXPECT_EQ(+read.month, 12);
    EXPECT_EQ(+read.date, 8);
    EXPECT_EQ(+read.hour, 15);
    EXPECT_EQ(+read.minute, 30);
    EXPECT_EQ(+read.second, 45);
}

TEST(PasswordOverTcp, ASetPasswordReadsBackOnNewFirmware) {
    OperationPeer p;
    char password[kPasswordTextCapacity] = "x";
    EXPECT_EQ(p.Run(OpReadPasswordState, password), LinkOk);
    EXPECT_STREQ(password, "");
    char fresh[kPasswordTextCapacity] = "Tarn Vik 7";
    EXPECT_EQ(p.Run(OpSetPassword, fresh), LinkOk);
    EXPECT_EQ(p.Run(OpReadPasswordState, password), LinkOk);
    EXPECT_STREQ(password, "Tarn Vik 7");
    auto lock = p.Printer().Lock();
    EXPECT_EQ(p.Module<sim::PasswordModule>().password, "Tarn Vik 7");
}

TEST(PasswordOverTcp, OldFirmwareHasNoPasswordAndDoesNotAcknowledge) {
    OperationPeer p;
    {
        auto lock = p.Printer().Lock();
        p.SetEdition(100);
        p.Module<sim::PasswordModule>().password = "hidden";
    }
    char password[kPasswordTextCapacity] = "x";
    EXPECT_EQ(p.Run(OpReadPasswordState, password), LinkOk);
    EXPECT_STREQ(password, "");
    EXPECT_FALSE(SawAnyContaining(p.Printer(), "PASSWORD"));
    char fresh[kPasswordTextCapacity] = "new";
    EXPECT_EQ(p.Run(OpSetPassword, fresh), LinkReceivingError);
    auto lock = p.Printer().Lock();
    EXPECT_EQ(p.Module<sim::PasswordModule>().password, "hidden");
}

TEST(PasswordOverTcp, Edition101AsksForThePassword) {
    OperationPeer p;
    {
        auto lock = p.Printer().Lock();
        p.SetEdition(101);
        p.Module<sim::PasswordModule>().password = "pw";
    }
    char password[kPasswordTextCapacity] = "";
    EXPECT_EQ(p.Run(OpReadPasswordState, password), LinkOk);
    EXPECT_STREQ(password, "pw");
}

class MemoryOverTcp : public ::testing::Test {
protected:
    std::string MakeFile(const std::string& name, const std::string& content) {
        const QString path = dir.filePath(QString::fromStdString(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content.data(), static_cast<qint64>(content.size()));
        return path.toStdString();
    }
    QTemporaryDir dir;
    OperationPeer p;
};

TEST_F(MemoryOverTcp, DownloadsGrowTheFileListAndShrinkTheFreeSpace) {
    const std::string logo = MakeFile("logo.pcx", std::string(3000, '\x0A'));
    const std::string basic = MakeFile("demo.bas", "CLS\r\nPRINT 1\r\n");
    DownloadRequest first{logo.c_str(), "LOGO.PCX", MemoryFlash};
    DownloadRequest second{basic.c_str(), "DEMO.BAS", MemoryFlash};
    DownloadRequest third{basic.c_str(), "RUN.BAS", MemoryDram};
    EXPECT_EQ(p.Run(OpDownloadFile, &first), LinkOk);
    EXPECT_FALSE(p.progress.IsShown());
    EXPECT_EQ(p.Run(OpDownloadFile, &second), LinkOk);
    EXPECT_EQ(p.Run(OpDownloadFile, &third), LinkOk);

    auto info = std::make_unique<MemoryInfo>();
    std::memset(info.get(), 0, sizeof *info);
    EXPECT_EQ(p.Run(OpReadMemoryInfo, info.get()), LinkOk);
    EXPECT_FALSE(p.progress.IsShown());
    const MemoryArea& flash = info->areas[MemoryFlash];
    EXPECT_STREQ(flash.fileList, "LOGO.PCX\r\nDEMO.BAS\r\n");
    EXPECT_EQ(+flash.physicalSpace, 4096);
    EXPECT_EQ(+flash.freeSpace, 4096 - 3 - 1);
    EXPECT_STREQ(info->areas[MemoryDram].fileList, "RUN.BAS\r\n");
    EXPECT_EQ(+info->areas[MemoryDram].freeSpace, 2047);
    EXPECT_STREQ(info->areas[MemoryCard].fileList, "");
    EXPECT_EQ(info->areas[MemoryCard].physicalKnown, 1);
    EXPECT_EQ(info->areas[MemoryCard].freeKnown, 0);

    auto lock = p.Printer().Lock();
    const auto* stored = p.Module<sim::MemoryModule>().Find(sim::MemoryModule::Flash, "DEMO.BAS");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->data, "CLS\r\nPRINT 1\r\n");
}

TEST_F(MemoryOverTcp, FormattingAMemoryDeletesOnlyItsFiles) {
    const std::string basic = MakeFile("demo.bas", "CLS\r\n");
    DownloadRequest flash{basic.c_str(), "A.BAS", MemoryFlash};
    DownloadRequest dram{basic.c_str(), "B.BAS", MemoryDram};
    ASSERT_EQ(p.Run(OpDownloadFile, &flash), LinkOk);
    ASSERT_EQ(p.Run(OpDownloadFile, &dram), LinkOk);
    int32_t which = MemoryFlash;
    EXPECT_EQ(p.Run(OpSendStoredCommand, &which), LinkOk);
    ASSERT_TRUE(WaitUntil([&] { return Saw(p.Printer(), "KILL F,\"*.*\""); }));
    auto lock = p.Printer().Lock();
    EXPECT_TRUE(p.Module<sim::MemoryModule>().memories[sim::MemoryModule::Flash].files.empty());
    EXPECT_EQ(p.Module<sim::MemoryModule>().memories[sim::MemoryModule::Dram].files.size(), 1u);
}

TEST_F(MemoryOverTcp, AStoredFileReadsBackInOneFrameUpToTheCapacity) {
    {
        auto lock = p.Printer().Lock();
        auto& memory = p.Module<sim::MemoryModule>();
        ASSERT_TRUE(memory.Store(sim::MemoryModule::Card, "FITS.TXT",
                                 std::string(kDumpReadCapacity - 2, 'f')));
        ASSERT_TRUE(memory.Store(sim::MemoryModule::Card, "LARGE.TXT",
                                 std::string(kDumpReadCapacity - 1, 'l')));
    }
    std::vector<char> buffer(kDumpReadCapacity, 'x');
    PrinterFileRequest fits{kDumpReadCapacity, 0, "FITS.TXT", buffer.data()};
    EXPECT_EQ(p.Run(OpReadPrinterFile, &fits), LinkOk);
    EXPECT_EQ(+fits.length, kDumpReadCapacity - 2);
    EXPECT_EQ(buffer[kDumpReadCapacity - 3], 'f');

    std::fill(buffer.begin(), buffer.end(), 'x');
    PrinterFileRequest large{kDumpReadCapacity, 0, "LARGE.TXT", buffer.data()};
    EXPECT_EQ(p.Run(OpReadPrinterFile, &large), LinkReceivingError);
    EXPECT_EQ(+large.length, 0);
    EXPECT_EQ(buffer[0], 'x');

    // A file the printer does not have is not answered.
    PrinterFileRequest missing{kDumpReadCapacity, 0, "NONE.TXT", buffer.data()};
    EXPECT_EQ(p.Run(OpReadPrinterFile, &missing), LinkReceivingError);
    // A name that would end the quoted command early is refused before anything is sent.
    p.Printer().ClearReceived();
    for (const char* name : {"A\"B.TXT", "A\rB.TXT", "A\nB.TXT"}) {
        PrinterFileRequest quoted{kDumpReadCapacity, 0, {}, buffer.data()};
        std::snprintf(quoted.fileName, sizeof quoted.fileName, "%s", name);
        EXPECT_EQ(p.Run(OpReadPrinterFile, &quoted), LinkUnknownError) << name;
    }
    EXPECT_TRUE(p.Printer().Received().empty());
}

TEST_F(MemoryOverTcp, ADownloadThatDoesNotFitLeavesThePrinterAsItWas) {
    {
        auto lock = p.Printer().Lock();
        p.Module<sim::MemoryModule>().memories[sim::MemoryModule::Dram].physicalKb = 2;
    }
    const std::string big = MakeFile("big.bin", std::string(3000, 'b'));
    DownloadRequest request{big.c_str(), "BIG.BIN", MemoryDram};
    EXPECT_EQ(p.Run(OpDownloadFile, &request), LinkOk);
    ASSERT_TRUE(WaitUntil([&] {
        auto lock = p.Printer().Lock();
        return p.Module<sim::MemoryModule>().refusedDownloads == 1;
    }));
    auto lock = p.Printer().Lock();
    EXPECT_TRUE(p.Module<sim::MemoryModule>().memories[sim::MemoryModule::Dram].files.empty());
}

TEST(SensorOverTcp, ManualSetupReadsBackAsTheSensorSetup) {
    OperationPeer p;
    p.SetEdition(105);
    SensorCalibration manual{};
    manual.kind = CalibrationManual;
    manual.mediaType = MediaBlackMark;
    manual.intensity = 5;
    manual.threshold = 0;
    EXPECT_EQ(p.Run(OpCalibrateSensor, &manual), LinkOk);
    ASSERT_TRUE(WaitUntil([&] { return Saw(p.Printer(), "SET GAP 5"); }));
    SensorCalibration read{};
    read.threshold = -1;
    EXPECT_EQ(p.Run(OpReadSensorSetup, &read), LinkOk);
    EXPECT_EQ(+read.mediaType, MediaBlackMark);
    EXPECT_EQ(+read.intensity, 5);
    auto lock = p.Printer().Lock();
    EXPECT_FALSE(p.Module<sim::SensorModule>().AutomaticReference());
    EXPECT_EQ(+read.threshold, p.Module<sim::SensorModule>().Threshold());
}

TEST(SensorOverTcp, AutomaticCalibrationDetectsWithTheGivenSizes) {
    OperationPeer p;
    SensorCalibration automatic{};
    automatic.kind = CalibrationAutomatic;
    automatic.mediaType = MediaGap;
    automatic.paperHeight = 400;
    automatic.gapLength = 24;
    EXPECT_EQ(p.Run(OpCalibrateSensor, &automatic), LinkOk);
    ASSERT_TRUE(WaitUntil([&] {
        auto lock = p.Printer().Lock();
        return p.Module<sim::SensorModule>().detections == 1;
    }));
    {
        auto lock = p.Printer().Lock();
        EXPECT_EQ(p.Module<sim::SensorModule>().detectedPaperHeight, 400);
        EXPECT_EQ(p.Module<sim::SensorModule>().detectedGapLength, 24);
    }
    SensorCalibration continuous{};
    continuous.kind = CalibrationAutomatic;
    continuous.mediaType = MediaContinuous;
    EXPECT_EQ(p.Run(OpCalibrateSensor, &continuous), LinkOk);
    ASSERT_TRUE(WaitUntil([&] { return Saw(p.Printer(), "GAP 0,0"); }));
    SensorCalibration read{};
    EXPECT_EQ(p.Run(OpReadSensorSetup, &read), LinkOk);
    EXPECT_EQ(+read.mediaType, MediaContinuous);
    EXPECT_TRUE(Saw(p.Printer(), "DIAGNOSTIC REPORT CONINTEN"));
}

TEST(SensorOverTcp, OldEditionsLeaveTheThresholdUnasked) {
    OperationPeer p;
    {
        auto lock = p.Printer().Lock();
        p.SetEdition(103);
    }
    SensorCalibration read{};
    read.threshold = 77;
    EXPECT_EQ(p.Run(OpReadSensorSetup, &read), LinkOk);
    EXPECT_EQ(+read.threshold, 77);
    EXPECT_FALSE(SawAnyContaining(p.Printer(), "THRESHOLD"));
}

TEST(SensorOverTcp, LevelsFollowTheSensorAndWhatLiesUnderIt) {
    OperationPeer p;
    {
        auto lock = p.Printer().Lock();
        p.Module<sim::SensorModule>().underSensor = sim::SensorModule::Liner;
    }
    SensorLevels gap{};
    gap.sensorSelect = 0;
    EXPECT_EQ(p.Run(OpReadSensorLevels, &gap), LinkOk);
    SensorLevels mark{};
    mark.sensorSelect = 1;
    EXPECT_EQ(p.Run(OpReadSensorLevels, &mark), LinkOk);
    ASSERT_EQ(+gap.count, 16);
    ASSERT_EQ(+mark.count, 16);
    auto lock = p.Printer().Lock();
    auto& sensor = p.Module<sim::SensorModule>();
    for (int level = 0; level < 16; ++level) {
        EXPECT_EQ(+gap.readings[level], sensor.GapReading(sim::SensorModule::Liner, level));
        EXPECT_EQ(+mark.readings[level], sensor.BlackMarkReading(sim::SensorModule::Liner, level));
    }
}

TEST(SensorOverTcp, ALongListFillsTheRecordAndNoMore) {
    OperationPeer p;
    {
        auto lock = p.Printer().Lock();
        p.Module<sim::SensorModule>().levelCount = 300;
    }
    struct {
        SensorLevels levels;
        int32_t guard[8];
    } record{};
    std::fill(std::begin(record.guard), std::end(record.guard), 0x5A5A5A5A);
    EXPECT_EQ(p.Run(OpReadSensorLevels, &record.levels), LinkOk);
    EXPECT_EQ(+record.levels.count, 128);
    for (int32_t guard : record.guard)
        EXPECT_EQ(guard, 0x5A5A5A5A);
}

} // namespace
