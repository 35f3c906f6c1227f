#include "../link/RecordingProgress.h"
#include "dispatch/Dispatch.h"
#include "GuardedRecord.h"
#include "link/PrinterLink.h"
#include "link/ProgressWindow.h"
#include "operations/ClockRecords.h"
#include "operations/MaintenanceRecords.h"
#include "operations/MemoryRecords.h"
#include "operations/PasswordOperations.h"
#include "operations/PrinterNetConfig.h"
#include "operations/SensorRecords.h"
#include "ScriptedBackend.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string Frame(const std::string& data) {
    return "{" + std::to_string(data.size()) + "|" + data + "}";
}

// A USB link whose device answers from a script, whatever was written.
struct Scripted {
    Scripted() {
        progress.hidePause = std::chrono::milliseconds(0);
        link.SetProgressWindow(&progress);
        link.SetBackendFactory(InterfaceUsb, [this](PrinterLink&) {
            return std::make_unique<ScriptedBackend>(script);
        });
        link.Timeouts().listFramePauseMs = 0;
    }
    void Answer(std::initializer_list<std::string> frames) {
        for (const std::string& frame : frames)
            script->reads.push_back(frame);
    }
    LinkError Run(uint32_t operation, void* buffer, int32_t extra = 0) {
        return Dispatch(link, operation, InterfaceUsb, buffer, extra);
    }
    std::string Written() const { return script->Written(); }

    std::shared_ptr<LinkScript> script = std::make_shared<LinkScript>();
    RecordingViewFactory views;
    ProgressWindow progress{&views};
    PrinterLink link;
};

const std::string kAnnounce = Frame("USB");

template <class T> using Guarded = GuardedRecord<T>;

TEST(ReadSensorSetup, ModeAboveTwoCountsAsContinuousAndOldEditionsKeepTheThreshold) {
    Scripted s;
    s.Answer({kAnnounce, Frame("5"), Frame("7"), Frame("103")});
    SensorCalibration calibration{};
    calibration.threshold = 42;
    EXPECT_EQ(s.Run(OpReadSensorSetup, &calibration), LinkOk);
    EXPECT_EQ(+calibration.mediaType, MediaContinuous);
    EXPECT_EQ(+calibration.intensity, 7);
    EXPECT_EQ(+calibration.threshold, 42);
    EXPECT_NE(s.Written().find("DIAGNOSTIC REPORT CONINTEN\r\n"), std::string::npos);
    EXPECT_EQ(s.Written().find("THRESHOLD"), std::string::npos);
    EXPECT_EQ(s.script->closes, 1);
}

TEST(ReadSensorSetup, Edition104AsksTheThreshold) {
    Scripted s;
    s.Answer({kAnnounce, Frame("1"), Frame("4"), Frame("104"), Frame("311")});
    SensorCalibration calibration{};
    EXPECT_EQ(s.Run(OpReadSensorSetup, &calibration), LinkOk);
    EXPECT_EQ(+calibration.mediaType, MediaBlackMark);
    EXPECT_EQ(+calibration.intensity, 4);
    EXPECT_EQ(+calibration.threshold, 311);
    EXPECT_EQ(s.Written(), "\r\nDIAGNOSTIC INTERFACE USB\r\n"
                           "DIAGNOSTIC REPORT SENSORMODE\r\n"
                           "DIAGNOSTIC REPORT BLINEINTEN\r\n"
                           "DIAGNOSTIC REPORT EDITION\r\n"
                           "DIAGNOSTIC REPORT THRESHOLD\r\n");
}

TEST(ReadSensorSetup, NegativeModesCountAsTheGapSensor) {
    Scripted s;
    s.Answer({kAnnounce, Frame("-3"), Frame("6")});
    SensorCalibration calibration{};
    calibration.threshold = 9;
    // The edition does not come: the result still stands, without a threshold.
    EXPECT_EQ(s.Run(OpReadSensorSetup, &calibration), LinkOk);
    EXPECT_EQ(+calibration.mediaType, MediaGap);
    EXPECT_EQ(+calibration.intensity, 6);
    EXPECT_EQ(+calibration.threshold, 9);
    EXPECT_NE(s.Written().find("DIAGNOSTIC REPORT GAPINTEN\r\n"), std::string::npos);
}

TEST(ReadSensorSetup, AMissingThresholdAfterANewEditionIsAFailure) {
    Scripted s;
    s.Answer({kAnnounce, Frame("0"), Frame("6"), Frame("110")});
    SensorCalibration calibration{};
    calibration.threshold = 9;
    EXPECT_EQ(s.Run(OpReadSensorSetup, &calibration), LinkReceivingError);
    EXPECT_EQ(+calibration.threshold, 9);
    EXPECT_EQ(+calibration.intensity, 6);
}

TEST(ReadSensorLevels, SixteenNumbersAndAnEmptyFrameGiveSixteenReadings) {
    Scripted s;
    std::string frames;
    for (int i = 0; i < 16; ++i)
        frames += Frame(std::to_string(100 + i * 10));
    s.Answer({frames + "{0|}"});
    Guarded<SensorLevels> levels;
    levels.record.sensorSelect = 1;
    EXPECT_EQ(s.Run(OpReadSensorLevels, &levels.record), LinkOk);
    EXPECT_EQ(+levels.record.count, 16);
    EXPECT_EQ(+levels.record.readings[0], 100);
    EXPECT_EQ(+levels.record.readings[15], 250);
    EXPECT_EQ(s.Written(), "DIAGNOSTIC REPORT BLINESENSOR\r\n");
    EXPECT_TRUE(levels.Intact());
}

TEST(ReadSensorLevels, OnlyTheFirst128ReadingsAreKeptOfALongerList) {
    Scripted s;
    std::string frames;
    for (int i = 0; i < 200; ++i)
        frames += Frame(std::to_string(i));
    s.Answer({frames + "{|}"});
    Guarded<SensorLevels> levels;
    levels.record.sensorSelect = 0;
    EXPECT_EQ(s.Run(OpReadSensorLevels, &levels.record), LinkOk);
    EXPECT_EQ(+levels.record.count, 128);
    EXPECT_EQ(+levels.record.readings[127], 127);
    EXPECT_TRUE(levels.Intact());
    EXPECT_EQ(s.Written(), "DIAGNOSTIC REPORT GAPSENSOR\r\n");
}

TEST(ReadSensorLevels, AListThatBreaksOffKeepsItsReadingsButNotTheCount) {
    Scripted s;
    s.Answer({Frame("11") + Frame("22")});
    SensorLevels levels{};
    levels.count = 77;
    levels.readings[2] = -5;
    EXPECT_EQ(s.Run(OpReadSensorLevels, &levels), LinkReceivingError);
    EXPECT_EQ(+levels.count, 77);
    EXPECT_EQ(+levels.readings[0], 11);
    EXPECT_EQ(+levels.readings[1], 22);
    EXPECT_EQ(+levels.readings[2], -5);
    EXPECT_EQ(s.script->closes, 1);
}

TEST(ReadSensorLevels, AFrameTooLongForItsSmallBufferFails) {
    Scripted s;
    s.Answer({Frame(std::string(63, '9')) + "{0|}"});
    SensorLevels levels{};
    EXPECT_EQ(s.Run(OpReadSensorLevels, &levels), LinkReceivingError);
}

TEST(ReadPasswordState, Edition100HasNoPasswordAnd101AsksForIt) {
    {
        Scripted s;
        s.Answer({kAnnounce, Frame("100"), Frame("secret")});
        char password[kPasswordTextCapacity];
        std::strcpy(password, "stale");
        EXPECT_EQ(s.Run(OpReadPasswordState, password), LinkOk);
        EXPECT_STREQ(password, "");
        EXPECT_EQ(s.Written().find("PASSWORD"), std::string::npos);
    }
    {
        Scripted s;
        s.Answer({kAnnounce, Frame("101"), Frame("secret")});
        char password[kPasswordTextCapacity];
        EXPECT_EQ(s.Run(OpReadPasswordState, password), LinkOk);
        EXPECT_STREQ(password, "secret");
        EXPECT_NE(s.Written().find("DIAGNOSTIC REPORT PASSWORD\r\n"), std::string::npos);
    }
}

TEST(ReadPasswordState, TheLongestPasswordFillsTheBufferAndFailuresLeaveItEmpty) {
    {
        Scripted s;
        s.Answer({kAnnounce, Frame("105"), Frame(std::string(1022, 'p'))});
        Guarded<char[1023]> password;
        EXPECT_EQ(s.Run(OpReadPasswordState, password.record), LinkOk);
        EXPECT_EQ(std::strlen(password.record), 1022u);
        EXPECT_TRUE(password.Intact());
    }
    {
        Scripted s;
        s.Answer({kAnnounce, Frame("105"), Frame(std::string(1023, 'p'))});
        char password[kPasswordTextCapacity];
        std::strcpy(password, "stale");
        EXPECT_EQ(s.Run(OpReadPasswordState, password), LinkReceivingError);
        EXPECT_STREQ(password, "");
    }
    {
        Scripted s;
        s.script->openFails = true;
        char password[kPasswordTextCapacity];
        std::strcpy(password, "stale");
        EXPECT_EQ(s.Run(OpReadPasswordState, password), LinkPortOpenError);
        EXPECT_STREQ(password, "");
    }
}

TEST(SetPassword, TheAcknowledgementFrameDecidesTheResult) {
    {
        Scripted s;
        s.Answer({Frame("")});
        char password[kPasswordTextCapacity] = "NewOne";
        EXPECT_EQ(s.Run(OpSetPassword, password), LinkOk);
        EXPECT_EQ(s.Written(), "DIAGNOSTIC PASSWORD \"NewOne\"\r\n");
    }
    {
        Scripted s;
        char password[kPasswordTextCapacity] = "";
        EXPECT_EQ(s.Run(OpSetPassword, password), LinkReceivingError);
        EXPECT_EQ(s.Written(), "DIAGNOSTIC PASSWORD \"\"\r\n");
    }
}

TEST(SetPassword, APasswordThatCannotBeQuotedIsNotSent) {
    for (const char* text : {"ab\"cd", "ab\r\nSELFTEST"}) {
        Scripted s;
        char password[kPasswordTextCapacity];
        std::strcpy(password, text);
        EXPECT_EQ(s.Run(OpSetPassword, password), LinkUnknownError);
        EXPECT_EQ(s.script->opens, 0);
    }
}

TEST(SetNetAddressAndName, TextsThatCannotBeQuotedAreNotSent) {
    const auto refused = [](uint32_t operation, void (*edit)(PrinterNetConfig&)) {
        Scripted s;
        PrinterNetConfig config;
        SetNetConfigDefaults(config);
        config.dhcp = 0;
        edit(config);
        EXPECT_EQ(s.Run(operation, &config), LinkUnknownError) << operation;
        EXPECT_EQ(s.script->opens, 0);
    };
    refused(OpSetNetName,
            [](PrinterNetConfig& c) { StoreFixedBytes(c.printerName, "x\"\r\nSELFTEST"); });
    refused(OpSetNetName, [](PrinterNetConfig& c) { StoreFixedBytes(c.printerName, "a\nb"); });
    refused(OpSetNetAddress,
            [](PrinterNetConfig& c) { StoreFixedBytes(c.ipAddress, "1.2.3.4\""); });
    refused(OpSetNetAddress, [](PrinterNetConfig& c) { StoreFixedBytes(c.subnetMask, "255\r"); });
    refused(OpSetNetAddress, [](PrinterNetConfig& c) { StoreFixedBytes(c.gateway, "\""); });

    // DHCP sends none of the address texts, so they cannot harm.
    Scripted s;
    PrinterNetConfig config;
    SetNetConfigDefaults(config);
    StoreFixedBytes(config.gateway, "\"");
    EXPECT_EQ(s.Run(OpSetNetAddress, &config), LinkOk);
    EXPECT_EQ(s.Written(), "NET DHCP\r\n");
}

TEST(Dispatch, EveryOperationThatTakesABufferRefusesNoneBeforeOpening) {
    for (uint32_t op = 0; op < kOperationCount; ++op) {
        if (OperationAt(op).buffer == BufferUse::None)
            continue;
        for (InterfaceKind kind : {InterfaceUsb, InterfaceLpt}) {
            Scripted s;
            s.link.SetBackendFactory(InterfaceLpt, [&s](PrinterLink&) {
                return std::make_unique<ScriptedBackend>(s.script);
            });
            EXPECT_EQ(Dispatch(s.link, op, kind, nullptr, 1), LinkUnknownError) << op;
            EXPECT_EQ(s.script->opens, 0) << op;
            EXPECT_EQ(s.views.created, 0) << op;
        }
    }
}

TEST(ReadClock, AFailureAtMinuteKeepsTheFieldsReadBefore) {
    Scripted s;
    s.Answer({kAnnounce, Frame("2026"), Frame("12"), Frame("8"), Frame("15")});
    PrinterClock clock{-1, -1, -1, -1, -1, -1};
    EXPECT_EQ(s.Run(OpReadClock, &clock), LinkReceivingError);
    EXPECT_EQ(+clock.year, 2026);
    EXPECT_EQ(+clock.month, 12);
    EXPECT_EQ(+clock.date, 8);
    EXPECT_EQ(+clock.hour, 15);
    EXPECT_EQ(+clock.minute, -1);
    EXPECT_EQ(+clock.second, -1);
    EXPECT_EQ(s.Written().find("SECOND"), std::string::npos);
}

TEST(ReadPrinterFile, TheFileMustLeaveTwoBytesOfTheCapacity) {
    constexpr int kCapacity = 1048576;
    {
        Scripted s;
        s.Answer({Frame(std::string(kCapacity - 2, 'd'))});
        std::vector<char> buffer(kCapacity);
        PrinterFileRequest request{kCapacity, 0, "Dump.txt", buffer.data()};
        EXPECT_EQ(s.Run(OpReadPrinterFile, &request), LinkOk);
        EXPECT_EQ(+request.length, kCapacity - 2);
        EXPECT_EQ(buffer[kCapacity - 2], '\0');
        EXPECT_EQ(s.Written(), "\r\nDIAGNOSTIC FILE \"Dump.txt\"\r\n\r\n");
    }
    {
        Scripted s;
        s.Answer({Frame(std::string(kCapacity - 1, 'd'))});
        std::vector<char> buffer(kCapacity, 'x');
        PrinterFileRequest request{kCapacity, -7, "Dump.txt", buffer.data()};
        EXPECT_EQ(s.Run(OpReadPrinterFile, &request), LinkReceivingError);
        EXPECT_EQ(+request.length, -7);
        EXPECT_EQ(buffer[0], 'x');
    }
}

TEST(ReadPrinterFile, ARequestWithoutBufferOrRoomFailsWithoutWriting) {
    for (int32_t capacity : {0, 1, -5}) {
        Scripted s;
        s.Answer({"{0|}"});
        char one = 'x';
        PrinterFileRequest request{capacity, 0, "A.TXT", capacity == 0 ? nullptr : &one};
        EXPECT_EQ(s.Run(OpReadPrinterFile, &request), LinkReceivingError);
        EXPECT_EQ(one, 'x');
    }
}

TEST(ReadMemoryInfo, AnEmptyCardListIsAnEmptyTextWithAPresentSpace) {
    Scripted s;
    s.Answer({kAnnounce, Frame("2048"), Frame("2000"), Frame("A.BAS") + Frame("LOGO.PCX") + "{0|}",
              Frame("4096"), Frame("4000"), "{0|}", Frame("0"), "{|}"});
    auto info = std::make_unique<MemoryInfo>();
    std::memset(info.get(), 0x7F, sizeof *info);
    EXPECT_EQ(s.Run(OpReadMemoryInfo, info.get()), LinkOk);
    const MemoryArea& dram = info->areas[MemoryDram];
    EXPECT_EQ(dram.physicalKnown, 1);
    EXPECT_EQ(+dram.physicalSpace, 2048);
    EXPECT_EQ(dram.freeKnown, 1);
    EXPECT_EQ(+dram.freeSpace, 2000);
    EXPECT_STREQ(dram.fileList, "A.BAS\r\nLOGO.PCX\r\n");
    EXPECT_STREQ(info->areas[MemoryFlash].fileList, "");
    const MemoryArea& card = info->areas[MemoryCard];
    EXPECT_STREQ(card.fileList, "");
    EXPECT_EQ(card.physicalKnown, 1);
    EXPECT_EQ(+card.physicalSpace, 0);
    EXPECT_EQ(card.freeKnown, 0);
    EXPECT_EQ(+card.freeSpace, 0x7F7F7F7F);
    EXPECT_EQ(s.Written().find("CFREESPACE"), std::string::npos);
}

TEST(ReadMemoryInfo, AFileListLongerThanItsAreaFails) {
    Scripted s;
    std::string list;
    for (int i = 0; i < 7000; ++i)
        list += Frame("FILE" + std::to_string(i) + ".BMP");
    s.Answer({kAnnounce, Frame("2048"), Frame("2000"), list + "{0|}"});
    auto info = std::make_unique<Guarded<MemoryInfo>>();
    EXPECT_EQ(s.Run(OpReadMemoryInfo, &info->record), LinkReceivingError);
    EXPECT_TRUE(info->Intact());
    EXPECT_EQ(info->record.areas[MemoryFlash].physicalKnown, 0);
}

class DownloadFileTest : public ::testing::Test {
protected:
    std::string MakeFile(const std::string& name, const std::string& content) {
        const QString path = dir.filePath(QString::fromStdString(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content.data(), static_cast<qint64>(content.size()));
        return path.toStdString();
    }
    QTemporaryDir dir;
};

TEST_F(DownloadFileTest, TheHeaderIsFollowedDirectlyByTheFileBytes) {
    const std::string path = MakeFile("ten.bin", std::string("0123\0"
                                                             "56789",
                                                             10));
    for (int32_t memory : {MemoryFlash, MemoryDram}) {
        Scripted s;
        DownloadRequest request{path.c_str(), "TEN.BIN", memory};
        EXPECT_EQ(s.Run(OpDownloadFile, &request), LinkOk);
        const std::string header =
            memory == MemoryFlash ? "DOWNLOAD F,\"TEN.BIN\",10," : "DOWNLOAD \"TEN.BIN\",10,";
        EXPECT_EQ(s.Written(), header + std::string("0123\0"
                                                    "56789",
                                                    10));
        // Percent mode around the file bytes only: 3 at the start, then 100.
        EXPECT_EQ(s.views.created, 1);
        EXPECT_EQ(s.views.positions, (std::vector<int>{3, 100, 100}));
        EXPECT_FALSE(s.progress.IsShown());
    }
}

TEST_F(DownloadFileTest, AnEmptyFileSendsTheHeaderWithSizeZero) {
    const std::string path = MakeFile("empty.bin", "");
    Scripted s;
    DownloadRequest request{path.c_str(), "EMPTY", MemoryCard};
    EXPECT_EQ(s.Run(OpDownloadFile, &request), LinkOk);
    EXPECT_EQ(s.Written(), "DOWNLOAD E,\"EMPTY\",0,");
}

TEST_F(DownloadFileTest, UnreadableFilesAndUnknownMemoriesNeverTouchTheLink) {
    const std::string path = MakeFile("ok.bin", "abc");
    const std::string missing = dir.filePath("missing.bin").toStdString();
    struct Case {
        DownloadRequest request;
        LinkError expected;
    } cases[] = {
        {{missing.c_str(), "X", MemoryFlash}, LinkFileOpenError},
        {{nullptr, "X", MemoryFlash}, LinkFileOpenError},
        {{path.c_str(), "X", 3}, LinkUnknownError},
        {{path.c_str(), "X", -1}, LinkUnknownError},
        {{path.c_str(), "A\"B", MemoryDram}, LinkUnknownError},
        {{path.c_str(), nullptr, MemoryDram}, LinkUnknownError},
    };
    for (Case& c : cases) {
        Scripted s;
        EXPECT_EQ(s.Run(OpDownloadFile, &c.request), c.expected);
        EXPECT_EQ(s.script->opens, 0);
    }
    Scripted s;
    s.script->openFails = true;
    DownloadRequest request{path.c_str(), "X", MemoryDram};
    EXPECT_EQ(s.Run(OpDownloadFile, &request), LinkPortOpenError);
}

TEST_F(DownloadFileTest, ARefusedHeaderSendsNoFileBytes) {
    const std::string path = MakeFile("ok.bin", "abc");
    Scripted s;
    s.script->acceptPieces = 0;
    DownloadRequest request{path.c_str(), "X", MemoryDram};
    EXPECT_EQ(s.Run(OpDownloadFile, &request), LinkTransmissionError);
    EXPECT_TRUE(s.script->pieces.empty());
    EXPECT_FALSE(s.progress.IsShown());
}

TEST(SendStoredCommand, OnlyTheThreeMemoriesHaveACommand) {
    for (int32_t memory : {-1, 3}) {
        Scripted s;
        EXPECT_EQ(s.Run(OpSendStoredCommand, &memory), LinkUnknownError);
        EXPECT_EQ(s.script->opens, 0);
    }
    Scripted s;
    int32_t card = MemoryCard;
    EXPECT_EQ(s.Run(OpSendStoredCommand, &card), LinkOk);
    EXPECT_EQ(s.Written(), "KILL E,\"*.*\"\r\n");
}

TEST(SendData, ACountOfZeroStillOpensShowsProgressAndCloses) {
    Scripted s;
    EXPECT_EQ(s.Run(OpSendData, nullptr, 0), LinkOk);
    EXPECT_EQ(s.views.created, 1);
    EXPECT_EQ(s.script->opens, 1);
    EXPECT_EQ(s.script->closes, 1);
    EXPECT_FALSE(s.progress.IsShown());
    EXPECT_EQ(s.progress.BarPosition(), ProgressWindow::kMaximum);
}

TEST(SendData, ANegativeCountIsRefused) {
    Scripted s;
    char bytes[4] = {};
    EXPECT_EQ(s.Run(OpSendData, bytes, -1), LinkUnknownError);
    EXPECT_EQ(s.script->opens, 0);
    EXPECT_EQ(s.views.created, 0);
}

TEST(SendData, TheBytesGoUnchangedAndAFailedWriteStillHidesTheProgress) {
    const std::string data("raw\0firmware\x1B", 13);
    {
        Scripted s;
        EXPECT_EQ(s.Run(OpSendData, const_cast<char*>(data.data()), 13), LinkOk);
        EXPECT_EQ(s.Written(), data);
    }
    {
        Scripted s;
        s.script->acceptPieces = 0;
        EXPECT_EQ(s.Run(OpSendData, const_cast<char*>(data.data()), 13), LinkTransmissionError);
        EXPECT_FALSE(s.progress.IsShown());
        EXPECT_EQ(s.script->closes, 1);
    }
}

TEST(CalibrateSensor, NothingToSendOpensAndClosesTheLink) {
    Scripted s;
    SensorCalibration calibration{};
    calibration.kind = 7;
    EXPECT_EQ(s.Run(OpCalibrateSensor, &calibration), LinkOk);
    EXPECT_EQ(s.script->opens, 1);
    EXPECT_EQ(s.script->closes, 1);
    EXPECT_TRUE(s.script->pieces.empty());
}

// Every operation of these families: an open failure gives 1 with nothing sent, a refused
// first write gives 2, and the link is closed on every path after a successful open.
TEST(CommonFrame, OpenAndWriteFailuresGiveTheirCodes) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("f.bin").toStdString();
    {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("abc");
    }
    const uint32_t operations[] = {2,  3,  5,  6,  7,  8,  9,  10, 11, 12,
                                   13, 14, 15, 16, 17, 22, 23, 24, 25};
    for (uint32_t op : operations) {
        char password[kPasswordTextCapacity] = "pw";
        DumpTextRequest dump{0, "D.TXT"};
        PrinterClock clock{2026, 1, 1, 0, 0, 0};
        SensorCalibration calibration{};
        auto info = std::make_unique<MemoryInfo>();
        DownloadRequest download{path.c_str(), "F.BIN", MemoryFlash};
        int32_t memory = MemoryDram;
        char data[4] = "abc";
        TestPatternRequest pattern{203, 8, 100, 50, 0};
        std::vector<char> file(1024);
        PrinterFileRequest fileRequest{1024, 0, "Dump.txt", file.data()};
        SensorLevels levels{};
        void* buffers[26] = {};
        buffers[2] = password;
        buffers[3] = password;
        buffers[6] = &dump;
        buffers[8] = &clock;
        buffers[9] = &clock;
        buffers[10] = &calibration;
        buffers[12] = info.get();
        buffers[13] = &download;
        buffers[14] = data;
        buffers[15] = &memory;
        buffers[16] = &pattern;
        buffers[22] = &fileRequest;
        buffers[23] = &calibration;
        buffers[24] = &levels;
        const int32_t extra = op == 14 ? 3 : 0;
        {
            Scripted s;
            s.script->openFails = true;
            EXPECT_EQ(s.Run(op, buffers[op], extra), LinkPortOpenError) << op;
            EXPECT_TRUE(s.script->pieces.empty()) << op;
        }
        {
            Scripted s;
            s.script->acceptPieces = 0;
            EXPECT_EQ(s.Run(op, buffers[op], extra), LinkTransmissionError) << op;
            EXPECT_EQ(s.script->closes, s.script->opens) << op;
        }
    }
}

} // namespace

namespace {

// A write refused at each exchange in turn gives 2 and keeps what the earlier exchanges
// stored; every command here fits one piece, so piece k is the command of exchange k.
TEST(WriteFailureMatrix, ReadClockStopsAtTheRefusedQuery) {
    for (int refused = 0; refused <= 6; ++refused) {
        Scripted s;
        s.script->acceptPieces = refused;
        s.Answer(
            {kAnnounce, Frame("2026"), Frame("2"), Frame("3"), Frame("4"), Frame("5"), Frame("6")});
        PrinterClock clock{-1, -1, -1, -1, -1, -1};
        EXPECT_EQ(s.Run(OpReadClock, &clock), LinkTransmissionError) << refused;
        const int32_t values[6] = {clock.year, clock.month,  clock.date,
                                   clock.hour, clock.minute, clock.second};
        const int32_t expected[6] = {2026, 2, 3, 4, 5, 6};
        for (int field = 0; field < 6; ++field)
            EXPECT_EQ(values[field], field + 1 < refused ? expected[field] : -1)
                << refused << " " << field;
        EXPECT_EQ(s.script->closes, 1);
    }
}

TEST(WriteFailureMatrix, ReadMemoryInfoKeepsTheEarlierAreas) {
    for (int refused = 0; refused <= 8; ++refused) {
        Scripted s;
        s.script->acceptPieces = refused;
        s.Answer({kAnnounce, Frame("1"), Frame("2"), Frame("D") + "{0|}", Frame("3"), Frame("4"),
                  Frame("F") + "{0|}", Frame("5"), Frame("C") + "{0|}"});
        auto info = std::make_unique<MemoryInfo>();
        std::memset(info.get(), 0, sizeof *info);
        EXPECT_EQ(s.Run(OpReadMemoryInfo, info.get()), LinkTransmissionError) << refused;
        const MemoryArea* a = info->areas;
        EXPECT_EQ(+a[0].physicalSpace, refused > 1 ? 1 : 0) << refused;
        EXPECT_EQ(+a[0].freeSpace, refused > 2 ? 2 : 0) << refused;
        EXPECT_STREQ(a[0].fileList, refused > 3 ? "D\r\n" : "") << refused;
        EXPECT_EQ(+a[1].physicalSpace, refused > 4 ? 3 : 0) << refused;
        EXPECT_EQ(+a[1].freeSpace, refused > 5 ? 4 : 0) << refused;
        EXPECT_STREQ(a[1].fileList, refused > 6 ? "F\r\n" : "") << refused;
        EXPECT_EQ(+a[2].physicalSpace, refused > 7 ? 5 : 0) << refused;
        EXPECT_STREQ(a[2].fileList, "") << refused;
    }
}

TEST(WriteFailureMatrix, ReadSensorSetupAndPasswordState) {
    for (int refused = 0; refused <= 4; ++refused) {
        Scripted s;
        s.script->acceptPieces = refused;
        s.Answer({kAnnounce, Frame("1"), Frame("8"), Frame("104"), Frame("250")});
        SensorCalibration setup{};
        setup.mediaType = setup.intensity = setup.threshold = -1;
        // A refused edition query is as good as an old printer: the result stands.
        const LinkError expected = refused == 3 ? LinkOk : LinkTransmissionError;
        EXPECT_EQ(s.Run(OpReadSensorSetup, &setup), expected) << refused;
        EXPECT_EQ(+setup.mediaType, refused > 1 ? 1 : -1) << refused;
        EXPECT_EQ(+setup.intensity, refused > 2 ? 8 : -1) << refused;
        EXPECT_EQ(+setup.threshold, -1) << refused;
    }
    for (int refused = 0; refused <= 2; ++refused) {
        Scripted s;
        s.script->acceptPieces = refused;
        s.Answer({kAnnounce, Frame("105"), Frame("pw")});
        char password[kPasswordTextCapacity] = "stale";
        EXPECT_EQ(s.Run(OpReadPasswordState, password), LinkTransmissionError) << refused;
        EXPECT_STREQ(password, "");
    }
}

} // namespace
