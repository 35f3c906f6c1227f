#include "ClockModule.h"
#include "dispatch/Dispatch.h"
#include "link/PrinterLink.h"
#include "link/ProgressWindow.h"
#include "LoopbackLink.h"
#include "MaintenanceModule.h"
#include "MemoryModule.h"
#include "operations/ClockRecords.h"
#include "operations/MaintenanceRecords.h"
#include "operations/MemoryRecords.h"
#include "operations/PasswordOperations.h"
#include "operations/PrinterStatus.h"
#include "operations/SensorRecords.h"
#include "PasswordModule.h"
#include "PtyServer.h"
#include "SensorModule.h"
#include "SimPeer.h"
#include "StandardPrinter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

// The parallel link written into a FIFO that a virtual printer reads.
class ParallelPrinter : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = QDir(dir.path()).filePath("lpt.fifo").toStdString();
        sim::InstallStandardModules(printer);
        server = std::make_unique<sim::FifoServer>(printer, path);
        ASSERT_TRUE(server->Start());
        SetLinkDefaults(com, lpt, net);
        std::snprintf(lpt.text, sizeof lpt.text, "%s", path.c_str());
        link.SetLinkSettings({&com, &lpt, &net});
        link.Timeouts().lptWriteMs = 2000;
        progress.hidePause = std::chrono::milliseconds(0);
        link.SetProgressWindow(&progress);
    }
    void TearDown() override {
        if (server)
            server->Stop();
    }
    LinkError Run(uint32_t operation, void* buffer, int32_t extra = 0) {
        return Dispatch(link, operation, InterfaceLpt, buffer, extra);
    }
    // Waits until the printer has received exactly what was sent so far.
    bool Received(const std::string& bytes) {
        return WaitUntil([&] { return printer.Received() == bytes; });
    }
    std::string MakeFile(const std::string& name, const std::string& content) {
        const QString file = QDir(dir.path()).filePath(QString::fromStdString(name));
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(content.data(), static_cast<qint64>(content.size()));
        return file.toStdString();
    }

    QTemporaryDir dir;
    std::string path;
    sim::VirtualPrinter printer;
    std::unique_ptr<sim::FifoServer> server;
    ComSettings com{};
    LptPortName lpt{};
    NetSettings net{};
    ProgressWindow progress;
    PrinterLink link;
};

TEST_F(ParallelPrinter, CommandsWithoutAnswersWorkAsOnEveryLink) {
    std::string sent;
    EXPECT_EQ(Run(OpInitializePrinter, nullptr), LinkOk);
    sent += "INITIALPRINTER\r\n";
    EXPECT_EQ(Run(OpSelfTest, nullptr), LinkOk);
    sent += "SELFTEST\r\n";
    EXPECT_EQ(Run(OpIgnoreAutoBas, nullptr), LinkOk);
    sent += "\x1B!C";
    EXPECT_EQ(Run(OpSendLineModeExit, nullptr), LinkOk);
    sent += "\x1BZ\r\n";
    DumpTextRequest dump{0, ""};
    EXPECT_EQ(Run(OpDumpText, &dump), LinkOk);
    sent += "DUMP_TEXT PRINT,";
    TestPatternRequest pattern{203, 8, 3, 3, 0};
    EXPECT_EQ(Run(OpPrintTestPattern, &pattern), LinkOk);
    sent += "CLS\r\nDIRECTION 0,0\r\nPRINT 1\r\n";
    char data[] = "CLS\r\nPRINT 1\r\n";
    EXPECT_EQ(Run(OpSendData, data, static_cast<int32_t>(std::strlen(data))), LinkOk);
    sent += data;
    EXPECT_EQ(Run(OpProbePort, nullptr), LinkOk);
    ASSERT_TRUE(Received(sent));
    auto lock = printer.Lock();
    EXPECT_EQ(printer.Module<sim::MaintenanceModule>()->printedLabels, 3);
    EXPECT_EQ(printer.Module<sim::MaintenanceModule>()->factoryDefaults, 1);
}

TEST_F(ParallelPrinter, SettingOperationsChangeThePrinter) {
    std::string sent;
    PrinterClock clock{2029, 2, 3, 4, 5, 6};
    EXPECT_EQ(Run(OpSetClock, &clock), LinkOk);
    sent += "@YEAR = \"29\"\r\n@MONTH = \"2\"\r\n@DATE = \"3\"\r\n@HOUR = \"4\"\r\n"
            "@MINUTE = \"5\"\r\n@SECOND = \"6\"\r\n";
    SensorCalibration calibration{};
    calibration.kind = CalibrationManual;
    calibration.mediaType = MediaGap;
    calibration.intensity = 9;
    calibration.threshold = 300;
    EXPECT_EQ(Run(OpCalibrateSensor, &calibration), LinkOk);
    sent += "SET SENSOR_REF MANUAL\r\nGAP 0.08,0\r\nSET GAP 9,300\r\n";
    const std::string local = MakeFile("logo.bmp", "BM1234");
    DownloadRequest download{local.c_str(), "LOGO.BMP", MemoryFlash};
    EXPECT_EQ(Run(OpDownloadFile, &download), LinkOk);
    sent += "DOWNLOAD F,\"LOGO.BMP\",6,BM1234";
    int32_t dram = MemoryDram;
    EXPECT_EQ(Run(OpSendStoredCommand, &dram), LinkOk);
    sent += "KILL \"*.*\"\r\n";
    ASSERT_TRUE(Received(sent));
    auto lock = printer.Lock();
    EXPECT_EQ(printer.Module<sim::ClockModule>()->year, 2029);
    EXPECT_EQ(printer.Module<sim::ClockModule>()->second, 6);
    EXPECT_EQ(printer.Module<sim::SensorModule>()->IntensityOf(sim::SensorModule::GapMode), 9);
    EXPECT_EQ(printer.Module<sim::SensorModule>()->Threshold(), 300);
    EXPECT_NE(printer.Module<sim::MemoryModule>()->Find(sim::MemoryModule::Flash, "LOGO.BMP"),
              nullptr);
}

TEST_F(ParallelPrinter, ReadingOperationsSendTheirFirstCommandAndFailAtTheFirstRead) {
    struct Case {
        uint32_t operation;
        std::string firstCommand;
    };
    PrinterClock clock{};
    auto info = std::make_unique<MemoryInfo>();
    std::vector<char> file(64);
    PrinterFileRequest fileRequest{64, 0, "Dump.txt", file.data()};
    SensorCalibration setup{};
    SensorLevels levels{};
    levels.sensorSelect = 1;
    char password[kPasswordTextCapacity] = "Next";
    void* buffers[] = {&clock, info.get(), &fileRequest, &setup, &levels, password};
    const Case cases[] = {
        {OpReadClock, "\r\nDIAGNOSTIC INTERFACE LPT\r\n"},
        {OpReadMemoryInfo, "\r\nDIAGNOSTIC INTERFACE LPT\r\n"},
        {OpReadPrinterFile, "\r\nDIAGNOSTIC FILE \"Dump.txt\"\r\n\r\n"},
        {OpReadSensorSetup, "\r\nDIAGNOSTIC INTERFACE LPT\r\n"},
        {OpReadSensorLevels, "DIAGNOSTIC REPORT BLINESENSOR\r\n"},
        {OpSetPassword, "DIAGNOSTIC PASSWORD \"Next\"\r\n"},
    };
    std::string sent;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Run(cases[i].operation, buffers[i]), LinkReceivingError) << cases[i].operation;
        if (cases[i].operation != OpReadPrinterFile) {
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
        }
        sent += cases[i].firstCommand;
        ASSERT_TRUE(Received(sent)) << cases[i].operation;
    }
    EXPECT_EQ(+levels.count, 0);
    EXPECT_EQ(+fileRequest.length, 0);
    // The password command reached the printer although no acknowledgement could come.
    auto lock = printer.Lock();
    EXPECT_EQ(printer.Module<sim::PasswordModule>()->password, "Next");
}

TEST(ParallelSpecialCases, StatusConfigurationAndPasswordStateNeverOpenThePort) {
    QTemporaryDir dir;
    const QString missing = QDir(dir.path()).filePath("no-port");
    LoopbackLink target;
    target.UseParallelDevice(missing.toStdString());
    PrinterLink& link = target.link;

    char password[kPasswordTextCapacity] = "stale";
    EXPECT_EQ(Dispatch(link, OpReadPasswordState, InterfaceLpt, password), LinkOk);
    EXPECT_STREQ(password, "");
    PrinterStatus status{};
    EXPECT_EQ(Dispatch(link, OpQueryStatus, InterfaceLpt, &status), LinkReceivingError);
    // Every other operation tries the port, which does not exist.
    PrinterClock clock{};
    EXPECT_EQ(Dispatch(link, OpSetClock, InterfaceLpt, &clock), LinkPortOpenError);
    EXPECT_EQ(Dispatch(link, OpReadClock, InterfaceLpt, &clock), LinkPortOpenError);
    EXPECT_FALSE(QFile::exists(missing));
}

TEST(ParallelSpecialCases, APlainFileTakesTheBytesOfEveryWritingOperation) {
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("lpt.out");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    LoopbackLink target;
    target.UseParallelDevice(path.toStdString());
    PrinterLink& link = target.link;
    ProgressWindow progress;
    progress.hidePause = std::chrono::milliseconds(0);
    link.SetProgressWindow(&progress);

    EXPECT_EQ(Dispatch(link, OpResetPrinter, InterfaceLpt, nullptr), LinkOk);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), "\x1B!R");
}

} // namespace
