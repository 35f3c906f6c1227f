#include "dispatch/Dispatch.h"
#include "link/PrinterLink.h"
#include "LoopbackLink.h"
#include "network/LanSetup.h"
#include "operations/PrinterNetConfig.h"

#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// The simulator executable as a demo printer: one printer on TCP and on a LAN address,
// changed over the LAN and read back over TCP.
TEST(SimulatorLan, OnePrinterOnTcpAndLanSharesItsNetworkSettings) {
    QProcess process;
    process.start(QStringLiteral(TARNVIK_SIM_EXECUTABLE),
                  {"--tcp", "127.0.0.1:0", "--lan", "127.0.0.2:0", "--net-name", "DEMO", "--mac",
                   "02:11:22:33:44:55", "--lan-status", "2"});
    ASSERT_TRUE(process.waitForStarted(5000));
    QString output;
    QRegularExpressionMatch tcp;
    QRegularExpressionMatch lan;
    for (int i = 0; i < 50 && !lan.hasMatch(); ++i) {
        process.waitForReadyRead(100);
        output += QString::fromLocal8Bit(process.readAll());
        tcp = QRegularExpression(QStringLiteral("TCP 127\\.0\\.0\\.1:(\\d+)")).match(output);
        lan = QRegularExpression(QStringLiteral("LAN 127\\.0\\.0\\.2:(\\d+) 02:11:22:33:44:55"))
                  .match(output);
    }
    ASSERT_TRUE(tcp.hasMatch() && lan.hasMatch()) << output.toStdString();

    LanClientSettings settings;
    settings.broadcastTargets = {QHostAddress("127.0.0.2")};
    settings.multicastTargets = {QHostAddress("127.0.0.2")};
    settings.port = static_cast<quint16>(lan.captured(1).toUInt());
    settings.bindAddress = QHostAddress::LocalHost;
    settings.discoveryWaitMs = 300;
    settings.answerWaitMs = 1000;
    LanClient client(settings);
    const auto answers = DiscoverLanPrinters(client, 1);
    ASSERT_TRUE(answers.has_value());
    ASSERT_EQ(answers->size(), 2u);
    EXPECT_EQ((*answers)[0].printerName, "DEMO");
    EXPECT_EQ(LanStatusText((*answers)[0]), "Pause");

    PrinterNetConfig change{};
    change.dhcp = 0;
    StoreFixedBytes(change.ipAddress, "10.5.0.9");
    StoreFixedBytes(change.subnetMask, "255.255.255.0");
    StoreFixedBytes(change.gateway, "10.5.0.1");
    StoreFixedBytes(change.printerName, "VIA-LAN");
    ASSERT_TRUE(client.Open());
    ASSERT_EQ(WriteLanNetConfig(client, 2, (*answers)[0].mac, change), LanWriteResult::Sent);
    client.Close();

    LoopbackLink target(static_cast<uint16_t>(tcp.captured(1).toInt()));
    PrinterLink& link = target.link;
    link.Timeouts().netMs = 2000;
    PrinterNetConfig read{};
    ASSERT_EQ(Dispatch(link, OpReadNetSettings, InterfaceEthernet, &read), LinkOk);
    EXPECT_EQ(read.dhcp, 0);
    EXPECT_STREQ(read.ipAddress, "10.5.0.9");
    EXPECT_STREQ(read.gateway, "10.5.0.1");
    EXPECT_STREQ(read.printerName, "VIA-LAN");
    EXPECT_STREQ(read.macAddress, "02:11:22:33:44:55");

    process.terminate();
    EXPECT_TRUE(process.waitForFinished(5000));
    EXPECT_EQ(process.exitCode(), 0);
}

TEST(SimulatorLan, DocumentsItsLanOptions) {
    QProcess process;
    process.start(QStringLiteral(TARNVIK_SIM_EXECUTABLE), {"--help"});
    ASSERT_TRUE(process.waitForFinished(5000));
    const QString help = QString::fromLocal8Bit(process.readAllStandardOutput());
    for (const char* option :
         {"--lan", "--lan-group", "--mac", "--net-name", "--model", "--lan-status", "--lan-flags"})
        EXPECT_TRUE(help.contains(QLatin1String(option))) << option;
}

} // namespace
