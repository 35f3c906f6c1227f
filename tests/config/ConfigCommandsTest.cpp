#include "config/ConfigCommands.h"
#include "config/ConfigReplies.h"
#include "config/PrinterConfig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

// A record as a read at the resolution leaves it, every optional setting still absent.
PrinterConfig ReadAt(float dpi, float dotsPerMm, bool inch = true) {
    PrinterConfig c = DefaultPrinterConfig();
    c.Dpi = dpi;
    c.DotsPerMm = dotsPerMm;
    c.ResolutionValid = 1;
    c.InchUnit = inch ? 1 : 0;
    return c;
}

const std::string kControlEnd = "\x1e"
                                "XA"
                                "\x1e"
                                "JUS"
                                "\x1e"
                                "XZ"
                                "\r\n";
const std::string kFormatStart = "\x1e"
                                 "XA"
                                 "\x1e";
const std::string kFormatEnd = "\x1e"
                               "JUS"
                               "\x1e"
                               "XZ"
                               "\r\n";

std::string Control(const std::string& command) {
    return "\x10" + command + kControlEnd;
}
std::string Format(const std::string& command) {
    return kFormatStart + command + kFormatEnd;
}
std::string Triple(const std::string& command) {
    return "\x02" + command + "\r\r\n~" + command + "\r\r\n~" + command + "|\r\n";
}

TEST(ConfigCommands, DefaultRecordSendsOnlyTheGapIntensityOnTheCommonTab) {
    const PrinterConfig c = DefaultPrinterConfig();
    EXPECT_EQ(ConfigCommandTexts(c, ConfigTabCommon), Texts{"SET GAP 0\r\n"});
    EXPECT_TRUE(ConfigCommandTexts(c, ConfigTabZ).empty());
    EXPECT_TRUE(ConfigCommandTexts(c, ConfigTabD).empty());
    EXPECT_TRUE(ConfigCommandTexts(c, ConfigTabInterface).empty());
    // Only a speed given after a read that reported gap mode with intensity 5.
    PrinterConfig speedOnly = c;
    SetItem(speedOnly.SensorMode, 0);
    SetItem(speedOnly.GapInten, 5);
    SetItem(speedOnly.Speed, 4.0f);
    EXPECT_EQ(ConfigCommandTexts(speedOnly, ConfigTabCommon),
              (Texts{"SPEED 4.0\r\n", "SET GAP 5\r\n"}));
    // Tab indexes outside the four tabs send nothing, whatever the record holds.
    PrinterConfig full = c;
    SetItem(full.Speed, 5.0f);
    SetItem(full.BaudRate, 4);
    EXPECT_TRUE(ConfigCommandTexts(full, 4).empty());
    EXPECT_TRUE(ConfigCommandTexts(full, -1).empty());
}

TEST(ConfigCommands, CommonTabSendsItsRowsInOrderWithTheirFormats) {
    PrinterConfig c = ReadAt(203.0f, 8.0f);
    SetItem(c.Speed, 4.0f);
    SetItem(c.Density, 9);
    SetItem(c.PaperWidth, 812.0f);
    SetItem(c.PaperHeight, 507.5f);
    SetItem(c.SensorMode, 1);
    SetItem(c.GapSize, 40.6f);
    SetItem(c.GapOffset, 0.0f);
    SetItem(c.PrintOut, 2);
    SetItem(c.ReferenceX, 10);
    SetItem(c.ReferenceY, -20);
    SetItem(c.Direction, 1);
    SetItem(c.Mirror, 0);
    SetItem(c.Offset, -3);
    SetItem(c.Shift, 10);
    SetItem(c.ShiftX, 5);
    SetItem(c.Ribbon, 2);
    SetItem(c.RibbonSensor, 0);
    SetItem(c.RibbonEncoder, 1);
    SetItem(c.CodePage, 10);
    SetItem(c.Country, 21);
    SetItem(c.Head, 0);
    SetItem(c.Reprint, 1);
    SetItem(c.MaxLength, 1624.0f);
    SetItem(c.GapInten, 3);
    SetItem(c.BlineInten, 7);
    SetItem(c.ConInten, 2);
    SetItem(c.AutoThreshold, 1);
    const Texts expected = {
        "SPEED 4.0\r\n",
        "DENSITY 9\r\n",
        "SIZE 4.00,2.50\r\n",
        "BLINE 0.20,0.00\r\n",
        "SET TEAR OFF\r\nSET PEEL ON\r\nSET CUTTER OFF\r\n",
        "REFERENCE 10,-20\r\n",
        "DIRECTION 1,0\r\n",
        "OFFSET -3 dot\r\n",
        "SHIFT 5,10\r\n",
        "SET RIBBON ON\r\n",
        "SET RIBBONEND OFF\r\n",
        "SET ENCODER ON\r\n",
        "CODEPAGE 850\r\n",
        "COUNTRY 358\r\n",
        "SET HEAD OFF\r\n",
        "SET REPRINT ON\r\n",
        "LIMITFEED 1624.00 dot\r\n",
        "SET GAP 7\r\n",
        "SET SENSOR_REF AUTO\r\n",
    };
    EXPECT_EQ(ConfigCommandTexts(c, ConfigTabCommon), expected);
}

TEST(ConfigCommands, SizeIsSentInTheCollectedUnitAndOnlyWithBothLengths) {
    PrinterConfig c = ReadAt(203.0f, 8.0f, true);
    SetItem(c.PaperWidth, 812.0f);
    SetItem(c.PaperHeight, 507.5f);
    EXPECT_EQ(ConfigCommandTexts(c, ConfigTabCommon).front(), "SIZE 4.00,2.50\r\n");
    c.InchUnit = 0;
    EXPECT_EQ(ConfigCommandTexts(c, ConfigTabCommon).front(), "SIZE 101.50 mm,63.44 mm\r\n");

    PrinterConfig at300 = ReadAt(300.0f, 11.8f, false);
    SetItem(at300.PaperWidth, 590.0f);
    SetItem(at300.PaperHeight, 354.0f);
    EXPECT_EQ(ConfigCommandTexts(at300, ConfigTabCommon).front(), "SIZE 50.00 mm,30.00 mm\r\n");

    c.PaperHeight.valid = 0;
    EXPECT_EQ(ConfigCommandTexts(c, ConfigTabCommon), Texts{"SET GAP 0\r\n"});

    // Without a usable divisor no length can be expressed; nothing like "inf" goes out.
    PrinterConfig noResolution = ReadAt(0.0f, 0.0f, true);
    SetItem(noResolution.PaperWidth, 812.0f);
    SetItem(noResolution.PaperHeight, 507.5f);
    EXPECT_EQ(ConfigCommandTexts(noResolution, ConfigTabCommon), Texts{"SET GAP 0\r\n"});
}

TEST(ConfigCommands, SensorRuleAndIntensityFollowTheSensorMode) {
    struct Case {
        int mode;
        bool modeFlag;
        bool inch;
        bool bothGapFlags;
        Texts expected;
    };
    const Case cases[] = {
        {0, true, true, true, {"GAP 0.10,0.05\r\n", "SET GAP 11\r\n"}},
        {0, true, false, true, {"GAP 2.50 mm,1.25 mm\r\n", "SET GAP 11\r\n"}},
        {1, true, true, true, {"BLINE 0.10,0.05\r\n", "SET GAP 22\r\n"}},
        {1, true, false, true, {"BLINE 2.50 mm,1.25 mm\r\n", "SET GAP 22\r\n"}},
        {2, true, true, false, {"GAP 0,0\r\n", "SET GAP 33\r\n"}},
        {2, true, false, true, {"GAP 0,0\r\n", "SET GAP 33\r\n"}},
        // A gap without both lengths sends no GAP, but the intensity still goes out.
        {0, true, true, false, {"SET GAP 11\r\n"}},
        // The intensity row does not look at the sensor-mode flag.
        {1, false, true, true, {"SET GAP 22\r\n"}},
        // A mode below 0 (a printer reply of "-1") sends no sensor command at all.
        {-1, true, true, true, {}},
        {3, true, true, true, {}},
    };
    for (const Case& k : cases) {
        PrinterConfig c = ReadAt(200.0f, 8.0f, k.inch);
        c.SensorMode = {static_cast<uint8_t>(k.modeFlag ? 1 : 0), k.mode};
        SetItem(c.GapSize, 20.0f);
        if (k.bothGapFlags)
            SetItem(c.GapOffset, 10.0f);
        c.GapInten.value = 11;
        c.BlineInten.value = 22;
        c.ConInten.value = 33;
        EXPECT_EQ(ConfigCommandTexts(c, ConfigTabCommon), k.expected)
            << "mode " << k.mode << (k.inch ? " inch" : " mm");
    }
}

TEST(ConfigCommands, PostPrintActionIsOneThreeLineText) {
    const struct {
        int printOut;
        ConfigInt cutterPiece;
        std::string expected;
    } cases[] = {
        {0, {0, 0}, "SET TEAR OFF\r\nSET PEEL OFF\r\nSET CUTTER OFF\r\n"},
        {1, {1, 9}, "SET TEAR ON\r\nSET PEEL OFF\r\nSET CUTTER OFF\r\n"},
        {2, {0, 0}, "SET TEAR OFF\r\nSET PEEL ON\r\nSET CUTTER OFF\r\n"},
        {3, {1, 5}, "SET TEAR OFF\r\nSET PEEL OFF\r\nSET CUTTER 5\r\n"},
        {3, {1, 0}, "SET TEAR OFF\r\nSET PEEL OFF\r\nSET CUTTER 1\r\n"},
        {3, {0, 5}, "SET TEAR OFF\r\nSET PEEL OFF\r\nSET CUTTER 1\r\n"},
        {7, {1, 5}, ""},
    };
    for (const auto& k : cases) {
        PrinterConfig c = ReadAt(203.0f, 8.0f);
        SetItem(c.PrintOut, k.printOut);
        c.CutterPiece = k.cutterPiece;
        const Texts texts = ConfigCommandTexts(c, ConfigTabCommon);
        const Texts expected =
            k.expected.empty() ? Texts{"SET GAP 0\r\n"} : Texts{k.expected, "SET GAP 0\r\n"};
        EXPECT_EQ(texts, expected) << "print out " << k.printOut;
    }
}

TEST(ConfigCommands, ShiftDirectionAndReferenceNeedTheirFlags) {
    auto commonWith = [](auto change) {
        PrinterConfig c = ReadAt(203.0f, 8.0f);
        change(c);
        Texts texts = ConfigCommandTexts(c, ConfigTabCommon);
        texts.pop_back(); // the gap intensity
        return texts;
    };
    EXPECT_EQ(commonWith([](PrinterConfig& c) { SetItem(c.Shift, 10); }), Texts{"SHIFT 10\r\n"});
    EXPECT_EQ(commonWith([](PrinterConfig& c) { SetItem(c.ShiftX, 5); }), Texts{"SHIFT 5,0\r\n"});
    EXPECT_EQ(commonWith([](PrinterConfig& c) {
                  SetItem(c.ShiftX, -5);
                  SetItem(c.Shift, 7);
              }),
              Texts{"SHIFT -5,7\r\n"});
    EXPECT_EQ(commonWith([](PrinterConfig& c) { SetItem(c.Direction, 1); }),
              Texts{"DIRECTION 1\r\n"});
    EXPECT_EQ(commonWith([](PrinterConfig& c) { SetItem(c.Mirror, 1); }), Texts{});
    EXPECT_EQ(commonWith([](PrinterConfig& c) { SetItem(c.ReferenceX, 3); }), Texts{});
}

TEST(ConfigCommands, TableIndexesOutsideTheirTablesAreNotSent) {
    PrinterConfig c = ReadAt(203.0f, 8.0f);
    SetItem(c.CodePage, 36);
    SetItem(c.Country, 22);
    EXPECT_EQ(ConfigCommandTexts(c, ConfigTabCommon), Texts{"SET GAP 0\r\n"});
    SetItem(c.CodePage, 35);
    SetItem(c.Country, 0);
    EXPECT_EQ(ConfigCommandTexts(c, ConfigTabCommon),
              (Texts{"CODEPAGE 8859-15\r\n", "COUNTRY 001\r\n", "SET GAP 0\r\n"}));
}

TEST(ConfigCommands, RealsThatAreNotFiniteAreNotSent) {
    PrinterConfig c = ReadAt(203.0f, 8.0f);
    SetItem(c.Speed, std::numeric_limits<float>::quiet_NaN());
    SetItem(c.MaxLength, std::numeric_limits<float>::infinity());
    EXPECT_EQ(ConfigCommandTexts(c, ConfigTabCommon), Texts{"SET GAP 0\r\n"});
    EXPECT_FALSE(RealsSendable(c));

    // Finite lengths over a tiny resolution would go out as "inf mm": checked as sent.
    for (const bool inch : {true, false}) {
        PrinterConfig tiny = ReadAt(1e-38f, 1e-38f, inch);
        SetItem(tiny.PaperWidth, 400.0f);
        SetItem(tiny.PaperHeight, 240.0f);
        SetItem(tiny.SensorMode, 0);
        SetItem(tiny.GapSize, 24.0f);
        SetItem(tiny.GapOffset, 0.0f);
        EXPECT_EQ(ConfigCommandTexts(tiny, ConfigTabCommon), Texts{"SET GAP 0\r\n"});
        EXPECT_FALSE(RealsSendable(tiny));
        tiny.Dpi = 203.0f;
        tiny.DotsPerMm = 8.0f;
        EXPECT_TRUE(RealsSendable(tiny));
    }
}

TEST(ConfigCommands, ZCommandsAreWrappedInTheirFixedEnvelopes) {
    PrinterConfig c = ReadAt(203.0f, 8.0f);
    SetItem(c.ZDarkness, 20);
    const Texts darkness = ConfigCommandTexts(c, ConfigTabZ);
    ASSERT_EQ(darkness.size(), 1u);
    const char kDarkness[] = {0x10, 'S', 'D', '2',  '0', 0x1E, 'X',  'A', 0x1E,
                              'J',  'U', 'S', 0x1E, 'X', 'Z',  '\r', '\n'};
    EXPECT_EQ(darkness[0], std::string(kDarkness, sizeof kDarkness));

    PrinterConfig speed = ReadAt(203.0f, 8.0f);
    SetItem(speed.ZSpeed, 4);
    const char kSpeed[] = {0x1E, 'X', 'A', 0x1E, 'P', 'R', '4',  0x1E,
                           'J',  'U', 'S', 0x1E, 'X', 'Z', '\r', '\n'};
    EXPECT_EQ(ConfigCommandTexts(speed, ConfigTabZ), Texts{std::string(kSpeed, sizeof kSpeed)});
}

TEST(ConfigCommands, ZTabSendsEveryRowInOrder) {
    PrinterConfig c = ReadAt(203.0f, 8.0f);
    SetItem(c.ZDarkness, 20);
    SetItem(c.ZSpeed, 6);
    SetItem(c.ZPosition, -5);
    SetItem(c.ZPrintMode, 2);
    SetItem(c.ZLabelWidth, 812);
    SetItem(c.ZControl, '#');
    SetItem(c.ZFormat, '$');
    SetItem(c.ZDelimiter, ';');
    SetItem(c.ZFeedPowerUp, 3);
    SetItem(c.ZFeedHeadClose, 4);
    SetItem(c.ZLabelTop, -12);
    SetItem(c.ZLabelShift, 300);
    const Texts expected = {
        Control("SD20"), Format("PR6"),  Control("TA-05"), Format("MMP"),
        Format("PW812"), Control("CT#"), Control("CC$"),   Control("CD;"),
        Format("MFL"),   Format("MF;N"), Format("LT-12"),  Format("LS300"),
    };
    EXPECT_EQ(ConfigCommandTexts(c, ConfigTabZ), expected);
}

TEST(ConfigCommands, ZCodesOutsideTheirLettersAndPaddedPositions) {
    PrinterConfig c = ReadAt(203.0f, 8.0f);
    SetItem(c.ZPosition, 7);
    SetItem(c.ZPrintMode, 4);
    SetItem(c.ZFeedPowerUp, 0);
    SetItem(c.ZFeedHeadClose, 2);
    // The head-close command takes the delimiter character whatever its flag.
    c.ZDelimiter = {0, '|'};
    EXPECT_EQ(ConfigCommandTexts(c, ConfigTabZ), (Texts{Control("TA007"), Format("MF|C")}));

    PrinterConfig defaults = ReadAt(203.0f, 8.0f);
    SetItem(defaults.ZFeedHeadClose, 2);
    EXPECT_EQ(ConfigCommandTexts(defaults, ConfigTabZ), Texts{Format("MF,C")});

    // A NUL character would cut the text short on the link; such a command is left out.
    PrinterConfig nul = ReadAt(203.0f, 8.0f);
    SetItem(nul.ZControl, '\0');
    SetItem(nul.ZDelimiter, '\0');
    SetItem(nul.ZFeedHeadClose, 1);
    EXPECT_TRUE(ConfigCommandTexts(nul, ConfigTabZ).empty());
}

TEST(ConfigCommands, DCommandsRepeatForTheThreeControlCodeSets) {
    PrinterConfig c = ReadAt(203.0f, 8.0f);
    SetItem(c.DHeat, 5);
    const char kHeat[] = "\x02"
                         "KZH05\r\r\n~KZH05\r\r\n~KZH05|\r\n";
    EXPECT_EQ(ConfigCommandTexts(c, ConfigTabD), Texts{std::string(kHeat)});

    PrinterConfig label = ReadAt(203.0f, 8.0f);
    SetItem(label.DLabelWidth, 812);
    SetItem(label.DPresentSensor, 2);
    SetItem(label.DCutterEquipped, 1);
    SetItem(label.DControlCodes, 3);
    SetItem(label.DColumnOffset, 203);
    SetItem(label.DRowOffset, 101);
    EXPECT_EQ(ConfigCommandTexts(label, ConfigTabD),
              Texts{Triple("KcLW0400;PSY;CEN;CC2;CO0100;RO0050;")});

    PrinterConfig present = ReadAt(203.0f, 8.0f);
    SetItem(present.DPresentSensor, 2);
    SetItem(present.DCutterEquipped, 3);
    SetItem(present.DControlCodes, 0);
    EXPECT_EQ(ConfigCommandTexts(present, ConfigTabD), Texts{Triple("KcPSY;")});

    PrinterConfig all = label;
    SetItem(all.DHeat, 12);
    SetItem(all.DSpeed, 4.3f);
    const Texts texts = ConfigCommandTexts(all, ConfigTabD);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], Triple("KZH12"));
    EXPECT_EQ(texts[1], Triple("KZPH"));
}

TEST(ConfigCommands, DLengthsAreHundredthsOfAnInchWhateverTheUnit) {
    PrinterConfig c = ReadAt(300.0f, 11.8f, false);
    SetItem(c.DLabelWidth, 1200);
    // -15 dots are exactly -0.05 inch; negative lengths round like positive ones.
    SetItem(c.DColumnOffset, -15);
    SetItem(c.DRowOffset, -16);
    EXPECT_EQ(ConfigCommandTexts(c, ConfigTabD), Texts{Triple("KcLW0400;CO-005;RO-005;")});

    // Products past the range of a 32-bit integer are computed wide, not wrapped.
    PrinterConfig wide = ReadAt(203.0f, 8.0f);
    SetItem(wide.DLabelWidth, 40600000);
    EXPECT_EQ(ConfigCommandTexts(wide, ConfigTabD), Texts{Triple("KcLW20000000;")});

    PrinterConfig noResolution = ReadAt(0.0f, 0.0f);
    SetItem(noResolution.DLabelWidth, 812);
    SetItem(noResolution.DPresentSensor, 1);
    EXPECT_EQ(ConfigCommandTexts(noResolution, ConfigTabD), Texts{Triple("KcPSN;")});
}

TEST(ConfigCommands, DSpeedLettersBothWays) {
    const struct {
        float speed;
        char letter;
    } toLetter[] = {
        {4.0f, 'G'},  {4.2f, 'G'},  {4.3f, 'H'},
        {25.0f, 'G'}, {1.0f, 'A'},  {0.75f, 'A'},
        {0.7f, 'G'},  {1.5f, 'B'},  {11.5f, 'V'},
        {12.0f, 'W'}, {12.3f, 'W'}, {12.5f, 'X'},
        {13.0f, 'X'}, {14.0f, 'Y'}, {15.0f, 'Z'},
        {15.5f, 'a'}, {16.0f, 'a'}, {20.0f, 'e'},
        {20.5f, 'G'}, {-3.0f, 'G'}, {std::numeric_limits<float>::quiet_NaN(), 'G'},
    };
    for (const auto& k : toLetter)
        EXPECT_EQ(DSpeedLetter(k.speed), k.letter) << k.speed;

    const struct {
        const char* reply;
        float speed;
    } fromLetter[] = {{"G", 4.0f},  {"W", 12.0f}, {"e", 20.0f}, {"A", 1.0f},
                      {"V", 11.5f}, {"Z", 15.0f}, {"a", 16.0f}};
    for (const auto& k : fromLetter) {
        float speed = -1.0f;
        ASSERT_TRUE(DSpeedFromReply(k.reply, speed)) << k.reply;
        EXPECT_EQ(speed, k.speed) << k.reply;
    }
    for (const char* bad : {"f", "", "GG", "[", "0", "z"}) {
        float speed = -1.0f;
        EXPECT_FALSE(DSpeedFromReply(bad, speed)) << bad;
    }

    // Every letter the printer reports is sent back as the same letter.
    for (char letter : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZabcde")) {
        float speed = 0.0f;
        ASSERT_TRUE(DSpeedFromReply(std::string(1, letter), speed));
        EXPECT_EQ(DSpeedLetter(speed), letter) << speed;
    }
}

TEST(ConfigCommands, InterfaceTabNeedsAllFourSettings) {
    PrinterConfig c = ReadAt(203.0f, 8.0f);
    SetItem(c.BaudRate, 8);
    SetItem(c.DataBit, 0);
    SetItem(c.Parity, 2);
    SetItem(c.StopBit, 1);
    EXPECT_EQ(ConfigCommandTexts(c, ConfigTabInterface), Texts{"SET COM1 115,E,7,2\r\n"});

    SetItem(c.BaudRate, 4);
    SetItem(c.DataBit, 1);
    SetItem(c.Parity, 0);
    SetItem(c.StopBit, 0);
    EXPECT_EQ(ConfigCommandTexts(c, ConfigTabInterface), Texts{"SET COM1 96,N,8,1\r\n"});

    PrinterConfig three = c;
    three.Parity.valid = 0;
    EXPECT_TRUE(ConfigCommandTexts(three, ConfigTabInterface).empty());

    // "Not in the table" indexes from a read cannot be sent.
    PrinterConfig unknown = c;
    SetItem(unknown.BaudRate, 9);
    EXPECT_TRUE(ConfigCommandTexts(unknown, ConfigTabInterface).empty());
    SetItem(unknown.BaudRate, 4);
    SetItem(unknown.Parity, 3);
    EXPECT_TRUE(ConfigCommandTexts(unknown, ConfigTabInterface).empty());
}

TEST(ConfigCommands, FixedDecimalsRoundAsPrintfDoes) {
    EXPECT_EQ(FormatFixed(63.4375, 2), "63.44");
    EXPECT_EQ(FormatFixed(4.0, 1), "4.0");
    EXPECT_EQ(FormatFixed(-0.004, 2), "-0.00");
    EXPECT_EQ(FormatFixed(1e12, 2), "1000000000000.00");
}

} // namespace
