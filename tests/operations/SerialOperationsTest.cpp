#include "config/PrinterConfig.h"
#include "dispatch/Dispatch.h"
#include "link/PrinterLink.h"
#include "LoopbackLink.h"
#include "MemoryModule.h"
#include "operations/ClockRecords.h"
#include "operations/MaintenanceRecords.h"
#include "operations/MemoryRecords.h"
#include "operations/PasswordOperations.h"
#include "operations/PrinterNetConfig.h"
#include "operations/PrinterStatus.h"
#include "operations/SensorRecords.h"
#include "PasswordModule.h"
#include "PtyServer.h"
#include "StandardPrinter.h"
#include "VirtualPrinter.h"

#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Starts the server and gives the device its clients open.
std::string StartedDevice(sim::PtyServer& server) {
    std::string error;
    EXPECT_TRUE(server.Start(&error)) << error;
    return server.SlavePath();
}

// A complete virtual printer behind a pseudo-terminal and a link whose serial port is it.
struct SerialPrinter {
    SerialPrinter() {
        {
            auto lock = printer.Lock();
            sim::InstallStandardModules(printer);
        }
        link.Timeouts().comReadMs = 1000;
        link.Timeouts().listFramePauseMs = 1;
    }
    LinkError Run(uint32_t op, void* buffer, int32_t extra = 0) {
        return Dispatch(link, op, InterfaceCom, buffer, extra);
    }
    sim::VirtualPrinter printer;
    sim::PtyServer server{printer};
    LoopbackLink target{0, StartedDevice(server)};
    PrinterLink& link = target.link;
};

TEST(SerialLinkOperations, EveryOperationWorksOverTheSerialLink) {
    SerialPrinter s;
    {
        auto lock = s.printer.Lock();
        s.printer.statusByte = 0x04;
        s.printer.Module<sim::PasswordModule>()->password = "1234";
        s.printer.Module<sim::MemoryModule>()->Store(sim::MemoryModule::Flash, "A.BAS",
                                                     "PRINT 1\r\n");
    }

    PrinterStatus status{};
    EXPECT_EQ(s.Run(OpQueryStatus, &status), LinkOk);
    EXPECT_EQ(status.flags[StatusOutOfPaper], 1);

    PrinterConfig config;
    SetConfigDefaults(config);
    EXPECT_EQ(s.Run(OpReadConfiguration, &config, 0), LinkOk);
    const int32_t dpi = config.Dpi;
    EXPECT_EQ(dpi, 203);
    for (int tab = 0; tab < 4; ++tab)
        EXPECT_EQ(s.Run(OpWriteConfiguration, &config, tab), LinkOk) << tab;

    std::vector<char> password(kPasswordTextCapacity);
    EXPECT_EQ(s.Run(OpReadPasswordState, password.data()), LinkOk);
    EXPECT_STREQ(password.data(), "1234");
    char newPassword[] = "5678";
    EXPECT_EQ(s.Run(OpSetPassword, newPassword), LinkOk);
    EXPECT_EQ(s.Run(OpReadPasswordState, password.data()), LinkOk);
    EXPECT_STREQ(password.data(), "5678");

    PrinterClock clock{2026, 12, 8, 15, 4, 5};
    EXPECT_EQ(s.Run(OpSetClock, &clock), LinkOk);
    PrinterClock readBack{};
    EXPECT_EQ(s.Run(OpReadClock, &readBack), LinkOk);
    EXPECT_EQ(readBack.month, 12);
    EXPECT_EQ(readBack.minute, 4);

    auto memory = std::make_unique<MemoryInfo>();
    EXPECT_EQ(s.Run(OpReadMemoryInfo, memory.get()), LinkOk);
    EXPECT_NE(std::strstr(memory->areas[MemoryFlash].fileList, "A.BAS"), nullptr);

    QTemporaryFile local;
    ASSERT_TRUE(local.open());
    local.write("SIZE 4,2\r\nPRINT 1\r\n");
    local.close();
    const QByteArray localPath = local.fileName().toLocal8Bit();
    DownloadRequest download{localPath.constData(), "DEMO.BAS", MemoryDram};
    EXPECT_EQ(s.Run(OpDownloadFile, &download), LinkOk);

    std::vector<char> fileBuffer(4096);
    PrinterFileRequest file{};
    file.capacity = static_cast<int32_t>(fileBuffer.size());
    std::snprintf(file.fileName, sizeof file.fileName, "DEMO.BAS");
    file.buffer = fileBuffer.data();
    EXPECT_EQ(s.Run(OpReadPrinterFile, &file), LinkOk);
    EXPECT_EQ(std::string(fileBuffer.data(), static_cast<size_t>(file.length)),
              "SIZE 4,2\r\nPRINT 1\r\n");

    char data[] = "CLS\r\n";
    EXPECT_EQ(s.Run(OpSendData, data, 5), LinkOk);
    int32_t memoryIndex = MemoryDram;
    EXPECT_EQ(s.Run(OpSendStoredCommand, &memoryIndex), LinkOk);

    DumpTextRequest dump{};
    EXPECT_EQ(s.Run(OpDumpText, &dump), LinkOk);
    TestPatternRequest pattern{};
    pattern.dotsPerMm = 8.0f;
    pattern.widthMm = 50.0f;
    pattern.heightMm = 30.0f;
    EXPECT_EQ(s.Run(OpPrintTestPattern, &pattern), LinkOk);

    SensorCalibration calibration{};
    EXPECT_EQ(s.Run(OpReadSensorSetup, &calibration), LinkOk);
    calibration.confirmed = 1;
    EXPECT_EQ(s.Run(OpCalibrateSensor, &calibration), LinkOk);
    SensorLevels levels{};
    EXPECT_EQ(s.Run(OpReadSensorLevels, &levels), LinkOk);
    EXPECT_GT(levels.count, 0);

    PrinterNetConfig netConfig;
    SetNetConfigDefaults(netConfig);
    EXPECT_EQ(s.Run(OpReadNetSettings, &netConfig), LinkOk);
    EXPECT_EQ(s.Run(OpSetNetAddress, &netConfig), LinkOk);
    EXPECT_EQ(s.Run(OpSetNetName, &netConfig), LinkOk);

    for (uint32_t op : {OpInitializePrinter, OpSelfTest, OpResetPrinter, OpIgnoreAutoBas,
                        OpProbePort, OpSendLineModeExit})
        EXPECT_EQ(s.Run(op, nullptr), LinkOk) << op;
    EXPECT_EQ(s.Run(kOperationCount, nullptr), LinkUnknownError);
}

} // namespace
