#include "GuardedRecord.h"
#include "MemoryModule.h"
#include "OperationPeer.h"
#include "operations/ClockRecords.h"
#include "operations/MemoryRecords.h"
#include "operations/PasswordOperations.h"
#include "operations/SensorRecords.h"
#include "PasswordModule.h"
#include "SensorModule.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

// For each reading operation the printer hangs up once the command of one exchange has
// come in, never answering it, for every exchange in turn. The operation must give the
// documented code, keep what it read before, leave the rest as the caller put it, and
// write nothing past its record.

namespace {

const std::string kAnnounce = "\r\nDIAGNOSTIC INTERFACE NET\r\n";

// Bytes the printer has received once the command of exchange `index` is complete.
long BytesThrough(const std::vector<std::string>& commands, size_t index) {
    long total = 0;
    for (size_t i = 0; i <= index; ++i)
        total += static_cast<long>(commands[i].size());
    return total;
}

// The clock's fields by number; the record is packed, so no pointer into it is formed.
int32_t ClockField(const PrinterClock& clock, size_t index) {
    const int32_t values[6] = {clock.year, clock.month,  clock.date,
                               clock.hour, clock.minute, clock.second};
    return values[index];
}

void SetClockFields(PrinterClock& clock, int32_t base) {
    clock = PrinterClock{base, base - 1, base - 2, base - 3, base - 4, base - 5};
}

TEST(FaultMatrix, ReadClockKeepsTheFieldsBeforeTheHangUp) {
    const std::vector<std::string> commands = {
        kAnnounce,
        "DIAGNOSTIC REPORT YEAR\r\n",
        "DIAGNOSTIC REPORT MONTH\r\n",
        "DIAGNOSTIC REPORT DATE\r\n",
        "DIAGNOSTIC REPORT HOUR\r\n",
        "DIAGNOSTIC REPORT MINUTE\r\n",
        "DIAGNOSTIC REPORT SECOND\r\n",
    };
    for (size_t hang = 0; hang < commands.size(); ++hang) {
        OperationPeer p;
        p.HangUpAfter(BytesThrough(commands, hang));
        GuardedRecord<PrinterClock> clock;
        SetClockFields(clock.record, -100);
        EXPECT_EQ(p.Run(OpReadClock, &clock.record), LinkReceivingError) << hang;
        // The printer's clock stands at 2026-01-01 00:00:00.
        const int32_t expected[6] = {2026, 1, 1, 0, 0, 0};
        for (size_t i = 0; i < 6; ++i) {
            const int32_t value = ClockField(clock.record, i);
            if (i + 1 < hang)
                EXPECT_EQ(value, expected[i]) << hang << " field " << i;
            else
                EXPECT_EQ(value, -100 - static_cast<int32_t>(i)) << hang << " field " << i;
        }
        EXPECT_TRUE(clock.Intact());
        EXPECT_EQ(p.Printer().Received(), [&] {
            std::string all;
            for (size_t i = 0; i <= hang; ++i)
                all += commands[i];
            return all;
        }());
    }
}

TEST(FaultMatrix, ReadPasswordStateIsEmptyAfterEveryHangUp) {
    const std::vector<std::string> commands = {kAnnounce, "DIAGNOSTIC REPORT EDITION\r\n",
                                               "DIAGNOSTIC REPORT PASSWORD\r\n"};
    for (size_t hang = 0; hang < commands.size(); ++hang) {
        OperationPeer p;
        {
            auto lock = p.Printer().Lock();
            p.Module<sim::PasswordModule>().password = "guarded";
        }
        p.HangUpAfter(BytesThrough(commands, hang));
        GuardedRecord<char[kPasswordTextCapacity]> password;
        std::strcpy(password.record, "stale");
        EXPECT_EQ(p.Run(OpReadPasswordState, password.record), LinkReceivingError) << hang;
        EXPECT_STREQ(password.record, "") << hang;
        EXPECT_TRUE(password.Intact());
    }
}

TEST(FaultMatrix, SetPasswordWithoutAcknowledgementIsAFailure) {
    OperationPeer p;
    const std::string command = "DIAGNOSTIC PASSWORD \"abc\"\r\n";
    p.HangUpAfter(static_cast<long>(command.size()));
    char password[kPasswordTextCapacity] = "abc";
    EXPECT_EQ(p.Run(OpSetPassword, password), LinkReceivingError);
}

TEST(FaultMatrix, ReadMemoryInfoKeepsTheAreasFilledBeforeTheHangUp) {
    const std::vector<std::string> commands = {
        kAnnounce,
        "DIAGNOSTIC REPORT DPHYSPACE\r\n",
        "DIAGNOSTIC REPORT DFREESPACE\r\n",
        "DIAGNOSTIC REPORT DFILELIST\r\n",
        "DIAGNOSTIC REPORT FPHYSPACE\r\n",
        "DIAGNOSTIC REPORT FFREESPACE\r\n",
        "DIAGNOSTIC REPORT FFILELIST\r\n",
        "DIAGNOSTIC REPORT CPHYSPACE\r\n",
        "DIAGNOSTIC REPORT CFILELIST\r\n",
    };
    for (size_t hang = 0; hang < commands.size(); ++hang) {
        OperationPeer p;
        {
            auto lock = p.Printer().Lock();
            auto& memory = p.Module<sim::MemoryModule>();
            memory.Store(sim::MemoryModule::Dram, "D.BAS", "1");
            memory.Store(sim::MemoryModule::Flash, "F.BAS", "2");
            memory.Store(sim::MemoryModule::Card, "C.BAS", "3");
        }
        p.HangUpAfter(BytesThrough(commands, hang));
        auto info = std::make_unique<GuardedRecord<MemoryInfo>>();
        std::memset(&info->record, 0x7F, sizeof info->record);
        EXPECT_EQ(p.Run(OpReadMemoryInfo, &info->record), LinkReceivingError) << hang;
        EXPECT_TRUE(info->Intact());
        const MemoryArea* areas = info->record.areas;
        // Exchange numbers of each field: physical space, free space, file list.
        const size_t physical[3] = {1, 4, 7};
        const size_t freeSpace[3] = {2, 5, 0};
        const size_t list[3] = {3, 6, 8};
        const char* names[3] = {"D.BAS\r\n", "F.BAS\r\n", "C.BAS\r\n"};
        for (int m = 0; m < 3; ++m) {
            const MemoryArea& area = areas[m];
            if (physical[m] < hang) {
                EXPECT_EQ(area.physicalKnown, 1) << hang << " memory " << m;
                EXPECT_GT(+area.physicalSpace, 0);
            } else {
                EXPECT_EQ(area.physicalKnown, 0x7F) << hang << " memory " << m;
                EXPECT_EQ(+area.physicalSpace, 0x7F7F7F7F);
            }
            if (m < 2) {
                EXPECT_EQ(area.freeKnown, freeSpace[m] < hang ? 1 : 0x7F) << hang << " " << m;
            } else {
                EXPECT_EQ(area.freeKnown, physical[m] < hang ? 0 : 0x7F) << hang;
                EXPECT_EQ(+area.freeSpace, 0x7F7F7F7F);
            }
            if (list[m] < hang) {
                EXPECT_STREQ(area.fileList, names[m]) << hang << " memory " << m;
            } else if (list[m] > hang) {
                EXPECT_EQ(area.fileList[0], 0x7F) << hang << " memory " << m;
            }
        }
    }
}

TEST(FaultMatrix, ReadSensorSetupNeedsOnlyModeAndIntensity) {
    const std::vector<std::string> commands = {
        kAnnounce,
        "DIAGNOSTIC REPORT SENSORMODE\r\n",
        "DIAGNOSTIC REPORT GAPINTEN\r\n",
        "DIAGNOSTIC REPORT EDITION\r\n",
        "DIAGNOSTIC REPORT THRESHOLD\r\n",
    };
    // The edition and threshold are optional: a hang-up at the edition is still a result.
    const LinkError expected[] = {LinkReceivingError, LinkReceivingError, LinkReceivingError,
                                  LinkOk, LinkReceivingError};
    for (size_t hang = 0; hang < commands.size(); ++hang) {
        OperationPeer p;
        p.SetEdition(105);
        int gapIntensity = 0;
        {
            auto lock = p.Printer().Lock();
            auto& sensor = p.Module<sim::SensorModule>();
            sensor.SensorMode() = sim::SensorModule::GapMode;
            gapIntensity = sensor.IntensityOf(sim::SensorModule::GapMode);
        }
        p.HangUpAfter(BytesThrough(commands, hang));
        GuardedRecord<SensorCalibration> setup;
        setup.record.mediaType = -9;
        setup.record.intensity = -9;
        setup.record.threshold = -9;
        setup.record.dotsPerUnit = 203;
        EXPECT_EQ(p.Run(OpReadSensorSetup, &setup.record), expected[hang]) << hang;
        EXPECT_EQ(+setup.record.mediaType, hang > 1 ? 0 : -9) << hang;
        EXPECT_EQ(+setup.record.intensity, hang > 2 ? gapIntensity : -9) << hang;
        EXPECT_EQ(+setup.record.threshold, -9) << hang;
        EXPECT_EQ(+setup.record.dotsPerUnit, 203);
        EXPECT_TRUE(setup.Intact());
    }
}

TEST(FaultMatrix, ReadSensorLevelsLeavesTheCountWhenTheListDoesNotCome) {
    OperationPeer p;
    p.HangUpAfter(static_cast<long>(std::string("DIAGNOSTIC REPORT GAPSENSOR\r\n").size()));
    GuardedRecord<SensorLevels> levels;
    levels.record.count = 5;
    EXPECT_EQ(p.Run(OpReadSensorLevels, &levels.record), LinkReceivingError);
    EXPECT_EQ(+levels.record.count, 5);
    EXPECT_TRUE(levels.Intact());
}

TEST(FaultMatrix, ReadPrinterFileFailsWhicheverExchangeTheHangUpHits) {
    const std::string request = "DIAGNOSTIC FILE \"Dump.txt\"\r\n\r\n";
    {
        OperationPeer p;
        // Gone after the line end: the request either cannot be sent or gets no answer.
        p.HangUpAfter(2);
        std::vector<char> buffer(256, 'x');
        PrinterFileRequest file{256, -1, "Dump.txt", buffer.data()};
        const LinkError code = p.Run(OpReadPrinterFile, &file);
        EXPECT_TRUE(code == LinkTransmissionError || code == LinkReceivingError) << code;
        EXPECT_EQ(+file.length, -1);
        EXPECT_EQ(buffer[0], 'x');
    }
    {
        OperationPeer p;
        {
            auto lock = p.Printer().Lock();
            p.Module<sim::MemoryModule>().Store(sim::MemoryModule::Dram, "Dump.txt", "abc");
        }
        p.HangUpAfter(static_cast<long>(2 + request.size()));
        std::vector<char> buffer(256, 'x');
        PrinterFileRequest file{256, -1, "Dump.txt", buffer.data()};
        EXPECT_EQ(p.Run(OpReadPrinterFile, &file), LinkReceivingError);
        EXPECT_EQ(+file.length, -1);
        EXPECT_EQ(buffer[0], 'x');
    }
}

} // namespace
