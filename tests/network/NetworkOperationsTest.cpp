#include "dispatch/Dispatch.h"
#include "NetModule.h"
#include "operations/PrinterNetConfig.h"
#include "SimPeer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A printer on TCP 127.0.0.1 with its network interface.
class NetworkOperations : public ::testing::Test {
protected:
    NetworkOperations() : net(peer.printer.AddModule<sim::NetModule>()) {}

    PrinterNetConfig Filled() {
        PrinterNetConfig config;
        std::memset(&config, 'k', sizeof config);
        StoreFixedBytes(config.macAddress, "kept");
        StoreFixedBytes(config.subnetMask, "kept");
        config.action = 7;
        config.apply = 9;
        return config;
    }

    SimPeer peer;
    sim::NetModule& net;
};

TEST_F(NetworkOperations, ReadOfADhcpPrinterAsksTheSixReportsInOrder) {
    PrinterNetConfig config = Filled();
    ASSERT_EQ(Dispatch(peer.link, OpReadNetSettings, InterfaceEthernet, &config), LinkOk);
    EXPECT_EQ(config.dhcp, 1);
    EXPECT_STREQ(config.ipAddress, "0.0.0.0");
    EXPECT_STREQ(config.subnetMask, "255.255.255.0");
    EXPECT_STREQ(config.gateway, "0.0.0.0");
    EXPECT_STREQ(config.lastUsedIp, "192.168.1.100");
    EXPECT_STREQ(config.printerName, "PS-000001");
    EXPECT_STREQ(config.macAddress, "00:1B:82:00:00:01");
    // The dialog's fields are not the operation's business.
    EXPECT_EQ(int32_t(config.action), 7);
    EXPECT_EQ(config.apply, 9);
    EXPECT_EQ(peer.printer.Commands(),
              (std::vector<std::string>{"DIAGNOSTIC INTERFACE NET", "DIAGNOSTIC REPORT CONFIGIP",
                                        "DIAGNOSTIC REPORT GATEWAY", "DIAGNOSTIC REPORT IPMASK",
                                        "DIAGNOSTIC REPORT LASTUSEDIP", "DIAGNOSTIC REPORT NETNAME",
                                        "DIAGNOSTIC REPORT MACADDR"}));
}

TEST_F(NetworkOperations, OnlyExactlyZeroAddressMeansDhcp) {
    const struct {
        const char* configIp;
        uint8_t dhcp;
    } cases[] = {{"0.0.0.0", 1}, {"0.0.0.0.1", 0}, {"0.0.0.00", 0}, {"10.0.0.8", 0}, {"", 0}};
    for (const auto& c : cases) {
        peer.printer.SetReportValue("CONFIGIP", c.configIp);
        PrinterNetConfig config = Filled();
        ASSERT_EQ(Dispatch(peer.link, OpReadNetSettings, InterfaceEthernet, &config), LinkOk);
        EXPECT_EQ(config.dhcp, c.dhcp) << c.configIp;
        EXPECT_STREQ(config.ipAddress, c.configIp);
    }
}

TEST_F(NetworkOperations, NameAndMacReportsAreOptional) {
    {
        auto lock = peer.printer.Lock();
        net.reportsName = false;
    }
    PrinterNetConfig config = Filled();
    ASSERT_EQ(Dispatch(peer.link, OpReadNetSettings, InterfaceEthernet, &config), LinkOk);
    EXPECT_STREQ(config.printerName, "");
    EXPECT_STREQ(config.macAddress, "kept");
    EXPECT_STREQ(config.lastUsedIp, "192.168.1.100");

    {
        auto lock = peer.printer.Lock();
        net.reportsName = true;
        net.reportsMac = false;
    }
    config = Filled();
    ASSERT_EQ(Dispatch(peer.link, OpReadNetSettings, InterfaceEthernet, &config), LinkOk);
    EXPECT_STREQ(config.printerName, "PS-000001");
    EXPECT_STREQ(config.macAddress, "");
}

TEST_F(NetworkOperations, AMissingAddressReportFailsAndKeepsWhatWasRead) {
    peer.printer.RemoveReportKey("IPMASK");
    PrinterNetConfig config = Filled();
    EXPECT_EQ(Dispatch(peer.link, OpReadNetSettings, InterfaceEthernet, &config),
              LinkReceivingError);
    EXPECT_STREQ(config.ipAddress, "0.0.0.0");
    EXPECT_STREQ(config.gateway, "0.0.0.0");
    EXPECT_STREQ(config.subnetMask, "kept");
    EXPECT_EQ(config.lastUsedIp[0], 'k');
}

TEST_F(NetworkOperations, AHangUpAtEachExchangeGivesItsCodeAndKeepsWhatWasRead) {
    const std::string commands[] = {
        "\r\nDIAGNOSTIC INTERFACE NET\r\n", "DIAGNOSTIC REPORT CONFIGIP\r\n",
        "DIAGNOSTIC REPORT GATEWAY\r\n",    "DIAGNOSTIC REPORT IPMASK\r\n",
        "DIAGNOSTIC REPORT LASTUSEDIP\r\n", "DIAGNOSTIC REPORT NETNAME\r\n",
    };
    long sent = 0;
    for (size_t exchange = 0; exchange < std::size(commands); ++exchange) {
        // The printer hangs up once this exchange's command has come in whole.
        sent += static_cast<long>(commands[exchange].size());
        peer.SetFaults([&](sim::Faults& f) { f.closeAfterBytes = sent; });
        PrinterNetConfig config = Filled();
        const LinkError result = Dispatch(peer.link, OpReadNetSettings, InterfaceEthernet, &config);
        if (exchange == 5) {
            // The name report is optional: its loss still gives a complete read.
            EXPECT_EQ(result, LinkOk);
            EXPECT_STREQ(config.printerName, "");
        } else {
            EXPECT_TRUE(result == LinkReceivingError || result == LinkTransmissionError)
                << exchange << " gave " << result;
        }
        // The fields of the exchanges before the hang-up are in; the rest are as they were.
        if (exchange >= 2) {
            EXPECT_STREQ(config.ipAddress, "0.0.0.0") << exchange;
        } else {
            EXPECT_EQ(config.ipAddress[0], 'k') << exchange;
        }
        EXPECT_STREQ(config.subnetMask, exchange >= 4 ? "255.255.255.0" : "kept") << exchange;
        EXPECT_STREQ(config.macAddress, "kept") << exchange;
        EXPECT_EQ(config.apply, 9);
    }
}

TEST_F(NetworkOperations, LongRepliesAreCutToTheFieldsSixtyThreeCharacters) {
    const std::string longName(300, 'n');
    {
        auto lock = peer.printer.Lock();
        net.name = longName;
    }
    PrinterNetConfig config = Filled();
    ASSERT_EQ(Dispatch(peer.link, OpReadNetSettings, InterfaceEthernet, &config), LinkOk);
    EXPECT_EQ(std::string(config.printerName), longName.substr(0, 63));
    EXPECT_STREQ(config.macAddress, "00:1B:82:00:00:01");
}

TEST_F(NetworkOperations, SetAddressSendsDhcpOnlyForAFlagOfExactlyOne) {
    PrinterNetConfig config{};
    StoreFixedBytes(config.ipAddress, "10.4.0.20");
    StoreFixedBytes(config.subnetMask, "255.255.0.0");
    StoreFixedBytes(config.gateway, "10.4.0.1");
    const struct {
        uint8_t dhcp;
        const char* sent;
    } cases[] = {
        {1, "NET DHCP\r\n"},
        {0, "NET IP \"10.4.0.20\",\"255.255.0.0\",\"10.4.0.1\"\r\n"},
        {2, "NET IP \"10.4.0.20\",\"255.255.0.0\",\"10.4.0.1\"\r\n"},
    };
    for (const auto& c : cases) {
        peer.printer.ClearReceived();
        config.dhcp = c.dhcp;
        ASSERT_EQ(Dispatch(peer.link, OpSetNetAddress, InterfaceEthernet, &config), LinkOk);
        ASSERT_TRUE(WaitUntil([&] { return peer.printer.Received() == c.sent; }))
            << peer.printer.Received();
        auto lock = peer.printer.Lock();
        EXPECT_EQ(net.dhcp, c.dhcp == 1);
        if (c.dhcp != 1) {
            EXPECT_EQ(net.ip, "10.4.0.20");
            EXPECT_EQ(net.gateway, "10.4.0.1");
        }
    }
}

TEST_F(NetworkOperations, SetNameSendsOnlyTheName) {
    PrinterNetConfig config{};
    config.dhcp = 0;
    StoreFixedBytes(config.ipAddress, "10.4.0.20");
    StoreFixedBytes(config.printerName, "BAY 3");
    ASSERT_EQ(Dispatch(peer.link, OpSetNetName, InterfaceEthernet, &config), LinkOk);
    ASSERT_TRUE(WaitUntil([&] { return peer.printer.Received() == "NET NAME \"BAY 3\"\r\n"; }))
        << peer.printer.Received();
    auto lock = peer.printer.Lock();
    EXPECT_EQ(net.name, "BAY 3");
    EXPECT_TRUE(net.dhcp);
}

TEST_F(NetworkOperations, AClosedPortFailsToOpenAndNothingIsStored) {
    peer.server.Stop();
    PrinterNetConfig config = Filled();
    const PrinterNetConfig before = config;
    EXPECT_EQ(Dispatch(peer.link, OpReadNetSettings, InterfaceEthernet, &config),
              LinkPortOpenError);
    EXPECT_EQ(std::memcmp(&config, &before, sizeof config), 0);
    EXPECT_EQ(Dispatch(peer.link, OpSetNetAddress, InterfaceEthernet, &config), LinkPortOpenError);
    EXPECT_EQ(Dispatch(peer.link, OpSetNetName, InterfaceEthernet, &config), LinkPortOpenError);
}

TEST(PrinterNetConfigDefaults, StartOnDhcpWithZeroAddresses) {
    PrinterNetConfig config;
    std::memset(&config, 'x', sizeof config);
    SetNetConfigDefaults(config);
    EXPECT_EQ(config.dhcp, 1);
    EXPECT_STREQ(config.ipAddress, "0.0.0.0");
    EXPECT_STREQ(config.subnetMask, "0.0.0.0");
    EXPECT_STREQ(config.gateway, "0.0.0.0");
    EXPECT_STREQ(config.lastUsedIp, "0.0.0.0");
    EXPECT_STREQ(config.printerName, "");
    EXPECT_STREQ(config.macAddress, "");
    EXPECT_EQ(config.apply, 0);
}

} // namespace
