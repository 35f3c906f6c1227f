#include "link/PrinterLink.h"
#include "link/ProgressWindow.h"
#include "RecordingProgress.h"
#include "ScriptedBackend.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A link whose every kind is a scripted backend, with a recording progress window in
// percent mode.
struct ScriptedLink {
    ScriptedLink() {
        progress.hidePause = std::chrono::milliseconds(0);
        link.SetProgressWindow(&progress);
        link.SetProcessEventsHook([this] { ++processed; });
        for (int kind = 0; kind < kInterfaceKindCount; ++kind) {
            link.SetBackendFactory(static_cast<InterfaceKind>(kind), [this](PrinterLink&) {
                return std::make_unique<ScriptedBackend>(script);
            });
        }
        progress.ShowProgress(ProgressPercent, 0, 0);
        factory.positions.clear();
    }

    std::shared_ptr<LinkScript> script = std::make_shared<LinkScript>();
    RecordingViewFactory factory;
    ProgressWindow progress{&factory};
    PrinterLink link;
    int processed = 0;
};

TEST(WriteBlock, UsbAndComSend64BytePiecesReportingEachPercentage) {
    for (InterfaceKind kind : {InterfaceUsb, InterfaceCom}) {
        ScriptedLink s;
        const LinkHandle handle = s.link.OpenLink(kind);
        ASSERT_NE(handle, kInvalidLinkHandle);
        const std::string block(65, 'x');
        EXPECT_TRUE(
            s.link.WriteBlock(handle, kind, reinterpret_cast<const uint8_t*>(block.data()), 65));
        ASSERT_EQ(s.script->pieces.size(), 2u);
        EXPECT_EQ(s.script->pieces[0].size(), 64u);
        EXPECT_EQ(s.script->pieces[1].size(), 1u);
        EXPECT_EQ(s.factory.positions, (std::vector<int>{98, 100}));
        EXPECT_EQ(s.processed, 2);
        s.link.CloseLink(kind, handle);
    }
}

TEST(WriteBlock, EthernetSends512BytePiecesAndReportsOneHundredOnceMore) {
    ScriptedLink s;
    const LinkHandle handle = s.link.OpenLink(InterfaceEthernet);
    EXPECT_EQ(handle, 1);
    std::string block(513, '\0');
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<char>(i * 7);
    EXPECT_TRUE(s.link.WriteBlock(handle, InterfaceEthernet,
                                  reinterpret_cast<const uint8_t*>(block.data()), 513));
    ASSERT_EQ(s.script->pieces.size(), 2u);
    EXPECT_EQ(s.script->pieces[0].size(), 512u);
    EXPECT_EQ(s.script->Written(), block);
    EXPECT_EQ(s.factory.positions, (std::vector<int>{99, 100, 100}));
}

TEST(WriteBlock, EmptyBlocksWriteNothingButEthernetStillReportsAndLptMakesOneWrite) {
    for (InterfaceKind kind : {InterfaceUsb, InterfaceCom}) {
        ScriptedLink s;
        const LinkHandle handle = s.link.OpenLink(kind);
        EXPECT_TRUE(s.link.WriteBlock(handle, kind, nullptr, 0));
        EXPECT_TRUE(s.script->pieces.empty());
        EXPECT_TRUE(s.factory.positions.empty());
    }
    {
        ScriptedLink s;
        const LinkHandle handle = s.link.OpenLink(InterfaceEthernet);
        s.script->dropAfterPieces = 0; // not looked at for an empty block
        EXPECT_TRUE(s.link.WriteBlock(handle, InterfaceEthernet, nullptr, 0));
        EXPECT_EQ(s.factory.positions, (std::vector<int>{100}));
    }
    {
        ScriptedLink s;
        const LinkHandle handle = s.link.OpenLink(InterfaceLpt);
        EXPECT_TRUE(s.link.WriteBlock(handle, InterfaceLpt, nullptr, 0));
        ASSERT_EQ(s.script->pieces.size(), 1u);
        EXPECT_TRUE(s.script->pieces[0].empty());
        EXPECT_EQ(s.factory.positions, (std::vector<int>{100}));
    }
}

TEST(WriteBlock, LptWritesTheWholeBlockInOneCall) {
    ScriptedLink s;
    const LinkHandle handle = s.link.OpenLink(InterfaceLpt);
    const std::string block(5000, 'L');
    EXPECT_TRUE(s.link.WriteBlock(handle, InterfaceLpt,
                                  reinterpret_cast<const uint8_t*>(block.data()), 5000));
    ASSERT_EQ(s.script->pieces.size(), 1u);
    EXPECT_EQ(s.script->pieces[0].size(), 5000u);
}

TEST(WriteBlock, RefusedPieceOrDroppedConnectionFailsTheBlockWhereItHappened) {
    {
        ScriptedLink s;
        s.script->acceptPieces = 1;
        const LinkHandle handle = s.link.OpenLink(InterfaceCom);
        const std::string block(200, 'c');
        EXPECT_FALSE(s.link.WriteBlock(handle, InterfaceCom,
                                       reinterpret_cast<const uint8_t*>(block.data()), 200));
        EXPECT_EQ(s.script->pieces.size(), 1u);
        EXPECT_EQ(s.factory.positions, (std::vector<int>{32}));
    }
    {
        ScriptedLink s;
        s.script->dropAfterPieces = 2;
        const LinkHandle handle = s.link.OpenLink(InterfaceEthernet);
        const std::string block(2000, 'e');
        EXPECT_FALSE(s.link.WriteBlock(handle, InterfaceEthernet,
                                       reinterpret_cast<const uint8_t*>(block.data()), 2000));
        EXPECT_EQ(s.script->pieces.size(), 2u);
    }
}

TEST(LinkReads, BytesComeThroughTheRingInOrderAndLptNeverReads) {
    ScriptedLink s;
    s.script->reads = {"\x01\x02\x03", "\x04\x05\x06\x07\x08\x09"};
    const LinkHandle handle = s.link.OpenLink(InterfaceEthernet);
    uint8_t bytes[8] = {};
    ASSERT_TRUE(s.link.ReadBytes(handle, InterfaceEthernet, bytes, 8));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(bytes[i], i + 1);
    uint8_t last = 0;
    EXPECT_TRUE(s.link.ReadByte(handle, InterfaceEthernet, &last));
    EXPECT_EQ(last, 9);
    EXPECT_FALSE(s.link.ReadByte(handle, InterfaceEthernet, &last));

    const LinkHandle lpt = s.link.OpenLink(InterfaceLpt);
    s.script->reads = {"z"};
    const size_t callsBefore = s.script->readCalls;
    EXPECT_FALSE(s.link.ReadByte(lpt, InterfaceLpt, &last));
    EXPECT_EQ(s.script->readCalls, callsBefore);
}

TEST(LinkReads, ComReadsOneByteAtATimeAndUsbUpTo64) {
    ScriptedLink s;
    s.script->reads = {std::string(100, 'a')};
    const LinkHandle com = s.link.OpenLink(InterfaceCom);
    uint8_t byte = 0;
    ASSERT_TRUE(s.link.ReadByte(com, InterfaceCom, &byte));
    EXPECT_EQ(s.link.Ring(InterfaceCom).Count(), 0u);
    EXPECT_EQ(s.script->reads[0].size(), 99u);
    s.link.CloseLink(InterfaceCom, com);

    const LinkHandle usb = s.link.OpenLink(InterfaceUsb);
    ASSERT_TRUE(s.link.ReadByte(usb, InterfaceUsb, &byte));
    EXPECT_EQ(s.link.Ring(InterfaceUsb).Count(), 63u);
}

TEST(LinkReads, EveryOpenEmptiesTheRingOfItsKind) {
    ScriptedLink s;
    s.script->reads = {"leftover", "fresh"};
    LinkHandle usb = s.link.OpenLink(InterfaceUsb);
    uint8_t byte = 0;
    ASSERT_TRUE(s.link.ReadByte(usb, InterfaceUsb, &byte));
    EXPECT_EQ(byte, 'l');
    EXPECT_EQ(s.link.Ring(InterfaceUsb).Count(), 7u);
    s.link.CloseLink(InterfaceUsb, usb);

    usb = s.link.OpenLink(InterfaceUsb);
    EXPECT_EQ(s.link.Ring(InterfaceUsb).Count(), 0u);
    ASSERT_TRUE(s.link.ReadByte(usb, InterfaceUsb, &byte));
    EXPECT_EQ(byte, 'f');
}

TEST(LinkOpen, AFailedOpenGivesTheInvalidHandleAndClosesNothing) {
    ScriptedLink s;
    s.script->openFails = true;
    EXPECT_EQ(s.link.OpenLink(InterfaceCom), kInvalidLinkHandle);
    EXPECT_EQ(s.script->closes, 0);
    EXPECT_EQ(s.link.OpenLink(static_cast<InterfaceKind>(7)), kInvalidLinkHandle);
}

TEST(ReceiveRing, WrapsAtItsCapacityKeepingOrder) {
    ReceiveRing ring;
    std::vector<uint8_t> chunk(4096);
    uint8_t expected = 0;
    uint8_t value = 0;
    for (int round = 0; round < 20; ++round) {
        for (auto& b : chunk)
            b = value++;
        ASSERT_EQ(ring.Append(chunk.data(), chunk.size()), chunk.size());
        uint8_t got = 0;
        while (ring.Take(got))
            ASSERT_EQ(got, expected++);
    }
    ring.Clear();
    EXPECT_TRUE(ring.Empty());
    std::vector<uint8_t> big(ReceiveRing::kCapacity + 10, 1);
    EXPECT_EQ(ring.Append(big.data(), big.size()), ReceiveRing::kCapacity);
}

} // namespace

#include "FailingBackend.h"

namespace {

TEST(WriteBlock, ABackendThatFailsMidBlockStopsTheBlockAndLaterReads) {
    auto script = std::make_shared<LinkScript>();
    script->reads = {"reply"};
    PrinterLink link;
    link.SetBackendFactory(InterfaceUsb, [script](PrinterLink&) {
        return std::make_unique<FailingBackend>(std::make_unique<ScriptedBackend>(script), 150);
    });
    const LinkHandle handle = link.OpenLink(InterfaceUsb);
    const std::vector<uint8_t> block(300, 'u');
    EXPECT_FALSE(link.WriteBlock(handle, InterfaceUsb, block.data(), 300));
    EXPECT_EQ(script->Written().size(), 128u);
    uint8_t byte = 0;
    EXPECT_FALSE(link.ReadByte(handle, InterfaceUsb, &byte));
    link.CloseLink(InterfaceUsb, handle);
    EXPECT_EQ(script->closes, 1);
}

} // namespace
