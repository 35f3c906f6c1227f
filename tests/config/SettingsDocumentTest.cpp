// Settings documents: reading and checking, writing, and what applying one sends.

#include "config/SettingsDocument.h"
#include "config/ConfigCommands.h"
#include "config/SettingsPlan.h"
#include "config/SettingsTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A record as a 203 dpi printer of the latest edition reports it, every setting held.
PrinterConfig ReadRecord() {
    PrinterConfig c = DefaultPrinterConfig();
    c.Edition = 105;
    c.ResolutionValid = 1;
    c.Dpi = 203.0f;
    c.DotsPerMm = 8.0f;
    SetItem(c.Speed, 4.0f);
    SetItem(c.Density, 8);
    SetItem(c.DensityBase, 8);
    SetItem(c.PaperWidth, 812.0f);
    SetItem(c.PaperHeight, 507.5f);
    SetItem(c.SensorMode, 0);
    SetItem(c.GapSize, 24.0f);
    SetItem(c.GapOffset, 0.0f);
    SetItem(c.PrintOut, 1);
    SetItem(c.CutterPiece, 1);
    SetItem(c.ReferenceX, 0);
    SetItem(c.ReferenceY, 0);
    SetItem(c.Direction, 0);
    SetItem(c.Mirror, 0);
    SetItem(c.Offset, 0);
    SetItem(c.Shift, 3);
    SetItem(c.ShiftX, -2);
    SetItem(c.Ribbon, 1);
    SetItem(c.RibbonSensor, 1);
    SetItem(c.RibbonEncoder, 0);
    SetItem(c.CodePage, 10);
    SetItem(c.Country, 0);
    SetItem(c.Head, 1);
    SetItem(c.Reprint, 1);
    SetItem(c.MaxLength, 2030.0f);
    SetItem(c.GapInten, 5);
    SetItem(c.BlineInten, 4);
    SetItem(c.ConInten, 3);
    SetItem(c.AutoThreshold, 1);
    SetItem(c.ZDarkness, 15);
    SetItem(c.ZSpeed, 4);
    SetItem(c.ZPosition, -5);
    SetItem(c.ZPrintMode, 1);
    SetItem(c.ZLabelWidth, 812);
    SetItem(c.ZControl, '~');
    SetItem(c.ZFormat, '^');
    SetItem(c.ZDelimiter, ',');
    SetItem(c.ZFeedPowerUp, 2);
    SetItem(c.ZFeedHeadClose, 4);
    SetItem(c.ZLabelTop, 0);
    SetItem(c.ZLabelShift, 0);
    SetItem(c.DHeat, 10);
    SetItem(c.DSpeed, 4.0f);
    SetItem(c.DLabelWidth, 603);
    SetItem(c.DPresentSensor, 1);
    SetItem(c.DCutterEquipped, 2);
    SetItem(c.DControlCodes, 3);
    SetItem(c.DColumnOffset, 0);
    SetItem(c.DRowOffset, 7);
    SetItem(c.BaudRate, 4);
    SetItem(c.DataBit, 1);
    SetItem(c.Parity, 0);
    SetItem(c.StopBit, 0);
    return c;
}

SettingsDocument Parse(const std::string& text) {
    std::vector<SettingsFault> faults;
    std::optional<SettingsDocument> document = ParseSettingsDocument(text, faults);
    EXPECT_TRUE(document.has_value()) << (faults.empty() ? "" : faults.front().Text());
    return document.value_or(SettingsDocument{});
}

std::vector<std::string> AllTexts(const PrinterConfig& config) {
    std::vector<std::string> texts;
    for (int32_t tab = ConfigTabCommon; tab <= ConfigTabInterface; ++tab) {
        for (std::string& text : ConfigCommandTexts(config, tab))
            texts.push_back(std::move(text));
    }
    return texts;
}

} // namespace

TEST(SettingsDocument, WrittenDocumentsReadBackAsNoChangeAndAsTheSameCommands) {
    PrinterConfig printer300 = ReadRecord();
    printer300.Dpi = 300.0f;
    printer300.DotsPerMm = 11.8f;
    for (const PrinterConfig& printer : {ReadRecord(), printer300}) {
        for (const bool inch : {true, false}) {
            for (const bool json : {false, true}) {
                SCOPED_TRACE(std::to_string(printer.Dpi) + (inch ? " inch " : " mm ") +
                             (json ? "json" : "yaml"));
                const std::string text = WriteSettingsDocument(printer, inch, json);
                const SettingsDocument document = Parse(text);
                // Every setting the page shows is in the document; the base values are facts.
                size_t settings = 0;
                for (const PageSetting& field : PageSettingTable())
                    settings += field.rule != FieldRule::Base;
                EXPECT_EQ(document.settings.size(), settings) << text;
                const SettingsPlan plan = PlanSettings(document, printer);
                EXPECT_TRUE(plan.changes.empty()) << plan.changes.front().field->name;
                EXPECT_TRUE(plan.refusals.empty());
                EXPECT_TRUE(plan.texts.empty());

                // Without a printer, from the facts alone: the same record as far as the
                // document, the edition, the resolution and the base values go.
                const PrinterConfig converted = SettingsDocumentRecord(document);
                EXPECT_EQ(WriteSettingsDocument(converted, inch, json), text);
                EXPECT_EQ(converted.Edition, 105);
                // Copies: the packed record's fields may be unaligned.
                EXPECT_EQ(float{converted.Dpi}, float{printer.Dpi});
                EXPECT_EQ(float{converted.DotsPerMm}, float{printer.DotsPerMm});
                EXPECT_EQ(int32_t{converted.DensityBase.value}, 8);
                if (printer.Dpi == 203.0f) {
                    PrinterConfig expected = printer;
                    expected.InchUnit = inch ? 1 : 0;
                    EXPECT_EQ(AllTexts(converted), AllTexts(expected));
                }
            }
        }
    }
    EXPECT_NE(WriteSettingsDocument(ReadRecord(), false, false).find("paper_width: 101.50 mm\n"),
              std::string::npos);
    EXPECT_NE(WriteSettingsDocument(ReadRecord(), false, true).find("\"sensor\": \"gap\""),
              std::string::npos);
}

TEST(SettingsDocument, FaultsNameTheSettingTheLineAndWhatIsWrong) {
    const std::string text = "densty: 3\n"
                             "density: 16\n"
                             "gap: 3\n"
                             "edition: 105\n"
                             "sensor: blackmark\n"
                             "z_control_prefix: ~\n"
                             "speed: fast\n"
                             "speed: 4\n"
                             "d_print_speed: 25\n"
                             "facts:\n"
                             "  dpi: 203\n"
                             "  colour: red\n";
    std::vector<SettingsFault> faults;
    EXPECT_FALSE(ParseSettingsDocument(text, faults));
    const std::vector<std::pair<std::string, int>> expected = {
        {"densty", 1},        {"density", 2},          {"gap", 3},   {"edition", 4},
        {"sensor", 5},        {"z_control_prefix", 6}, {"speed", 7}, {"speed", 8},
        {"d_print_speed", 9}, {"facts.colour", 12},
    };
    ASSERT_EQ(faults.size(), expected.size());
    for (size_t i = 0; i < faults.size(); ++i) {
        EXPECT_EQ(faults[i].setting, expected[i].first) << i;
        EXPECT_EQ(faults[i].line, expected[i].second) << i;
    }
    EXPECT_NE(faults[0].what.find("did you mean density?"), std::string::npos);
    EXPECT_NE(faults[1].what.find("0 to 15"), std::string::npos);
    EXPECT_NE(faults[2].what.find("without a unit"), std::string::npos);
    EXPECT_NE(faults[3].what.find("facts"), std::string::npos);
    EXPECT_NE(faults[4].what.find("gap, black_mark, continuous"), std::string::npos);
    EXPECT_NE(faults[7].what.find("twice"), std::string::npos);

    // With the document's unit a bare number is a length; broken YAML has its line.
    EXPECT_EQ(Parse("unit: mm\ngap: 3\n").settings.at(0).unit, LengthUnit::Mm);
    faults.clear();
    EXPECT_FALSE(ParseSettingsDocument("density: 3\nspeed: [4\n", faults));
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_GT(faults[0].line, 1);
}

TEST(SettingsPlan, SendsOnlyTheChangedSettingsWithTheirTabsOtherValuesAsRead) {
    const PrinterConfig printer = ReadRecord();
    SettingsPlan plan = PlanSettings(Parse("{density: 12}"), printer);
    ASSERT_EQ(plan.changes.size(), 1u);
    EXPECT_STREQ(plan.changes[0].field->name, "density");
    EXPECT_EQ(plan.changes[0].printer, "8");
    EXPECT_EQ(plan.changes[0].wanted, "12");
    EXPECT_EQ(plan.texts, std::vector<std::string>{"DENSITY 12\r\n"});

    // The paper height goes with the width as read; a length that rounds to the shown
    // text is no change.
    plan = PlanSettings(Parse("paper_width: 3 in\npaper_height: 2.4990 in\n"), printer);
    ASSERT_EQ(plan.changes.size(), 1u);
    EXPECT_EQ(plan.changes[0].printer, "4.00 in");
    EXPECT_EQ(plan.texts, std::vector<std::string>{"SIZE 3.00,2.50\r\n"});

    // The longest feed goes in dots with two decimals; the same millimetres are no change.
    PrinterConfig fine = printer;
    fine.Dpi = 300.0f;
    fine.DotsPerMm = 11.8f;
    SetItem(fine.MaxLength, 3000.0f);
    EXPECT_TRUE(PlanSettings(Parse("maximum_length: 254.24 mm"), fine).changes.empty());
    EXPECT_EQ(PlanSettings(Parse("maximum_length: 254.4 mm"), fine).texts,
              std::vector<std::string>{"LIMITFEED 3001.92 dot\r\n"});

    // The cut piece meets the post-print action already changed, whatever the order.
    plan = PlanSettings(Parse("cut_piece: 3\npost_print_action: cutter\n"), printer);
    EXPECT_EQ(plan.changes.size(), 2u);
    EXPECT_EQ(plan.texts,
              std::vector<std::string>{"SET TEAR OFF\r\nSET PEEL OFF\r\nSET CUTTER 3\r\n"});

    // Interface: the other three values as read.
    plan = PlanSettings(Parse("baud: 115200\nparity: None\n"), printer);
    EXPECT_EQ(plan.texts, std::vector<std::string>{"SET COM1 115,N,8,1\r\n"});

    // A setting this printer does not report refuses the whole document for it.
    PrinterConfig older = printer;
    older.Edition = 102;
    older.AutoThreshold.valid = 0;
    plan = PlanSettings(Parse("density: 12\nthreshold_detection: manual\n"), older);
    ASSERT_EQ(plan.refusals.size(), 1u);
    EXPECT_EQ(plan.refusals[0].setting, "threshold_detection");
    EXPECT_EQ(plan.refusals[0].line, 2);
    EXPECT_NE(plan.refusals[0].what.find("edition 102"), std::string::npos);
    EXPECT_TRUE(plan.texts.empty());
}
