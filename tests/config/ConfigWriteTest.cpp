#include "config/ConfigCommands.h"
#include "config/ConfigOperations.h"
#include "config/PrinterConfig.h"
#include "ConfigModule.h"
#include "DirectBackend.h"
#include "dispatch/Dispatch.h"
#include "link/PrinterLink.h"
#include "StandardPrinter.h"
#include "VirtualPrinter.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace {

struct DirectPrinter {
    DirectPrinter() {
        sim::InstallStandardModules(printer);
        line = ConnectDirect(link, printer);
    }
    sim::VirtualPrinter printer;
    PrinterLink link;
    std::shared_ptr<DirectLine> line;
};

PrinterConfig CommonRecord() {
    PrinterConfig c = DefaultPrinterConfig();
    c.Dpi = 203.0f;
    c.DotsPerMm = 8.0f;
    c.InchUnit = 1;
    c.Speed = {1, 5.0f};
    c.Density = {1, 11};
    c.PaperWidth = {1, 609.0f};
    c.PaperHeight = {1, 406.0f};
    c.PrintOut = {1, 1};
    c.Ribbon = {1, 0};
    c.AutoThreshold = {1, 0};
    return c;
}

TEST(WriteConfiguration, SendsEachTextOfTheTabInOneWrite) {
    DirectPrinter p;
    PrinterConfig c = CommonRecord();
    const std::vector<std::string> texts = ConfigCommandTexts(c, ConfigTabCommon);
    ASSERT_EQ(texts.size(), 7u);
    // The parallel port writes every block whole, so its pieces are the texts themselves.
    ASSERT_EQ(Dispatch(p.link, OpWriteConfiguration, InterfaceLpt, &c, ConfigTabCommon), LinkOk);
    EXPECT_EQ(p.line->pieces, texts);
    EXPECT_EQ(p.line->opens, 1);
    EXPECT_EQ(p.line->closes, 1);
    EXPECT_TRUE(p.line->unread.empty());
}

TEST(WriteConfiguration, EmptyGroupsAndOtherTabsStillOpenAndCloseTheLink) {
    DirectPrinter p;
    PrinterConfig c = DefaultPrinterConfig();
    for (int32_t tab : {1, 2, 3, 4, -2}) {
        EXPECT_EQ(Dispatch(p.link, OpWriteConfiguration, InterfaceEthernet, &c, tab), LinkOk);
    }
    EXPECT_TRUE(p.line->pieces.empty());
    EXPECT_EQ(p.line->opens, 5);
    EXPECT_EQ(p.line->closes, 5);

    p.line->openFails = true;
    EXPECT_EQ(Dispatch(p.link, OpWriteConfiguration, InterfaceEthernet, &c, ConfigTabZ),
              LinkPortOpenError);
    EXPECT_TRUE(p.line->pieces.empty());
}

TEST(WriteConfiguration, AFailedSendStopsTheGroupWith2) {
    const PrinterConfig c = CommonRecord();
    const std::vector<std::string> texts = ConfigCommandTexts(c, ConfigTabCommon);
    for (size_t failing = 0; failing < texts.size(); ++failing) {
        SCOPED_TRACE(texts[failing]);
        DirectPrinter p;
        const size_t before =
            std::accumulate(texts.begin(), texts.begin() + failing, size_t{0},
                            [](size_t n, const std::string& t) { return n + t.size(); });
        // The printer hangs up in the middle of the failing text.
        p.line->hangUpAfterBytes = static_cast<long>(before + 2);
        PrinterConfig copy = c;
        EXPECT_EQ(Dispatch(p.link, OpWriteConfiguration, InterfaceLpt, &copy, ConfigTabCommon),
                  LinkTransmissionError);
        EXPECT_EQ(p.printer.Received(), [&] {
            std::string sent;
            for (size_t i = 0; i < failing; ++i)
                sent += texts[i];
            return sent + texts[failing].substr(0, 2);
        }());
        EXPECT_EQ(p.line->closes, 1);
    }
}

TEST(WriteConfiguration, ThePrinterAppliesWhatItReceives) {
    DirectPrinter p;
    PrinterConfig c = CommonRecord();
    ASSERT_EQ(Dispatch(p.link, OpWriteConfiguration, InterfaceUsb, &c, ConfigTabCommon), LinkOk);
    auto lock = p.printer.Lock();
    const auto* module = p.printer.Module<sim::ConfigModule>();
    ASSERT_NE(module, nullptr);
    const sim::ConfigSettings& s = module->Settings();
    EXPECT_EQ(s.speed, 5.0);
    EXPECT_EQ(s.density, 11);
    EXPECT_EQ(s.paperWidthDots, 609.0);
    EXPECT_EQ(s.paperHeightDots, 406.0);
    EXPECT_EQ(s.printOut, 1);
    EXPECT_FALSE(s.ribbon);
    EXPECT_FALSE(s.autoThreshold);
    EXPECT_EQ(s.gapInten, 0);
}

TEST(WriteConfiguration, ThePrinterIgnoresCommandsItCannotParse) {
    DirectPrinter p;
    const sim::ConfigSettings before = p.printer.Module<sim::ConfigModule>()->Settings();
    const char* const malformed[] = {
        "SIZE 4.00\r\n",
        "SIZE 4.00 cm,2.00 cm\r\n",
        "GAP 0.12\r\n",
        "SET COM1 96,N,9,1\r\n",
        "SET COM1 97,N,8,1\r\n",
        "SET RIBBONX OFF\r\n",
        "SET RIBBON MAYBE\r\n",
        "DIRECTION 1,2,3\r\n",
        "SPEED fast\r\n",
        "\x10SD20\r\n",
        "\x1eXA\x1ePW812\x1eXZ\r\n",
        "\x02KZHxx\r\r\n",
        "~KcLWabcd;PSQ;CC9;|\r\n",
    };
    for (const char* text : malformed)
        p.printer.Receive(text);
    const sim::ConfigSettings& after = p.printer.Module<sim::ConfigModule>()->Settings();
    EXPECT_EQ(after.paperWidthDots, before.paperWidthDots);
    EXPECT_EQ(after.paperHeightDots, before.paperHeightDots);
    EXPECT_EQ(after.sensorMode, before.sensorMode);
    EXPECT_EQ(after.gapSizeDots, before.gapSizeDots);
    EXPECT_EQ(after.baudRate, before.baudRate);
    EXPECT_EQ(after.dataBits, before.dataBits);
    EXPECT_EQ(after.ribbon, before.ribbon);
    EXPECT_EQ(after.direction, before.direction);
    EXPECT_EQ(after.speed, before.speed);
    EXPECT_EQ(after.zDarkness, before.zDarkness);
    EXPECT_EQ(after.zLabelWidthDots, before.zLabelWidthDots);
    EXPECT_EQ(after.dHeat, before.dHeat);
    EXPECT_EQ(after.dLabelWidthDots, before.dLabelWidthDots);
    EXPECT_EQ(after.dPresentSensor, before.dPresentSensor);
    EXPECT_EQ(after.dControlCodes, before.dControlCodes);
}

} // namespace
