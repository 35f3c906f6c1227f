#include "operations/CommandText.h"
#include "operations/ClockOperations.h"
#include "operations/MaintenanceOperations.h"
#include "operations/MemoryOperations.h"
#include "operations/SensorOperations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

TestPatternRequest Pattern(float k, float widthMm, float heightMm) {
    return TestPatternRequest{203.0f, k, widthMm, heightMm, 0};
}

TEST(TestPatternProgram, ALabelOf100By50MillimetresAt8DotsGivesTheFullProgram) {
    EXPECT_EQ(TestPatternProgram(Pattern(8.0f, 100.0f, 50.0f)),
              "CLS\r\n"
              "DIRECTION 0,0\r\n"
              "BOX 16,16,784,384,4\r\n"
              "BARCODE  98,32,\"39\",50,1,90,2,4,\"1234567890\"\r\n"
              "TEXT  114,32,\"0\",0,25,25,\"TEST\"\r\n"
              "PRINT 1\r\n");
}

TEST(TestPatternProgram, ALabelNoWiderThanTheMarginsGetsOnlyTheFrameCommands) {
    EXPECT_EQ(TestPatternProgram(Pattern(8.0f, 3.0f, 3.0f)), "CLS\r\nDIRECTION 0,0\r\nPRINT 1\r\n");
    // 2m = 32 equals W = 32: still not below it.
    EXPECT_EQ(TestPatternProgram(Pattern(8.0f, 4.0f, 50.0f)),
              "CLS\r\nDIRECTION 0,0\r\nPRINT 1\r\n");
}

TEST(TestPatternProgram, ResolutionsAbove8DotsUseWiderBars) {
    // k = 8 exactly keeps 2 and 4; anything above gives 3 and 6.
    EXPECT_NE(TestPatternProgram(Pattern(8.0f, 100.0f, 50.0f)).find(",90,2,4,"), std::string::npos);
    const std::string above = TestPatternProgram(Pattern(8.01f, 100.0f, 50.0f));
    EXPECT_NE(above.find(",90,3,6,"), std::string::npos) << above;
    // 12 dots per millimetre, 100 x 60 mm: W 1200, H 720, m 24 (24.5 truncated).
    const std::string twelve = TestPatternProgram(Pattern(12.0f, 100.0f, 60.0f));
    // S 720, q 90, bx = 114 + 48, by = 24 + 24, tx = 114 + 72, mul = 72 * 534 / 3 / 100 / 4.
    EXPECT_NE(twelve.find("BOX 24,24,1176,696,4\r\n"), std::string::npos) << twelve;
    EXPECT_NE(twelve.find("BARCODE  162,48,\"39\",90,1,90,3,6,"), std::string::npos) << twelve;
    EXPECT_NE(twelve.find("TEXT  186,48,\"0\",0,32,32,\"TEST\"\r\n"), std::string::npos) << twelve;
    // n = ((720 - 48) - 48) / 39 - 2 = 14: all ten digits.
    EXPECT_NE(twelve.find("\"1234567890\""), std::string::npos);
}

TEST(TestPatternProgram, NarrowLabelsCutTheBarcodeDataAndDropTheText) {
    // k 8, 12 x 12 mm: W = H = S = 96, m 16, n = ((96 - 32) - 32) / 26 - 2 = -0.77 -> 0.
    const std::string tiny = TestPatternProgram(Pattern(8.0f, 12.0f, 12.0f));
    EXPECT_NE(tiny.find("BARCODE  60,32,\"39\",12,1,90,2,4,\"\"\r\n"), std::string::npos) << tiny;
    // S = 96 is not above 32 + 160.
    EXPECT_EQ(tiny.find("TEXT"), std::string::npos);
    // k 8, 30 x 30 mm: S 240, n = (208 - 32) / 26 - 2 = 4.77 -> "1234"; TEXT since 240 > 192.
    const std::string small = TestPatternProgram(Pattern(8.0f, 30.0f, 30.0f));
    EXPECT_NE(small.find(",\"1234\"\r\n"), std::string::npos) << small;
    EXPECT_NE(small.find("TEXT  "), std::string::npos);
    // The smaller side decides: a tall label measures from its width.
    const std::string tall = TestPatternProgram(Pattern(8.0f, 30.0f, 200.0f));
    EXPECT_NE(tall.find(",\"1234\"\r\n"), std::string::npos) << tall;
}

TEST(TestPatternProgram, ValuesBeyondTheIntegerRangeStayDefined) {
    const std::string huge = TestPatternProgram(Pattern(1e30f, 1e30f, 1e30f));
    EXPECT_EQ(huge.substr(0, 5), "CLS\r\n");
    EXPECT_EQ(huge.substr(huge.size() - 9), "PRINT 1\r\n");
    const std::string nan = TestPatternProgram(Pattern(std::nanf(""), 100.0f, 50.0f));
    EXPECT_EQ(nan, "CLS\r\nDIRECTION 0,0\r\nPRINT 1\r\n");
}

TEST(DumpTextCommand, EachModeGivesItsCommandEndingInAComma) {
    DumpTextRequest request{};
    std::strcpy(request.fileName, "DUMP1.TXT");
    request.mode = 0;
    EXPECT_EQ(DumpTextCommand(request), "DUMP_TEXT PRINT,");
    request.mode = 1;
    EXPECT_EQ(DumpTextCommand(request), "DUMP_TEXT SAVE 1000,E,\"DUMP1.TXT\",");
    for (int32_t mode : {2, 5, -1}) {
        request.mode = mode;
        EXPECT_EQ(DumpTextCommand(request), "DUMP_TEXT SAVE 1000,\"Dump.txt\",") << mode;
    }
}

TEST(DumpTextCommand, AnUnterminatedNameIsCutAtTheFieldsEnd) {
    DumpTextRequest request{};
    request.mode = 1;
    std::memset(request.fileName, 'A', sizeof request.fileName);
    EXPECT_EQ(DumpTextCommand(request), "DUMP_TEXT SAVE 1000,E,\"" + std::string(15, 'A') + "\",");
}

TEST(ClockCommands, TheYearGoesModulo100AndTheRestAsGiven) {
    EXPECT_EQ(ClockCommands(PrinterClock{2026, 3, 9, 14, 5, 0}),
              "@YEAR = \"26\"\r\n@MONTH = \"3\"\r\n@DATE = \"9\"\r\n@HOUR = \"14\"\r\n"
              "@MINUTE = \"5\"\r\n@SECOND = \"0\"\r\n");
    EXPECT_EQ(ClockCommands(PrinterClock{2000, 13, 0, -1, 0, 0}).substr(0, 28),
              "@YEAR = \"0\"\r\n@MONTH = \"13\"\r\n");
    EXPECT_NE(ClockCommands(PrinterClock{2000, 13, 0, -1, 0, 0}).find("@HOUR = \"-1\"\r\n"),
              std::string::npos);
    // The remainder of a signed division keeps the sign.
    EXPECT_EQ(ClockCommands(PrinterClock{-2026, 1, 1, 0, 0, 0}).substr(0, 15),
              "@YEAR = \"-26\"\r\n");
}

SensorCalibration Calibration(int32_t kind, int32_t media, int32_t height, int32_t gap,
                              int32_t intensity = 0, int32_t threshold = 0) {
    SensorCalibration c{};
    c.confirmed = 1;
    c.kind = kind;
    c.mediaType = media;
    c.paperHeight = height;
    c.gapLength = gap;
    c.intensity = intensity;
    c.threshold = threshold;
    c.dotsPerUnit = 203;
    return c;
}

TEST(CalibrationCommands, AutomaticWithBothSizesDetectsWithThem) {
    EXPECT_EQ(CalibrationCommands(Calibration(0, MediaGap, 400, 24)),
              "SET SENSOR_REF MANUAL\r\nGAPDETECT 400,24\r\n");
    EXPECT_EQ(CalibrationCommands(Calibration(0, MediaBlackMark, 400, 24)),
              "SET SENSOR_REF MANUAL\r\nBLINEDETECT 400,24\r\n");
    EXPECT_EQ(CalibrationCommands(Calibration(0, MediaAutoSelection, 400, 24)),
              "SET SENSOR_REF MANUAL\r\nAUTODETECT 400,24\r\n");
}

TEST(CalibrationCommands, AutomaticWithoutBothSizesOrOnContinuousDetectsPlainly) {
    EXPECT_EQ(CalibrationCommands(Calibration(0, MediaGap, 304, 0)),
              "SET SENSOR_REF AUTO\r\nGAPDETECT\r\n");
    EXPECT_EQ(CalibrationCommands(Calibration(0, MediaBlackMark, 0, 24)),
              "SET SENSOR_REF AUTO\r\nBLINEDETECT\r\n");
    EXPECT_EQ(CalibrationCommands(Calibration(0, MediaContinuous, 400, 24)),
              "SET SENSOR_REF AUTO\r\nGAP 0.12,0\r\nGAP 0,0\r\n");
    EXPECT_EQ(CalibrationCommands(Calibration(0, MediaAutoSelection, 0, 0)),
              "SET SENSOR_REF AUTO\r\nAUTODETECT\r\n");
}

TEST(CalibrationCommands, ManualSetsTheSensorAndWhatWasGiven) {
    EXPECT_EQ(CalibrationCommands(Calibration(1, MediaBlackMark, 0, 0, 5, 0)),
              "SET SENSOR_REF MANUAL\r\nBLINE 0.08,0\r\nSET GAP 5\r\n");
    EXPECT_EQ(CalibrationCommands(Calibration(1, MediaGap, 0, 0, 2, 200)),
              "SET SENSOR_REF MANUAL\r\nGAP 0.08,0\r\nSET GAP 2,200\r\n");
    EXPECT_EQ(CalibrationCommands(Calibration(1, MediaContinuous, 0, 0, 0, 200)),
              "SET SENSOR_REF MANUAL\r\nGAP 0,0\r\n");
    EXPECT_EQ(CalibrationCommands(Calibration(1, MediaAutoSelection, 0, 0, 7, 0)),
              "SET SENSOR_REF MANUAL\r\nSET GAP 7\r\n");
}

TEST(CalibrationCommands, OtherKindsSendNothing) {
    EXPECT_EQ(CalibrationCommands(Calibration(2, MediaGap, 400, 24, 5, 5)), "");
    EXPECT_EQ(CalibrationCommands(Calibration(-1, MediaGap, 400, 24, 5, 5)), "");
}

TEST(MemoryCommands, PrefixesHeadersAndKillsFollowTheMemory) {
    EXPECT_EQ(DownloadHeader(MemoryFlash, "LOGO.BMP", 10), "DOWNLOAD F,\"LOGO.BMP\",10,");
    EXPECT_EQ(DownloadHeader(MemoryDram, "LOGO.BMP", 10), "DOWNLOAD \"LOGO.BMP\",10,");
    EXPECT_EQ(DownloadHeader(MemoryCard, "A", 0), "DOWNLOAD E,\"A\",0,");
    EXPECT_EQ(DownloadHeader(MemoryDram, "BIG", 3000000000u), "DOWNLOAD \"BIG\",3000000000,");
    EXPECT_STREQ(StoredCommand(0), "KILL \"*.*\"\r\n");
    EXPECT_STREQ(StoredCommand(1), "KILL F,\"*.*\"\r\n");
    EXPECT_STREQ(StoredCommand(2), "KILL E,\"*.*\"\r\n");
    for (int32_t outside : {-1, 3, 1000}) {
        EXPECT_FALSE(ValidMemoryIndex(outside));
        EXPECT_STREQ(StoredCommand(outside), "");
    }
}

TEST(CommandText, QuotableTexts) {
    EXPECT_TRUE(QuotableText("Dump.txt"));
    EXPECT_TRUE(QuotableText(""));
    EXPECT_FALSE(QuotableText("a\"b"));
    EXPECT_FALSE(QuotableText("a\r\nKILL F,\"*.*\""));
}

} // namespace
