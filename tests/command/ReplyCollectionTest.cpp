#include "command/CommandReplies.h"
#include "LoopbackLink.h"
#include "SimPeer.h"
#include "StandardPrinter.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

// A printer that never stops talking.
class EndlessBackend : public LinkBackend {
public:
    bool Open() override { return true; }
    void Close() override {}
    bool WritePiece(const uint8_t*, size_t) override { return true; }
    size_t ReadDevice(uint8_t* buffer, size_t capacity) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const size_t n = std::min<size_t>(capacity, 16);
        std::fill(buffer, buffer + n, uint8_t{'x'});
        return n;
    }
};

TEST(ReplyCollection, AnswersOfTheVirtualPrinterAfterASend) {
    SimPeer peer;
    sim::InstallStandardModules(peer.printer);
    peer.printer.statusByte = 0x04;
    std::string replies;
    const QByteArray query("DIAGNOSTIC REPORT DPHYSPACE\r\nOUT _SERIAL$\r\n\x1b!?");
    ASSERT_EQ(
        SendAndCollectReplies(peer.link, InterfaceEthernet, query, {100, 2000, 65536}, replies),
        LinkOk);
    EXPECT_EQ(
        DescribeReplies(replies),
        (QStringList{QStringLiteral("{2048}"), QString::fromStdString(peer.printer.serialNumber),
                     QStringLiteral("<04>")}));
    EXPECT_EQ(peer.printer.Received(), query.toStdString());
    // The link's own waits are back.
    EXPECT_EQ(peer.link.Timeouts().netMs, 500);
}

TEST(ReplyCollection, EndsAtItsBoundsWhateverThePrinterDoes) {
    LoopbackLink target;
    target.link.SetBackendFactory(InterfaceCom,
                                  [](PrinterLink&) { return std::make_unique<EndlessBackend>(); });
    std::string replies;
    ASSERT_EQ(SendAndCollectReplies(target.link, InterfaceCom, "~!T\r\n", {50, 100, 1000}, replies),
              LinkOk);
    EXPECT_GT(replies.size(), 0u);
    EXPECT_LE(replies.size(), 1000u);
    replies.clear();
    ASSERT_EQ(
        SendAndCollectReplies(target.link, InterfaceCom, "~!T\r\n", {50, 60000, 100}, replies),
        LinkOk);
    EXPECT_EQ(replies.size(), 100u);
}

TEST(ReplyCollection, NothingIsReadOverTheParallelPort) {
    QTemporaryDir dir;
    const QString device = dir.path() + QStringLiteral("/lp0");
    {
        QFile file(device);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    LoopbackLink target;
    target.UseParallelDevice(device.toStdString());
    std::string replies;
    EXPECT_EQ(SendAndCollectReplies(target.link, InterfaceLpt, "SELFTEST\r\n", {}, replies),
              LinkOk);
    EXPECT_TRUE(replies.empty());
    QFile file(device);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("SELFTEST\r\n"));
}

} // namespace
