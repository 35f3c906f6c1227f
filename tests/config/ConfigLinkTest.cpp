#include "config/ConfigCommands.h"
#include "config/ConfigOperations.h"
#include "config/PrinterConfig.h"
#include "ConfigModule.h"
#include "dispatch/Dispatch.h"
#include "operations/LinkSession.h"
#include "operations/ReplyReaders.h"
#include "PackedField.h"
#include "PartialRead.h"
#include "SimPeer.h"
#include "StandardPrinter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The virtual printer on TCP 127.0.0.1 with the configuration of one profile.
struct ConfigPeer {
    explicit ConfigPeer(const sim::FirmwareProfile& profile) {
        auto lock = peer.printer.Lock();
        sim::InstallStandardModules(peer.printer, profile);
    }

    LinkError Read(PrinterConfig& config) {
        config = DefaultPrinterConfig();
        return Dispatch(peer.link, OpReadConfiguration, InterfaceEthernet, &config, 1);
    }
    // Writes and waits until the printer has taken in every byte, so that what follows
    // finds the commands applied.
    LinkError Write(PrinterConfig config, int32_t tab) {
        size_t bytes = 0;
        for (const std::string& text : ConfigCommandTexts(config, tab))
            bytes += text.size();
        const size_t before = peer.printer.Received().size();
        const LinkError result =
            Dispatch(peer.link, OpWriteConfiguration, InterfaceEthernet, &config, tab);
        EXPECT_TRUE(WaitUntil([&] { return peer.printer.Received().size() >= before + bytes; }));
        return result;
    }

    SimPeer peer;
};

// Offsets where two records differ, for messages.
std::string Differences(const PrinterConfig& a, const PrinterConfig& b) {
    const auto* x = reinterpret_cast<const uint8_t*>(&a);
    const auto* y = reinterpret_cast<const uint8_t*>(&b);
    std::ostringstream out;
    for (size_t i = 0; i < sizeof(PrinterConfig); ++i) {
        if (x[i] != y[i])
            out << i << " ";
    }
    return out.str();
}

bool SameRecord(const PrinterConfig& a, const PrinterConfig& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// New values for every setting a tab can carry, lengths given in the page's unit.
void ChangeTab(PrinterConfig& c, int32_t tab, bool inch) {
    const double factor = inch ? c.Dpi : c.DotsPerMm;
    // The nearest float to the length in dots, as the printer's own report gives it.
    auto length = [&](double inches, double millimetres) {
        return static_cast<float>((inch ? inches : millimetres) * factor);
    };
    const int dpi = static_cast<int>(c.Dpi);
    c.InchUnit = inch ? 1 : 0;
    switch (tab) {
    case ConfigTabCommon:
        SetItem(c.Speed, 6.0f);
        SetItem(c.Density, 12);
        SetItem(c.PaperWidth, length(3.00, 60.00));
        SetItem(c.PaperHeight, length(2.00, 40.00));
        SetItem(c.SensorMode, 1);
        SetItem(c.GapSize, length(0.20, 5.00));
        SetItem(c.GapOffset, length(0.05, 1.25));
        SetItem(c.PrintOut, 3);
        SetItem(c.CutterPiece, 4);
        SetItem(c.ReferenceX, 16);
        SetItem(c.ReferenceY, 24);
        SetItem(c.Direction, 1);
        SetItem(c.Mirror, 1);
        SetItem(c.Offset, -3);
        SetItem(c.Shift, 5);
        SetItem(c.ShiftX, -7);
        SetItem(c.Ribbon, 0);
        SetItem(c.RibbonSensor, 0);
        SetItem(c.RibbonEncoder, 0);
        SetItem(c.CodePage, 3);
        SetItem(c.Country, 5);
        SetItem(c.Head, 0);
        SetItem(c.Reprint, 0);
        SetItem(c.MaxLength, length(8.00, 200.00));
        SetItem(c.BlineInten, 9);
        SetItem(c.AutoThreshold, 0);
        break;
    case ConfigTabZ:
        SetItem(c.ZDarkness, 25);
        SetItem(c.ZSpeed, dpi == 203 ? 6 : 5);
        SetItem(c.ZPosition, -5);
        SetItem(c.ZPrintMode, 3);
        SetItem(c.ZLabelWidth, 3 * dpi);
        SetItem(c.ZControl, '#');
        SetItem(c.ZFormat, '$');
        SetItem(c.ZDelimiter, ';');
        SetItem(c.ZFeedPowerUp, 3);
        SetItem(c.ZFeedHeadClose, 4);
        SetItem(c.ZLabelTop, -12);
        SetItem(c.ZLabelShift, 300);
        break;
    case ConfigTabD:
        SetItem(c.DHeat, 7);
        SetItem(c.DSpeed, 6.5f);
        SetItem(c.DLabelWidth, 3 * dpi);
        SetItem(c.DPresentSensor, 2);
        SetItem(c.DCutterEquipped, 2);
        SetItem(c.DControlCodes, 3);
        SetItem(c.DColumnOffset, dpi);
        SetItem(c.DRowOffset, -dpi);
        break;
    case ConfigTabInterface:
        SetItem(c.BaudRate, 8);
        SetItem(c.DataBit, 0);
        SetItem(c.Parity, 2);
        SetItem(c.StopBit, 1);
        break;
    default:
        break;
    }
}

TEST(ConfigRoundTrip, EachTabWrittenReadsBackEqualInBothUnitsAtBothResolutions) {
    for (int dpi : {203, 300}) {
        for (bool inch : {true, false}) {
            for (int32_t tab = 0; tab < 4; ++tab) {
                SCOPED_TRACE(std::to_string(dpi) + (inch ? " dpi, inch, tab " : " dpi, mm, tab ") +
                             std::to_string(tab));
                ConfigPeer p(sim::FirmwareProfile::Of(103, dpi));
                PrinterConfig before;
                ASSERT_EQ(p.Read(before), LinkOk);

                PrinterConfig wanted = before;
                ChangeTab(wanted, tab, inch);
                before.InchUnit = wanted.InchUnit;
                ASSERT_FALSE(SameRecord(before, wanted));

                ASSERT_EQ(p.Write(wanted, tab), LinkOk);
                PrinterConfig after;
                ASSERT_EQ(p.Read(after), LinkOk);
                after.InchUnit = wanted.InchUnit;
                EXPECT_TRUE(SameRecord(after, wanted))
                    << "differ at " << Differences(after, wanted);
            }
        }
    }
}

TEST(ConfigRoundTrip, OtherSensorModesAndPostPrintActionsRoundTrip) {
    ConfigPeer p(sim::FirmwareProfile::Of(104, 600));
    PrinterConfig before;
    ASSERT_EQ(p.Read(before), LinkOk);
    EXPECT_EQ(Copy(before.DotsPerMm), 23.6f);
    for (int mode : {2, 0}) {
        for (int printOut : {0, 1, 2}) {
            SCOPED_TRACE(std::to_string(mode) + " " + std::to_string(printOut));
            PrinterConfig wanted = before;
            wanted.InchUnit = 1;
            SetItem(wanted.SensorMode, mode);
            SetItem(wanted.PrintOut, printOut);
            SetItem(wanted.ConInten, 6);
            SetItem(wanted.GapInten, 2);
            if (mode == 0) {
                SetItem(wanted.GapSize, 0.25f * 600.0f);
                SetItem(wanted.GapOffset, 0.0f);
            }
            ASSERT_EQ(p.Write(wanted, ConfigTabCommon), LinkOk);
            PrinterConfig after;
            ASSERT_EQ(p.Read(after), LinkOk);
            after.InchUnit = 1;
            // Continuous media keeps the gap lengths and the gap intensity of before.
            if (mode == 2) {
                wanted.GapInten = before.GapInten;
                wanted.GapSize = before.GapSize;
                wanted.GapOffset = before.GapOffset;
            } else {
                wanted.ConInten = {1, 6};
            }
            EXPECT_TRUE(SameRecord(after, wanted)) << "differ at " << Differences(after, wanted);
            before = after;
        }
    }
}

TEST(ConfigRoundTrip, ResetRestoresTheFactorySettings) {
    ConfigPeer p(sim::FirmwareProfile::Of(103, 203));
    PrinterConfig factory;
    ASSERT_EQ(p.Read(factory), LinkOk);
    for (int32_t tab = 0; tab < 4; ++tab) {
        PrinterConfig changed = factory;
        ChangeTab(changed, tab, true);
        ASSERT_EQ(p.Write(changed, tab), LinkOk);
    }
    PrinterConfig written;
    ASSERT_EQ(p.Read(written), LinkOk);
    ASSERT_FALSE(SameRecord(written, factory));

    {
        LinkSession session(p.peer.link, InterfaceEthernet);
        ASSERT_TRUE(session.IsOpen());
        ASSERT_EQ(SendCommandText(session, "\x1b!R"), LinkOk);
    }
    ASSERT_TRUE(WaitUntil([&] {
        auto lock = p.peer.printer.Lock();
        return p.peer.printer.Commands().back() == "\x1b!R";
    }));
    PrinterConfig reset;
    ASSERT_EQ(p.Read(reset), LinkOk);
    EXPECT_TRUE(SameRecord(reset, factory)) << "differ at " << Differences(reset, factory);

    // The reset reachable from other modules (INITIALPRINTER) does the same.
    ChangeTab(written, ConfigTabD, true);
    ASSERT_EQ(p.Write(written, ConfigTabD), LinkOk);
    {
        auto lock = p.peer.printer.Lock();
        p.peer.printer.Module<sim::ConfigModule>()->Reset();
    }
    ASSERT_EQ(p.Read(reset), LinkOk);
    EXPECT_TRUE(SameRecord(reset, factory)) << "differ at " << Differences(reset, factory);
}

// The printer hangs up right after receiving each exchange's command in turn.
TEST(ConfigOverTcp, HangingUpAtEachExchangeGivesItsCodeAndKeepsWhatWasRead) {
    const sim::FirmwareProfile profile = sim::FirmwareProfile::Of(103, 300);
    ConfigPeer reference(profile);
    PrinterConfig full;
    ASSERT_EQ(reference.Read(full), LinkOk);
    ASSERT_TRUE(WaitUntil([&] { return reference.peer.printer.Commands().size() == 66u; }));
    const std::vector<std::string> commands = reference.peer.printer.Commands();
    const std::vector<long> ends = CommandEnds(reference.peer.printer.Received(), commands);
    ASSERT_EQ(ends.size(), commands.size());

    ConfigPeer p(profile);
    std::vector<uint8_t> filled;
    for (size_t k = 0; k < commands.size(); ++k) {
        SCOPED_TRACE(commands[k]);
        p.peer.SetFaults([&](sim::Faults& f) { f.closeAfterBytes = ends[k]; });
        GuardedRecord guarded;
        const LinkError result =
            Dispatch(p.peer.link, OpReadConfiguration, InterfaceEthernet, guarded.Record(), 0);
        if (IsLateKey(commands[k]))
            EXPECT_EQ(result, LinkOk);
        else if (commands[k] == "OUT _SERIAL$")
            EXPECT_TRUE(result == LinkTransmissionError || result == LinkReceivingError) << result;
        else
            EXPECT_EQ(result, LinkReceivingError);
        ASSERT_TRUE(guarded.GuardsIntact());
        filled = CheckPartialRecord(*guarded.Record(), full, filled);
    }
    // With the fault gone the link works again: nothing was left open.
    p.peer.SetFaults([](sim::Faults& f) { f.closeAfterBytes = -1; });
    PrinterConfig again;
    ASSERT_EQ(p.Read(again), LinkOk);
    EXPECT_TRUE(SameRecord(again, full));
}

TEST(ConfigOverTcp, ASilentPrinterEndsTheReadWith3AndAnOldOneWith0) {
    ConfigPeer silent(sim::FirmwareProfile::Of(103));
    silent.peer.ShortenWaits(100);
    silent.peer.SetFaults([](sim::Faults& f) { f.silent = true; });
    PrinterConfig c;
    EXPECT_EQ(silent.Read(c), LinkReceivingError);

    ConfigPeer old(sim::FirmwareProfile::Of(0, 300));
    old.peer.ShortenWaits(100);
    ASSERT_EQ(old.Read(c), LinkOk);
    EXPECT_EQ(Copy(c.Edition), 0);
    EXPECT_EQ(Copy(c.Dpi), 300.0f);
    EXPECT_EQ(c.Reprint.valid, 0);
    EXPECT_EQ(c.Head.valid, 1);
}

} // namespace
