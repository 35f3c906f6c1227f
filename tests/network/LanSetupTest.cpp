#include "network/LanSetup.h"
#include "operations/PrinterNetConfig.h"

#include "LanPrinters.h"
#include "SimPeer.h"

#include <gtest/gtest.h>

#include "network/LanWriteBuffer.h"

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <memory>

namespace {

// Two printers on 127.0.0.2 and 127.0.0.3, sharing one port.
class LanSetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        LanPrinterPair pair;
        std::string error;
        ASSERT_TRUE(pair.Start(LanIdentity("00:1B:82:00:00:01", "FRONT-DESK"),
                               LanIdentity("00:1B:82:00:00:02", "DOCK-4"), &error))
            << error;
        port = pair.port;
        first = std::move(pair.first);
        second = std::move(pair.second);
        {
            auto lock = second->printer.Lock();
            second->net->UseFixedAddress("10.1.2.3", "255.0.0.0", "10.0.0.1");
            second->net->lanStatus = 3;
            second->net->lanErrorFlags = 0x04;
        }
        settings = pair.ClientSettings(300, 500);
    }

    std::unique_ptr<SimulatedLanPrinter> first;
    std::unique_ptr<SimulatedLanPrinter> second;
    uint16_t port = 0;
    LanClientSettings settings;
};

MacAddress Mac(const std::string& text) {
    return *ParseMacText(text);
}

} // namespace

TEST_F(LanSetupTest, TwoPrintersAnsweringBothRoundsGiveFourRows) {
    LanClient client(settings);
    const auto answers = DiscoverLanPrinters(client, 5);
    ASSERT_TRUE(answers.has_value());
    ASSERT_EQ(answers->size(), 4u);
    int front = 0, dock = 0;
    for (const auto& answer : *answers) {
        if (answer.printerName == "FRONT-DESK") {
            ++front;
            EXPECT_EQ(MacText(answer.mac), "00:1B:82:00:00:01");
            EXPECT_EQ(Ipv4Text(answer.ip), "192.168.1.100");
            EXPECT_EQ(LanStatusText(answer), "Ready");
        } else if (answer.printerName == "DOCK-4") {
            ++dock;
            EXPECT_EQ(Ipv4Text(answer.ip), "10.1.2.3");
            EXPECT_EQ(LanStatusText(answer), "Paper Empty");
        }
        EXPECT_EQ(answer.model, "TV-SIM");
    }
    EXPECT_EQ(front, 2);
    EXPECT_EQ(dock, 2);
    // Both rounds carry the same request, sequence number included.
    const auto received = first->responder->Received();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], received[1]);
    EXPECT_EQ(received[0], BuildDiscoverRequest(5));
    EXPECT_FALSE(client.IsOpen());
}

TEST_F(LanSetupTest, AnswersShorterThanTheHeaderAddNoRow) {
    first->responder->Stop();
    second->responder->Stop();
    SimulatedLanPrinter cut31("127.0.0.2", port, LanIdentity("00:00:00:00:00:31", "A"), 31);
    SimulatedLanPrinter cut32("127.0.0.3", port, LanIdentity("00:00:00:00:00:32", "B"), 32);
    ASSERT_TRUE(cut31.responder->Start());
    ASSERT_TRUE(cut32.responder->Start());
    settings.multicastTargets.clear();
    LanClient client(settings);
    const auto answers = DiscoverLanPrinters(client, 1);
    ASSERT_TRUE(answers.has_value());
    ASSERT_EQ(answers->size(), 1u);
    EXPECT_EQ(MacText((*answers)[0].mac), "00:00:00:00:00:32");
    EXPECT_EQ((*answers)[0].printerName, "");
}

TEST_F(LanSetupTest, SilenceEndsDiscoveryAfterOneWaitPerRound) {
    settings.broadcastTargets = {QHostAddress("127.0.0.9")};
    settings.multicastTargets = {QHostAddress("127.0.0.9")};
    LanClient client(settings);
    QElapsedTimer timer;
    timer.start();
    const auto answers = DiscoverLanPrinters(client, 1);
    ASSERT_TRUE(answers.has_value());
    EXPECT_TRUE(answers->empty());
    EXPECT_GE(timer.elapsed(), 2 * settings.discoveryWaitMs - 50);
}

TEST_F(LanSetupTest, FactoryDefaultReachesOnlyTheAddressedPrinter) {
    {
        auto lock = first->printer.Lock();
        first->net->UseFixedAddress("10.9.9.9", "255.255.0.0", "10.9.0.1");
        first->net->name = "RENAMED";
    }
    LanClient client(settings);
    ASSERT_TRUE(SendLanFactoryDefault(client, 4, Mac("00:1B:82:00:00:01")));
    // Both got the request; only the addressed one acts on it.
    for (int i = 0; i < 200 && (first->responder->FactoryDefaults() == 0 ||
                                second->responder->Received().empty());
         ++i)
        QThread::msleep(10);
    EXPECT_EQ(first->responder->FactoryDefaults(), 1);
    ASSERT_EQ(second->responder->Received().size(), 1u);
    auto lock = first->printer.Lock();
    EXPECT_TRUE(first->net->dhcp);
    EXPECT_EQ(first->net->name, "FRONT-DESK");
    EXPECT_EQ(second->responder->FactoryDefaults(), 0);
    EXPECT_FALSE(second->net->dhcp);
    EXPECT_EQ(second->responder->Received().at(0),
              BuildFactoryDefaultRequest(4, Mac("00:1B:82:00:00:01")));
}

TEST_F(LanSetupTest, ReadFillsTheRecordFromBothAnswers) {
    PrinterNetConfig config{};
    LanClient client(settings);
    ASSERT_TRUE(client.Open());
    ReadLanNetConfig(client, 2, Mac("00:1B:82:00:00:02"), config);
    EXPECT_STREQ(config.ipAddress, "10.1.2.3");
    EXPECT_STREQ(config.lastUsedIp, "10.1.2.3");
    EXPECT_STREQ(config.subnetMask, "255.0.0.0");
    EXPECT_STREQ(config.gateway, "10.0.0.1");
    EXPECT_EQ(config.dhcp, 0);

    ReadLanNetConfig(client, 2, Mac("00:1B:82:00:00:01"), config);
    EXPECT_STREQ(config.ipAddress, "192.168.1.100");
    EXPECT_EQ(config.dhcp, 1);
}

TEST_F(LanSetupTest, UnansweredReadLeavesTheRecordAsItWas) {
    PrinterNetConfig config{};
    StoreFixedBytes(config.ipAddress, "1.1.1.1");
    config.dhcp = 0;
    LanClient client(settings);
    ASSERT_TRUE(client.Open());
    QElapsedTimer timer;
    timer.start();
    ReadLanNetConfig(client, 2, Mac("00:00:00:00:00:99"), config);
    EXPECT_GE(timer.elapsed(), 2 * settings.answerWaitMs - 50);
    EXPECT_STREQ(config.ipAddress, "1.1.1.1");
    EXPECT_EQ(config.dhcp, 0);
}

TEST_F(LanSetupTest, WritesSetAFixedAddressAndNameAtTheCommit) {
    PrinterNetConfig config{};
    StoreFixedBytes(config.ipAddress, "172.20.0.5");
    StoreFixedBytes(config.subnetMask, "255.255.0.0");
    StoreFixedBytes(config.gateway, "172.20.0.1");
    StoreFixedBytes(config.printerName, "PACKING");
    config.dhcp = 0;
    LanClient client(settings);
    ASSERT_TRUE(client.Open());
    const MacAddress mac = Mac("00:1B:82:00:00:01");
    EXPECT_EQ(WriteLanNetConfig(client, 8, mac, config), LanWriteResult::Sent);
    {
        auto lock = first->printer.Lock();
        EXPECT_FALSE(first->net->dhcp);
        EXPECT_EQ(first->net->ip, "172.20.0.5");
        EXPECT_EQ(first->net->mask, "255.255.0.0");
        EXPECT_EQ(first->net->gateway, "172.20.0.1");
        EXPECT_EQ(first->net->name, "PACKING");
    }
    const auto received = first->responder->Received();
    ASSERT_EQ(received.size(), 4u);
    LanWriteBuffer expected;
    EXPECT_EQ(received[0], std::vector<uint8_t>(expected.WriteName(8, mac, "PACKING").begin(),
                                                expected.WriteName(8, mac, "PACKING").end()));
    for (const auto& datagram : received)
        EXPECT_EQ(datagram.size(), 1064u);
    EXPECT_EQ(received[3][34], 7);
    EXPECT_EQ(received[3][176], 'P');
    EXPECT_EQ(received[3][942], 1);
    // The other printer saw the writes and kept its settings.
    auto lock = second->printer.Lock();
    EXPECT_EQ(second->net->ip, "10.1.2.3");
    EXPECT_EQ(second->net->name, "DOCK-4");
}

TEST_F(LanSetupTest, AFixedAddressThatIsNoAddressSendsNothing) {
    PrinterNetConfig config{};
    StoreFixedBytes(config.ipAddress, "printer-7");
    StoreFixedBytes(config.subnetMask, "255.255.0.0");
    StoreFixedBytes(config.gateway, "172.20.0.1");
    config.dhcp = 0;
    LanClient client(settings);
    ASSERT_TRUE(client.Open());
    std::string bad;
    EXPECT_EQ(WriteLanNetConfig(client, 8, Mac("00:1B:82:00:00:01"), config, &bad),
              LanWriteResult::InvalidAddress);
    EXPECT_EQ(bad, "printer-7");
    StoreFixedBytes(config.ipAddress, "172.20.0.5");
    StoreFixedBytes(config.gateway, "");
    EXPECT_EQ(WriteLanNetConfig(client, 8, Mac("00:1B:82:00:00:01"), config, &bad),
              LanWriteResult::InvalidAddress);
    EXPECT_EQ(bad, "");
    // A marker request for no printer: once it arrived, nothing was sent before it.
    ASSERT_TRUE(SendLanFactoryDefault(client, 9, MacAddress{}));
    ASSERT_TRUE(WaitUntil([&] { return !first->responder->Received().empty(); }));
    EXPECT_EQ(first->responder->Received().size(), 1u);
}

TEST_F(LanSetupTest, DhcpIgnoresUnreadableAddressTexts) {
    {
        auto lock = second->printer.Lock();
        EXPECT_FALSE(second->net->dhcp);
    }
    PrinterNetConfig config{};
    config.dhcp = 1;
    StoreFixedBytes(config.printerName, "DOCK-5");
    LanClient client(settings);
    ASSERT_TRUE(client.Open());
    EXPECT_EQ(WriteLanNetConfig(client, 8, Mac("00:1B:82:00:00:02"), config), LanWriteResult::Sent);
    const auto received = second->responder->Received();
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(std::vector<uint8_t>(received[1].begin() + 69, received[1].begin() + 81),
              std::vector<uint8_t>(12, 0));
    auto lock = second->printer.Lock();
    EXPECT_TRUE(second->net->dhcp);
    EXPECT_EQ(second->net->name, "DOCK-5");
}
