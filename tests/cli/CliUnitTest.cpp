#include "CanaryRollout.h"
#include "ConfigDiff.h"
#include "link/LinkAddress.h"
#include "PrinterJobs.h"
#include "ProgressLine.h"
#include "ResultOutput.h"

#include "dispatch/PasswordCheck.h"
#include "link/PrinterLink.h"
#include "link/ProgressWindow.h"
#include "link/SerialChoices.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

TEST(LinkAddressTest, NamesEachKindOfLink) {
    QString error;
    std::optional<LinkAddress> usb = ParseLinkAddress(QStringLiteral("usb"), &error);
    ASSERT_TRUE(usb);
    EXPECT_EQ(usb->kind, InterfaceUsb);

    std::optional<LinkAddress> tcp = ParseLinkAddress(QStringLiteral("tcp:127.0.0.1:9200"), &error);
    ASSERT_TRUE(tcp);
    EXPECT_EQ(tcp->kind, InterfaceEthernet);
    EXPECT_STREQ(tcp->net.address, "127.0.0.1");
    EXPECT_EQ(tcp->net.port, 9200);
    EXPECT_EQ(ParseLinkAddress(QStringLiteral("tcp:printer-7"), &error)->net.port, 9100);
    std::optional<LinkAddress> v6 = ParseLinkAddress(QStringLiteral("tcp:[::1]:9101"), &error);
    ASSERT_TRUE(v6);
    EXPECT_STREQ(v6->net.address, "::1");
    EXPECT_EQ(v6->net.port, 9101);

    std::optional<LinkAddress> com =
        ParseLinkAddress(QStringLiteral("com:/dev/ttyUSB0,115200,7,e,2"), &error);
    ASSERT_TRUE(com) << error.toStdString();
    EXPECT_EQ(com->kind, InterfaceCom);
    EXPECT_STREQ(com->com.portName, "/dev/ttyUSB0");
    EXPECT_EQ(kSerialBaudRates.At(com->com.baudIndex).value, 115200);
    EXPECT_EQ(com->com.dataBitsIndex, 0);
    EXPECT_EQ(com->com.parityIndex, 2);
    EXPECT_EQ(com->com.stopBitsIndex, 2);
    // Without options the factory's serial settings stay.
    EXPECT_EQ(
        kSerialBaudRates.At(ParseLinkAddress(QStringLiteral("com:COM2"), &error)->com.baudIndex)
            .value,
        9600);

    std::optional<LinkAddress> lpt = ParseLinkAddress(QStringLiteral("lpt:/dev/usb/lp0"), &error);
    ASSERT_TRUE(lpt);
    EXPECT_EQ(lpt->kind, InterfaceLpt);
    EXPECT_STREQ(lpt->lpt.text, "/dev/usb/lp0");
}

TEST(LinkAddressTest, RefusesWhatNoLinkCanOpen) {
    for (const char* text :
         {"", "usb:1", "tcp:", "tcp:host:0", "tcp:host:70000", "tcp:host:x",
          "com:", "com:COM1,9601", "com:COM1,9600,9", "com:COM1,9600,8,x", "com:COM1,9600,8,n,3",
          "com:COM1,9600,8,n,1,rts", "com:COM1,", "com:COM1,+9600", "com: COM1", "com:CO\tM1",
          "lpt:", "lpt:/dev/lp0\n", "lpt: /dev/lp0", "serial:COM1", "tcp:[::1",
          "com:a-name-of-twenty-four-by",
          // More than one colon without brackets, ports that are not plain decimals.
          "tcp:10.0.0.5:9100:", "tcp:printer:80:90", "tcp:printer:+80", "tcp:printer:080",
          "tcp:printer: 80", "tcp:printer:", "tcp:::1", "tcp:fe80::1:9100", "tcp:printer:65536",
          // Hosts that are neither a name, a dotted IPv4 address nor a bracketed IPv6 one.
          "tcp:10.0.0.256", "tcp:10.0.5", "tcp:10.0.0.05", "tcp:-printer", "tcp:print_er",
          "tcp:printer..dock", "tcp:printer.", "tcp:pr inter", "tcp:[10.0.0.5]:9100",
          "tcp:[::1]9100", "tcp:[::1]:", "tcp:[printer]", "tcp:[]"}) {
        QString error;
        const QString link = QString::fromLatin1(text);
        EXPECT_FALSE(ParseLinkAddress(link, &error)) << text;
        EXPECT_TRUE(error.startsWith(link + QStringLiteral(": "))) << text;
        EXPECT_GT(error.size(), link.size() + 2) << text;
    }
    for (const char* text : {"tcp:printer-7.dock.example:9100", "tcp:10.0.0.5", "tcp:[fe80::1]",
                             "tcp:PRINTER:65535", "TCP:a:1", "lpt:LPT1", "com:COM3,19200,8"})
        EXPECT_TRUE(ParseLinkAddress(QString::fromLatin1(text), nullptr)) << text;
    const QString longHost = QStringLiteral("tcp:") + QString(64, QLatin1Char('h'));
    EXPECT_FALSE(ParseLinkAddress(longHost, nullptr));
}

TEST(LinkAddressTest, LinksFileSkipsBlankAndCommentLines) {
    EXPECT_EQ(
        LinkLines(QStringLiteral("tcp:a\n\n  # spare\n usb \r\ncom:COM3\n")),
        QStringList({QStringLiteral("tcp:a"), QStringLiteral("usb"), QStringLiteral("com:COM3")}));
    // A comment may follow a link; a "#" inside a path is the path's own.
    const std::vector<LinkLine> lines = NumberedLinkLines(
        QStringLiteral("# dock\ntcp:a:9100  # left bay\n\nlpt:/dev/lp#2\ttcp:b\t#x\n"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].number, 2);
    EXPECT_EQ(lines[0].text, QStringLiteral("tcp:a:9100"));
    EXPECT_EQ(lines[1].number, 4);
    EXPECT_EQ(lines[1].text, QStringLiteral("lpt:/dev/lp#2\ttcp:b"));
}

TEST(PasswordCheckTest, JudgesAsTheGateDoes) {
    const QByteArray secret("Secret");
    EXPECT_EQ(JudgePassword({}, std::nullopt), PasswordVerdict::NoPassword);
    EXPECT_EQ(JudgePassword({}, QByteArray("anything")), PasswordVerdict::NoPassword);
    EXPECT_EQ(JudgePassword(secret, QByteArray("Secret")), PasswordVerdict::Accepted);
    EXPECT_EQ(JudgePassword(secret, QByteArray("secret")), PasswordVerdict::Refused);
    EXPECT_EQ(JudgePassword(secret, QByteArray("Secret ")), PasswordVerdict::Refused);
    EXPECT_EQ(JudgePassword(secret, QByteArray()), PasswordVerdict::Refused);
    EXPECT_EQ(JudgePassword(secret, std::nullopt), PasswordVerdict::Refused);
    // The word the password dialog leaves behind is no password.
    EXPECT_EQ(JudgePassword(secret, QByteArray("pass")), PasswordVerdict::Refused);
}

TEST(ResultOutputTest, JsonLinesCarryTheResultText) {
    PrinterResult ok{QStringLiteral("tcp:a"), 0, {}, QStringLiteral("ready")};
    PrinterResult refused{QStringLiteral("tcp:b \"x\""), kRefusedByPassword, {}, {}};
    const QList<QByteArray> lines = ResultJsonLines({ok, refused}).split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[2].isEmpty());
    const QJsonObject second = QJsonDocument::fromJson(lines[1]).object();
    EXPECT_EQ(second.value(QStringLiteral("link")).toString(), QStringLiteral("tcp:b \"x\""));
    EXPECT_EQ(second.value(QStringLiteral("result")).toInt(), kRefusedByPassword);
    EXPECT_EQ(second.value(QStringLiteral("resultText")).toString(), QStringLiteral("Incorrect"));
    const QString table = ResultTable({ok, refused});
    EXPECT_TRUE(table.contains(QStringLiteral("tcp:a      OK         ready")));
    EXPECT_TRUE(table.contains(QStringLiteral("Incorrect")));
    // A link that itself reads "%1" is shown as written, not filled in.
    PrinterResult scoped{QStringLiteral("tcp:[::%1]"), 0, {}, QStringLiteral("ready")};
    EXPECT_TRUE(ResultTable({scoped}).contains(QStringLiteral("tcp:[::%1]  OK      ready")));
}

// What a printer reports cannot forge a row or reach the terminal as control sequences;
// the table ends with the count of each result.
TEST(ResultOutputTest, TableEscapesPrinterTextsAndCountsResults) {
    PrinterResult forged{QStringLiteral("tcp:a"),
                         0,
                         {},
                         QStringLiteral("name X\ntcp:10.9.9.9:9100  OK  \x1b[2J\u009b1m\u202e")};
    PrinterResult closed{QStringLiteral("tcp:b"), 1, {}, {}};
    PrinterResult skipped{
        QStringLiteral("tcp:c"), kNotStarted, {}, QStringLiteral("(interrupted)")};
    const QString table = ResultTable({forged, closed, skipped, closed});
    const QStringList lines = table.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 7) << table.toStdString();
    EXPECT_TRUE(
        lines[1].endsWith(QStringLiteral("name X\\ntcp:10.9.9.9:9100  OK  \\x1b[2J\\x9b1m\\u202e")))
        << lines[1].toStdString();
    EXPECT_EQ(lines[5], QStringLiteral("Total 4: 1 OK, 2 Port Open Error, 1 Not Started"));
    EXPECT_TRUE(lines[6].isEmpty());
    // JSON keeps the text as reported; its own escaping makes it safe.
    forged.data[QStringLiteral("name")] = forged.summary;
    const QByteArray json = ResultJsonLines({forged});
    EXPECT_EQ(json.count('\n'), 1);
    EXPECT_EQ(QJsonDocument::fromJson(json)
                  .object()[QStringLiteral("data")][QStringLiteral("name")]
                  .toString(),
              forged.summary);
}

// A canary that fails stops the rest, and every one of them names it and its reason. The
// results grow while the reason is being handed out.
TEST(CanaryRolloutTest, AFailedCanaryStopsTheRestWithItsReason) {
    std::vector<LinkAddress> printers;
    for (int i = 0; i < 4; ++i)
        printers.push_back(
            *ParseLinkAddress(QStringLiteral("tcp:127.0.0.1:%1").arg(1 + i), nullptr));
    std::atomic<int> started{0};
    const std::atomic<bool> cancel{false};
    const FleetRunner runner(2, cancel);
    const std::vector<PrinterResult> results =
        CanaryRollout(1).Run(runner, printers, [&](PrinterLink&, const LinkAddress&) {
            ++started;
            PrinterResult failed;
            failed.code = 1;
            failed.summary = QStringLiteral("Port Open Error");
            return failed;
        });
    EXPECT_EQ(started, 1);
    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[0].code, 1);
    for (size_t i = 1; i < results.size(); ++i) {
        EXPECT_EQ(results[i].link, printers[i].text);
        EXPECT_EQ(results[i].code, kNotStarted);
        EXPECT_EQ(results[i].summary,
                  QStringLiteral("not started: canary tcp:127.0.0.1:1 failed (Port Open Error)"));
        EXPECT_EQ(results[i].data.value(QStringLiteral("stoppedBy")).toString(),
                  QStringLiteral("tcp:127.0.0.1:1"));
    }
}

// The run's cancel flag (the signals' one in the program) keeps every printer not yet begun
// from being contacted.
TEST(FleetRunnerTest, ACancelLeavesThePrintersNotYetBegunUntouched) {
    std::vector<LinkAddress> printers;
    for (int i = 0; i < 3; ++i)
        printers.push_back(
            *ParseLinkAddress(QStringLiteral("tcp:127.0.0.1:%1").arg(1 + i), nullptr));
    std::atomic<bool> cancel{false};
    int started = 0;
    const std::vector<PrinterResult> results =
        FleetRunner(1, cancel).Run(printers, [&](PrinterLink&, const LinkAddress&) {
            ++started;
            cancel = true;
            return PrinterResult{};
        });
    EXPECT_EQ(started, 1);
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].code, 0);
    for (size_t i = 1; i < results.size(); ++i) {
        EXPECT_EQ(results[i].code, kNotStarted);
        EXPECT_TRUE(results[i].data.value(QStringLiteral("interrupted")).toBool());
    }
}

// A write job refuses a record the configuration page could not hold before it opens
// the link, whoever built the record.
TEST(ConfigWriteJobTest, RefusesValuesOutOfRangeWithoutOpeningTheLink) {
    ConfigFileContent content;
    content.Config = DefaultPrinterConfig();
    SetItem(content.Config.Density, 20);
    // Port 1 on loopback refuses: a job that opened the link would fail with 1.
    PrinterLink link;
    const PrinterResult result = ConfigWriteJob(content, {ConfigTabCommon})(
        link, *ParseLinkAddress(QStringLiteral("tcp:127.0.0.1:1"), nullptr));
    EXPECT_EQ(result.code, 5);
    EXPECT_EQ(result.summary, QStringLiteral("File Data Error (Density 20 is outside 0 to 15)"));
}

// The installed udev rule must open exactly the vendors the USB link looks for.
TEST(PackagingTest, UdevRuleGrantsTheLinksUsbVendors) {
    QFile rules(QStringLiteral(TARNVIK_UDEV_RULES));
    ASSERT_TRUE(rules.open(QIODevice::ReadOnly));
    QSet<QByteArray> vendors;
    for (const QByteArray& line : rules.readAll().split('\n')) {
        if (line.startsWith('#') || line.trimmed().isEmpty())
            continue;
        EXPECT_TRUE(line.contains("TAG+=\"uaccess\"")) << line.toStdString();
        const qsizetype at = line.indexOf("idVendor}==\"");
        ASSERT_GE(at, 0) << line.toStdString();
        vendors.insert(line.mid(at + 12, 4));
    }
    EXPECT_EQ(vendors, QSet<QByteArray>({kPrimaryUsbVendorId, kSecondaryUsbVendorId}));
}

TEST(ConfigDiffTest, OnlyWhatWritingWouldChangeDiffers) {
    PrinterConfig file = DefaultPrinterConfig();
    file.Dpi = 203.0f;
    file.ResolutionValid = 1;
    file.InchUnit = 1;
    file.SensorMode = {1, 0};
    file.GapSize = {1, 24.0f};
    file.GapOffset = {1, 0.0f};
    file.Density = {1, 12};
    file.BlineInten = {1, 4};
    file.ZDarkness = {0, 0};
    PrinterConfig printer = file;
    // 24.36 dots is written as the same 0.12 inch; the black-line intensity is not written
    // in gap mode; the file leaves the Z darkness unset; the edition is no setting.
    printer.GapSize.value = 24.36f;
    printer.BlineInten.value = 9;
    printer.ZDarkness = {1, 20};
    printer.Edition = file.Edition + 1;
    const std::vector<int32_t> all = {ConfigTabCommon, ConfigTabZ, ConfigTabD, ConfigTabInterface};
    EXPECT_TRUE(DiffConfig(printer, file, all).empty());

    printer.Density.value = 7;
    printer.GapSize.value = 40.0f;
    const std::vector<ConfigDifference> differences = DiffConfig(printer, file, all);
    ASSERT_EQ(differences.size(), 2u);
    EXPECT_EQ(differences[0].name, QStringLiteral("Density"));
    EXPECT_EQ(differences[0].printer.toInt(), 7);
    EXPECT_EQ(differences[0].file.toInt(), 12);
    EXPECT_EQ(differences[1].name, QStringLiteral("GapSize"));
    EXPECT_EQ(TabsToWrite(differences, all), std::vector<int32_t>{ConfigTabCommon});
    EXPECT_TRUE(DiffConfig(printer, file, {ConfigTabZ}).empty());
}

TEST(ProgressLineTest, ShowsPrintersDoneAndTransfersInPlaceAndClearsItself) {
    char* buffer = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&buffer, &size);
    ASSERT_NE(out, nullptr);
    {
        ProgressLine line(out, QStringLiteral("send"), 2, 2048);
        PrinterLink link;
        line.Attach(link);
        ProgressWindow* window = link.Progress();
        ASSERT_NE(window, nullptr);
        window->ShowProgress(ProgressPercent, 0, 0);
        window->ReportProgress(ProgressPercent, 50);
        EXPECT_EQ(line.Text(),
                  QStringLiteral("send: 0/2 printers done, 1 sending: 1.0 KiB of 2.0 KiB"));
        window->HideProgress();
        line.PrinterDone();
        EXPECT_EQ(line.Text(), QStringLiteral("send: 1/2 printers done"));
    }
    std::fclose(out);
    const std::string written(buffer, size);
    std::free(buffer);
    EXPECT_NE(written.find("\rsend: 0/2 printers done, 1 sending: 0 B of 2.0 KiB\x1b[K"),
              std::string::npos)
        << written;
    EXPECT_NE(written.find("\rsend: 1/2 printers done\x1b[K"), std::string::npos) << written;
    EXPECT_EQ(written.substr(written.size() - 4), "\r\x1b[K");
}
