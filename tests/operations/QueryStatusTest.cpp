#include "dispatch/Dispatch.h"
#include "LoopbackLink.h"
#include "operations/PrinterStatus.h"
#include "PtyServer.h"
#include "ScriptedBackend.h"
#include "SimPeer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

std::vector<int> Flags(const PrinterStatus& status) {
    return std::vector<int>(std::begin(status.flags), std::end(status.flags));
}

TEST(QueryStatus, SpreadsTheStatusBitsAndTheExtendedRibbonBitsOverTcp) {
    SimPeer peer;
    const struct {
        uint8_t status;
        uint8_t fifth;
        std::vector<int> flags;
    } cases[] = {
        {0x05, 0x00, {1, 0, 1, 0, 0, 0, 0, 0, 0, 0}}, {0x08, 0x0C, {0, 0, 0, 1, 0, 0, 0, 0, 1, 0}},
        {0x08, 0x04, {0, 0, 0, 1, 0, 0, 0, 0, 0, 1}}, {0xFF, 0x08, {1, 1, 1, 1, 1, 1, 1, 1, 1, 0}},
        {0x40, 0x03, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        {
            auto lock = peer.printer.Lock();
            peer.printer.statusByte = c.status;
            peer.printer.extendedStatus[4] = c.fifth;
        }
        peer.printer.ClearReceived();
        PrinterStatus status;
        std::memset(&status, 7, sizeof status);
        ASSERT_EQ(Dispatch(peer.link, OpQueryStatus, InterfaceEthernet, &status), LinkOk);
        EXPECT_EQ(Flags(status), c.flags) << int(c.status) << " " << int(c.fifth);
        EXPECT_TRUE(WaitUntil([&] { return peer.printer.Received() == "\x1b!?\x1b!S\r\n"; }));
    }
}

TEST(QueryStatus, AMissingExtendedReplyStillSucceedsWithTheRibbonBytesClear) {
    SimPeer peer(300);
    peer.printer.statusByte = 0x08;
    peer.printer.answersExtendedStatus = false;
    PrinterStatus status;
    std::memset(&status, 1, sizeof status);
    ASSERT_EQ(Dispatch(peer.link, OpQueryStatus, InterfaceEthernet, &status), LinkOk);
    EXPECT_EQ(Flags(status), (std::vector<int>{0, 0, 0, 1, 0, 0, 0, 0, 0, 0}));
}

TEST(QueryStatus, RefusedSilentAndHangingUpPrintersGiveTheirCodes) {
    SimPeer peer(300);
    PrinterStatus status{};

    peer.SetFaults([](sim::Faults& f) { f.silent = true; });
    EXPECT_EQ(Dispatch(peer.link, OpQueryStatus, InterfaceEthernet, &status), LinkReceivingError);

    peer.SetFaults([](sim::Faults& f) {
        f.silent = false;
        f.closeAfterBytes = 3;
    });
    EXPECT_EQ(Dispatch(peer.link, OpQueryStatus, InterfaceEthernet, &status), LinkReceivingError);

    peer.SetFaults([](sim::Faults& f) {
        f.closeAfterBytes = -1;
        f.refuse = true;
    });
    ASSERT_TRUE(WaitUntil([&] {
        return Dispatch(peer.link, OpQueryStatus, InterfaceEthernet, &status) == LinkPortOpenError;
    }));

    peer.SetFaults([&](sim::Faults& f) {
        f.refuse = false;
        peer.printer.statusByte = 0x10;
    });
    ASSERT_TRUE(WaitUntil(
        [&] { return Dispatch(peer.link, OpQueryStatus, InterfaceEthernet, &status) == LinkOk; }));
    EXPECT_EQ(status.flags[StatusPaused], 1);
}

TEST(QueryStatus, AWriteThatFailsGivesTwo) {
    auto script = std::make_shared<LinkScript>();
    script->acceptPieces = 0;
    PrinterLink link;
    link.SetBackendFactory(
        InterfaceUsb, [script](PrinterLink&) { return std::make_unique<ScriptedBackend>(script); });
    PrinterStatus status{};
    EXPECT_EQ(Dispatch(link, OpQueryStatus, InterfaceUsb, &status), LinkTransmissionError);
    EXPECT_EQ(script->opens, 1);
    EXPECT_EQ(script->closes, 1);

    // The second write failing also gives 2, after the status byte was stored.
    script->acceptPieces = 1;
    script->pieces.clear();
    script->reads = {"\x02"};
    EXPECT_EQ(Dispatch(link, OpQueryStatus, InterfaceUsb, &status), LinkTransmissionError);
    EXPECT_EQ(status.flags[StatusPaperJam], 1);
}

TEST(QueryStatus, WorksOverTheSerialLink) {
    sim::VirtualPrinter printer;
    printer.statusByte = 0x21;
    printer.extendedStatus[4] = 0x04;
    sim::PtyServer server(printer);
    ASSERT_TRUE(server.Start());
    LoopbackLink target(0, server.SlavePath());
    PrinterLink& link = target.link;
    link.Timeouts().comReadMs = 500;
    PrinterStatus status{};
    ASSERT_EQ(Dispatch(link, OpQueryStatus, InterfaceCom, &status), LinkOk);
    EXPECT_EQ(Flags(status), (std::vector<int>{1, 0, 0, 0, 0, 1, 0, 0, 0, 1}));
}

TEST(Dispatch, NumbersPastTheTableGiveFiveWithoutOpeningAnything) {
    auto script = std::make_shared<LinkScript>();
    PrinterLink link;
    link.SetBackendFactory(
        InterfaceUsb, [script](PrinterLink&) { return std::make_unique<ScriptedBackend>(script); });
    for (uint32_t op : {26u, 27u, 1000u, 0xFFFFFFFFu})
        EXPECT_EQ(Dispatch(link, op, InterfaceUsb, nullptr), LinkUnknownError);
    EXPECT_EQ(script->opens, 0);
}

TEST(Dispatch, TheParallelPortCannotAnswerStatusOrConfigurationAndHasNoPassword) {
    auto script = std::make_shared<LinkScript>();
    PrinterLink link;
    link.SetBackendFactory(
        InterfaceLpt, [script](PrinterLink&) { return std::make_unique<ScriptedBackend>(script); });
    PrinterStatus status{};
    EXPECT_EQ(Dispatch(link, OpQueryStatus, InterfaceLpt, &status), LinkReceivingError);
    char config[661] = {};
    EXPECT_EQ(Dispatch(link, OpReadConfiguration, InterfaceLpt, config, 1), LinkReceivingError);
    char password[64] = "left";
    EXPECT_EQ(Dispatch(link, OpReadPasswordState, InterfaceLpt, password), LinkOk);
    EXPECT_EQ(password[0], '\0');
    EXPECT_EQ(script->opens, 0);
}

TEST(Dispatch, ProbePortOnlyOpensAndCloses) {
    auto script = std::make_shared<LinkScript>();
    PrinterLink link;
    link.SetBackendFactory(
        InterfaceUsb, [script](PrinterLink&) { return std::make_unique<ScriptedBackend>(script); });
    EXPECT_EQ(Dispatch(link, OpProbePort, InterfaceUsb, nullptr), LinkOk);
    EXPECT_EQ(script->opens, 1);
    EXPECT_EQ(script->closes, 1);
    EXPECT_TRUE(script->pieces.empty());
    script->openFails = true;
    EXPECT_EQ(Dispatch(link, OpProbePort, InterfaceUsb, nullptr), LinkPortOpenError);
}

TEST(Dispatch, TheTableNamesEveryOperationAndWrapsTheLongOnesInProgress) {
    for (uint32_t op = 0; op < kOperationCount; ++op) {
        ASSERT_NE(OperationAt(op).name, nullptr);
        ASSERT_NE(OperationAt(op).run, nullptr);
    }
    EXPECT_EQ(OperationAt(OpReadConfiguration).progress, ProgressWrap::WhenExtraIsOne);
    EXPECT_EQ(OperationAt(OpWriteConfiguration).progress, ProgressWrap::Always);
    EXPECT_EQ(OperationAt(OpReadMemoryInfo).progress, ProgressWrap::Always);
    EXPECT_EQ(OperationAt(OpQueryStatus).progress, ProgressWrap::None);
    EXPECT_EQ(OperationAt(OpDownloadFile).progress, ProgressWrap::None);
}

} // namespace
