#include "config/ConfigOperations.h"
#include "config/PrinterConfig.h"
#include "ConfigModule.h"
#include "DirectBackend.h"
#include "dispatch/Dispatch.h"
#include "link/PrinterLink.h"
#include "PackedField.h"
#include "PartialRead.h"
#include "StandardPrinter.h"
#include "VirtualPrinter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// An in-process printer of one profile and a link of every kind straight to it.
struct DirectPrinter {
    explicit DirectPrinter(const sim::FirmwareProfile& profile = sim::FirmwareProfile::Of(103)) {
        sim::InstallStandardModules(printer, profile);
        line = ConnectDirect(link, printer);
    }

    // The keys of the DIAGNOSTIC REPORT queries received, in order.
    std::vector<std::string> AskedKeys() const {
        std::vector<std::string> keys;
        for (const std::string& command : printer.Commands()) {
            if (command.rfind("DIAGNOSTIC REPORT ", 0) == 0)
                keys.push_back(command.substr(18));
        }
        return keys;
    }
    bool Asked(const std::string& key) const {
        const std::vector<std::string> keys = AskedKeys();
        return std::find(keys.begin(), keys.end(), key) != keys.end();
    }

    LinkError Read(PrinterConfig& config, InterfaceKind kind = InterfaceEthernet) {
        printer.ClearReceived();
        return Dispatch(link, OpReadConfiguration, kind, &config, 0);
    }

    sim::VirtualPrinter printer;
    PrinterLink link;
    std::shared_ptr<DirectLine> line;
};

// A record whose emulation and late flags are all set, to see which ones a read clears.
PrinterConfig AllFlagsSet() {
    PrinterConfig c = DefaultPrinterConfig();
    auto* bytes = reinterpret_cast<uint8_t*>(&c);
    for (size_t offset = 389; offset < 549; offset += 5)
        bytes[offset] = 1;
    for (size_t offset :
         {550, 555, 560, 565, 570, 581, 586, 591, 596, 601, 606, 611, 616, 621, 626, 631, 636})
        bytes[offset] = 1;
    c.ZControl.valid = c.ZFormat.valid = c.ZDelimiter.valid = 1;
    c.CutCounter = 55;
    return c;
}

int EmulationFlags(const PrinterConfig& c) {
    int set = 0;
    for (const ConfigInt* item :
         {&c.ZDarkness, &c.ZSpeed, &c.ZPosition, &c.ZPrintMode, &c.ZLabelWidth, &c.ZFeedPowerUp,
          &c.ZFeedHeadClose, &c.ZLabelTop, &c.ZLabelShift, &c.DHeat, &c.DLabelWidth,
          &c.DPresentSensor, &c.DCutterEquipped, &c.DControlCodes, &c.DColumnOffset, &c.DRowOffset})
        set += item->valid;
    return set + c.ZControl.valid + c.ZFormat.valid + c.ZDelimiter.valid + c.DSpeed.valid;
}

TEST(ReadConfiguration, FullReadOfAnEdition103PrinterFillsEveryField) {
    DirectPrinter p(sim::FirmwareProfile::Of(103, 203));
    PrinterConfig c = DefaultPrinterConfig();
    ASSERT_EQ(p.Read(c), LinkOk);

    EXPECT_EQ(Copy(c.Edition), 103);
    EXPECT_EQ(c.ResolutionValid, 1);
    EXPECT_EQ(Copy(c.Dpi), 203.0f);
    EXPECT_EQ(Copy(c.DotsPerMm), 8.0f);
    EXPECT_STREQ(c.Version, "VP-203 V1.03");
    EXPECT_STREQ(c.Serial, "VP2030103");
    EXPECT_STREQ(c.Milage, "12.5");
    EXPECT_STREQ(c.ResetMilage, "3.1");
    EXPECT_STREQ(c.Checksum, "5A3C91E4");
    EXPECT_EQ(Copy(c.CutCounter), 41);
    EXPECT_EQ(Copy(c.ResetCutCounter), 7);
    EXPECT_EQ(c.Speed.valid, 1);
    EXPECT_EQ(Copy(c.Speed.value), 4.0f);
    EXPECT_EQ(Copy(c.PaperWidth.value), 812.0f);
    EXPECT_EQ(Copy(c.PaperHeight.value), 507.5f);
    EXPECT_EQ(Copy(c.DensityBase.value), 8);
    EXPECT_EQ(Copy(c.CodePage.value), 10);
    EXPECT_EQ(Copy(c.Country.value), 0);
    EXPECT_EQ(Copy(c.BaudRate.value), 4);
    EXPECT_EQ(Copy(c.Parity.value), 0);
    EXPECT_EQ(Copy(c.DataBit.value), 1);
    EXPECT_EQ(Copy(c.ZSpeed.value), 4); // reported as "C"
    EXPECT_EQ(Copy(c.ZPrintMode.value), 1);
    EXPECT_EQ(Copy(c.ZControl.value), '~');
    EXPECT_EQ(Copy(c.ZFeedPowerUp.value), 2);
    EXPECT_EQ(Copy(c.DSpeed.value), 4.0f);
    EXPECT_EQ(Copy(c.DPresentSensor.value), 1);
    EXPECT_EQ(Copy(c.DControlCodes.value), 1);
    EXPECT_EQ(c.MaxLength.valid, 1);
    EXPECT_EQ(c.AutoThreshold.valid, 1);
    EXPECT_EQ(EmulationFlags(c), 20);

    // The announcement, the DPI and three text queries, the serial line, 29 main keys,
    // 4 late keys, 20 emulation keys, 2 from edition 102, 5 from edition 103.
    EXPECT_EQ(p.printer.Commands().size(), 1u + 4u + 1u + 29u + 4u + 20u + 2u + 5u);
    EXPECT_EQ(p.printer.Commands().front(), "DIAGNOSTIC INTERFACE NET");
    EXPECT_EQ(p.line->opens, 1);
    EXPECT_EQ(p.line->closes, 1);
}

TEST(ReadConfiguration, TheEditionDecidesWhichKeysAreAsked) {
    struct Case {
        int edition;
        bool emulations;
        bool cutCounter;
        bool ribbonKeys;
    };
    for (const Case& k : {Case{99, false, false, false}, Case{100, true, false, false},
                          Case{101, true, false, false}, Case{102, true, true, false},
                          Case{103, true, true, true}, Case{104, true, true, true}}) {
        SCOPED_TRACE(k.edition);
        DirectPrinter p(sim::FirmwareProfile::Of(k.edition));
        PrinterConfig c = AllFlagsSet();
        ASSERT_EQ(p.Read(c), LinkOk);
        EXPECT_EQ(Copy(c.Edition), k.edition);
        // The printer of the edition knows exactly the keys of its edition.
        EXPECT_EQ(p.printer.HasReportKey("ZLABELTOP"), k.emulations);
        EXPECT_EQ(p.printer.HasReportKey("MAXLENGTH"), k.cutCounter);
        EXPECT_EQ(p.printer.HasReportKey("RIBBONENCODER"), k.ribbonKeys);
        EXPECT_EQ(p.Asked("ZDARKNESS"), k.emulations);
        EXPECT_EQ(p.Asked("DROWOFFSET"), k.emulations);
        EXPECT_EQ(EmulationFlags(c), k.emulations ? 20 : 0);
        EXPECT_EQ(p.Asked("CUTCOUNTER"), k.cutCounter);
        EXPECT_EQ(p.Asked("MAXLENGTH"), k.cutCounter);
        EXPECT_EQ(c.MaxLength.valid, k.cutCounter ? 1 : 0);
        // Without the key the counter keeps what the caller's record held.
        EXPECT_EQ(Copy(c.CutCounter), k.cutCounter ? 41 : 55);
        EXPECT_EQ(p.Asked("RESETMILAGE"), k.ribbonKeys);
        EXPECT_EQ(p.Asked("AUTOTHRESHOLD"), k.ribbonKeys);
        EXPECT_EQ(c.RibbonSensor.valid, k.ribbonKeys ? 1 : 0);
        EXPECT_EQ(c.RibbonEncoder.valid, k.ribbonKeys ? 1 : 0);
        EXPECT_EQ(c.AutoThreshold.valid, k.ribbonKeys ? 1 : 0);
        EXPECT_EQ(p.line->closes, p.line->opens);
    }
}

TEST(ReadConfiguration, FirmwareWithoutTheLateKeysEndsTheReadSuccessfully) {
    // Edition 0 firmware knows neither REPRINT nor EDITION and stays silent.
    DirectPrinter old(sim::FirmwareProfile::Of(0));
    PrinterConfig c = AllFlagsSet();
    ASSERT_EQ(old.Read(c), LinkOk);
    EXPECT_EQ(old.AskedKeys().back(), "REPRINT");
    EXPECT_EQ(c.Reprint.valid, 0);
    EXPECT_EQ(Copy(c.Edition), 0);
    EXPECT_EQ(c.Head.valid, 1);
    EXPECT_EQ(old.line->closes, 1);

    // A printer silent on a later one of the four: what came before it is kept, the
    // silent key's flag (for EDITION its value) is cleared and the fields after it keep
    // what the caller's record held.
    const char* const lateKeys[] = {"SHIFTX", "SHIFTXBASE", "EDITION"};
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(lateKeys[i]);
        DirectPrinter p(sim::FirmwareProfile::Of(103));
        p.printer.RemoveReportKey(lateKeys[i]);
        PrinterConfig r = DefaultPrinterConfig();
        r.ShiftX.valid = r.ShiftXBase.valid = 1;
        r.Edition = 77;
        ASSERT_EQ(p.Read(r), LinkOk);
        EXPECT_EQ(r.Reprint.valid, 1);
        EXPECT_EQ(r.ShiftX.valid, i == 0 ? 0 : 1);
        EXPECT_EQ(r.ShiftXBase.valid, i == 1 ? 0 : 1);
        EXPECT_EQ(Copy(r.Edition), i == 2 ? 0 : 77);
        EXPECT_EQ(EmulationFlags(r), 0);
        EXPECT_FALSE(p.Asked("ZDARKNESS"));
    }
}

TEST(ReadConfiguration, ResolutionRepliesThatGiveNoDivisorEndTheReadWith3) {
    for (const char* reply : {"0", "", "abc", "0.2", "-1"}) {
        SCOPED_TRACE(reply);
        DirectPrinter p;
        p.printer.SetReportValue("DPI", reply);
        PrinterConfig c = DefaultPrinterConfig();
        EXPECT_EQ(p.Read(c), LinkReceivingError);
        EXPECT_EQ(c.ResolutionValid, 0);
        EXPECT_EQ(Copy(c.DotsPerMm), 11.8f);
        EXPECT_EQ(p.AskedKeys(), std::vector<std::string>{"DPI"});
        EXPECT_EQ(p.line->closes, 1);
    }
    for (const auto& [reply, dotsPerMm] :
         {std::pair{"300", 11.8f}, std::pair{"600", 23.6f}, std::pair{"200", 7.9f}}) {
        DirectPrinter p;
        p.printer.SetReportValue("DPI", reply);
        PrinterConfig c = DefaultPrinterConfig();
        ASSERT_EQ(p.Read(c), LinkOk) << reply;
        EXPECT_EQ(Copy(c.DotsPerMm), dotsPerMm) << reply;
    }
}

TEST(ReadConfiguration, MainKeyConversions) {
    DirectPrinter p;
    p.printer.SetReportValue("SENSORMODE", "5");
    p.printer.SetReportValue("CODEPAGE", "850 ");
    p.printer.SetReportValue("COUNTRY", "049");
    p.printer.SetReportValue("DENSITY", "x");
    p.printer.SetReportValue("SPEED", " 3.5 ips");
    p.printer.SetReportValue("BAUDRATE", "115200");
    p.printer.SetReportValue("PARITY", "even");
    PrinterConfig c = DefaultPrinterConfig();
    ASSERT_EQ(p.Read(c), LinkOk);
    EXPECT_EQ(Copy(c.SensorMode.value), 2);
    EXPECT_EQ(Copy(c.CodePage.value), 36);
    EXPECT_EQ(Copy(c.Country.value), 17);
    EXPECT_EQ(c.Density.valid, 1);
    EXPECT_EQ(Copy(c.Density.value), 0);
    EXPECT_EQ(Copy(c.Speed.value), 3.5f);
    EXPECT_EQ(Copy(c.BaudRate.value), 8);
    EXPECT_EQ(Copy(c.Parity.value), 3);

    p.printer.SetReportValue("SENSORMODE", "-1");
    p.printer.SetReportValue("CODEPAGE", "850");
    p.printer.SetReportValue("CUTCOUNTER", "-7");
    p.printer.SetReportValue("RESETCUTCOUNTER", "-1");
    PrinterConfig d = DefaultPrinterConfig();
    ASSERT_EQ(p.Read(d), LinkOk);
    EXPECT_EQ(Copy(d.SensorMode.value), -1);
    EXPECT_EQ(Copy(d.CodePage.value), 10);
    EXPECT_EQ(Copy(d.CutCounter), 0);
    EXPECT_EQ(Copy(d.ResetCutCounter), 0);
}

TEST(ReadConfiguration, EmulationRepliesClearFlagsTheyCannotFill) {
    struct Case {
        const char* key;
        std::string reply;
        int valid;
        int32_t value;
    };
    auto intOf = [](const PrinterConfig& c, const char* key) -> ConfigInt {
        const std::string k = key;
        if (k == "ZDARKNESS")
            return c.ZDarkness;
        if (k == "ZSPEED")
            return c.ZSpeed;
        if (k == "ZPRINTMODE")
            return c.ZPrintMode;
        if (k == "ZFEEDHEADCLOSE")
            return c.ZFeedHeadClose;
        if (k == "DPRESENTSENSOR")
            return c.DPresentSensor;
        if (k == "DCONTROLCODES")
            return c.DControlCodes;
        if (k == "DROWOFFSET")
            return c.DRowOffset;
        return {9, 9};
    };
    const Case cases[] = {
        {"ZDARKNESS", "", 0, 0},       {"ZDARKNESS", "x", 1, 0},      {"ZSPEED", "D", 1, 6},
        {"ZSPEED", "12", 1, 12},       {"ZSPEED", "", 0, 0},          {"ZPRINTMODE", "R", 1, 1},
        {"ZPRINTMODE", "", 0, 0},      {"ZPRINTMODE", "TEAR", 0, 0},  {"ZFEEDHEADCLOSE", "L", 1, 3},
        {"ZFEEDHEADCLOSE", "X", 0, 0}, {"DPRESENTSENSOR", "A", 1, 2}, {"DPRESENTSENSOR", "Y", 0, 0},
        {"DCONTROLCODES", "2", 1, 3},  {"DCONTROLCODES", "3", 0, 0},  {"DROWOFFSET", "-40", 1, -40},
        {"DROWOFFSET", "", 0, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::string(k.key) + " '" + k.reply + "'");
        DirectPrinter p;
        p.printer.SetReportValue(k.key, k.reply);
        PrinterConfig c = AllFlagsSet();
        ASSERT_EQ(p.Read(c), LinkOk);
        const ConfigInt item = intOf(c, k.key);
        EXPECT_EQ(item.valid, k.valid);
        if (k.valid) {
            EXPECT_EQ(Copy(item.value), k.value);
        }
    }

    DirectPrinter p;
    p.printer.SetReportValue("ZCONTROL", "~~");
    p.printer.SetReportValue("ZFORMAT", "");
    p.printer.SetReportValue("ZDELIMITER", ";");
    p.printer.SetReportValue("DSPEED", "f");
    PrinterConfig c = AllFlagsSet();
    ASSERT_EQ(p.Read(c), LinkOk);
    EXPECT_EQ(c.ZControl.valid, 0);
    EXPECT_EQ(c.ZFormat.valid, 0);
    EXPECT_EQ(c.ZDelimiter.valid, 1);
    EXPECT_EQ(Copy(c.ZDelimiter.value), ';');
    EXPECT_EQ(c.DSpeed.valid, 0);
    for (const auto& [letter, speed] :
         {std::pair{"G", 4.0f}, std::pair{"W", 12.0f}, std::pair{"e", 20.0f}}) {
        p.printer.SetReportValue("DSPEED", letter);
        PrinterConfig d = DefaultPrinterConfig();
        ASSERT_EQ(p.Read(d), LinkOk);
        EXPECT_EQ(d.DSpeed.valid, 1);
        EXPECT_EQ(Copy(d.DSpeed.value), speed) << letter;
    }
}

TEST(ReadConfiguration, TextRepliesNeverPassTheirFields) {
    // A serial line longer than the field keeps its first 63 characters.
    DirectPrinter p;
    const std::string longSerial = std::string(63, 'S') + "OVERFLOW" + std::string(100, 'X');
    p.printer.serialNumber = longSerial;
    PrinterConfig c = DefaultPrinterConfig();
    ASSERT_EQ(p.Read(c), LinkOk);
    EXPECT_EQ(std::string(c.Serial), std::string(63, 'S'));
    EXPECT_EQ(c.Speed.valid, 1);
    EXPECT_EQ(Copy(c.Speed.value), 4.0f);

    // More than a line holds fails the read after the serial query.
    p.printer.serialNumber = std::string(1100, 'L');
    PrinterConfig tooLong = DefaultPrinterConfig();
    EXPECT_EQ(p.Read(tooLong), LinkReceivingError);
    EXPECT_EQ(tooLong.Serial[0], '\0');
    EXPECT_EQ(tooLong.Speed.valid, 0);

    // Framed texts must fit their field with room to spare; a bigger one fails and
    // leaves the field as it was.
    struct Text {
        const char* key;
        size_t size;
        size_t offset;
    };
    for (const Text& t : {Text{"VERSION", 256, offsetof(PrinterConfig, Version)},
                          Text{"MILAGE", 16, offsetof(PrinterConfig, Milage)},
                          Text{"CHECKSUM", 16, offsetof(PrinterConfig, Checksum)},
                          Text{"RESETMILAGE", 16, offsetof(PrinterConfig, ResetMilage)}}) {
        SCOPED_TRACE(t.key);
        DirectPrinter q;
        q.printer.SetReportValue(t.key, std::string(t.size - 2, 'v'));
        PrinterConfig fits = DefaultPrinterConfig();
        ASSERT_EQ(q.Read(fits), LinkOk);
        const char* field = reinterpret_cast<const char*>(&fits) + t.offset;
        EXPECT_EQ(std::string(field), std::string(t.size - 2, 'v'));

        q.printer.SetReportValue(t.key, std::string(t.size - 1, 'w'));
        PrinterConfig refused = DefaultPrinterConfig();
        std::memcpy(reinterpret_cast<char*>(&refused) + t.offset, "old", 4);
        EXPECT_EQ(q.Read(refused), LinkReceivingError);
        EXPECT_STREQ(reinterpret_cast<const char*>(&refused) + t.offset, "old");
    }

    // Any reply must leave room in the 1024-byte scratch buffer.
    DirectPrinter r;
    r.printer.SetReportValue("HEAD", std::string(1022, '1'));
    PrinterConfig head = DefaultPrinterConfig();
    EXPECT_EQ(r.Read(head), LinkOk);
    r.printer.SetReportValue("HEAD", std::string(1023, '1'));
    EXPECT_EQ(r.Read(head), LinkReceivingError);
}

TEST(ReadConfiguration, LinkFailuresAndTheParallelPort) {
    DirectPrinter p;
    PrinterConfig c = DefaultPrinterConfig();
    // Nothing can be read over LPT: refused before the link is opened.
    EXPECT_EQ(p.Read(c, InterfaceLpt), LinkReceivingError);
    EXPECT_EQ(ReadConfiguration(p.link, InterfaceLpt, &c, 0), LinkReceivingError);
    EXPECT_EQ(p.line->opens, 0);

    p.line->openFails = true;
    EXPECT_EQ(p.Read(c), LinkPortOpenError);
    EXPECT_TRUE(p.printer.Received().empty());

    p.line->openFails = false;
    for (InterfaceKind kind : {InterfaceUsb, InterfaceCom, InterfaceEthernet}) {
        PrinterConfig k = DefaultPrinterConfig();
        ASSERT_EQ(p.Read(k, kind), LinkOk) << kind;
        EXPECT_EQ(p.printer.Commands().front(), kind == InterfaceUsb ? "DIAGNOSTIC INTERFACE USB"
                                                : kind == InterfaceCom
                                                    ? "DIAGNOSTIC INTERFACE COM"
                                                    : "DIAGNOSTIC INTERFACE NET");
    }
}

// The printer hangs up right after receiving each exchange's command in turn.
TEST(ReadConfiguration, HangingUpAtEachExchangeInTurn) {
    DirectPrinter reference(sim::FirmwareProfile::Of(103));
    PrinterConfig full = DefaultPrinterConfig();
    ASSERT_EQ(reference.Read(full), LinkOk);
    const std::vector<std::string> commands = reference.printer.Commands();
    ASSERT_EQ(commands.size(), 66u);
    const std::vector<long> ends = CommandEnds(reference.printer.Received(), commands);
    ASSERT_EQ(ends.size(), commands.size());

    std::vector<uint8_t> filled;
    for (size_t k = 0; k < commands.size(); ++k) {
        SCOPED_TRACE(commands[k]);
        DirectPrinter p(sim::FirmwareProfile::Of(103));
        p.line->hangUpAfterBytes = ends[k];
        GuardedRecord guarded;
        const LinkError result = p.Read(*guarded.Record());
        if (IsLateKey(commands[k]))
            EXPECT_EQ(result, LinkOk);
        else if (commands[k] == "OUT _SERIAL$")
            // The line ends with the silence; the next query finds the link gone.
            EXPECT_EQ(result, LinkTransmissionError);
        else
            EXPECT_EQ(result, LinkReceivingError);
        EXPECT_EQ(p.line->opens, 1);
        EXPECT_EQ(p.line->closes, 1);
        ASSERT_TRUE(guarded.GuardsIntact());
        filled = CheckPartialRecord(*guarded.Record(), full, filled);
    }
}

} // namespace
