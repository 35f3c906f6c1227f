#include "VirtualPrinter.h"
#include "config/PrinterConfig.h"
#include "dispatch/Dispatch.h"
#include "Faults.h"
#include "LoopbackLink.h"
#include "MemoryModule.h"
#include "operations/MemoryRecords.h"
#include "operations/PasswordOperations.h"
#include "operations/PrinterStatus.h"
#include "operations/ReplyReaders.h"
#include "SimPeer.h"

#include <QHostAddress>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryFile>

#include <gtest/gtest.h>

namespace {

// Feeds the bytes in pieces of the given size and collects every answer.
std::string FeedInPieces(sim::VirtualPrinter& printer, const std::string& bytes, size_t piece) {
    std::string answer;
    for (size_t at = 0; at < bytes.size(); at += piece)
        answer += printer.Receive(std::string_view(bytes).substr(at, piece));
    return answer;
}

TEST(VirtualPrinter, SplitsCommandsTheSameWayHoweverTheBytesArrive) {
    const std::string input = "\r\nDIAGNOSTIC INTERFACE NET\r\n\x1b!?\x1b!S\r\nDIAGNOSTIC REPORT "
                              "SPEED\r\nOUT _SERIAL$\r\n"
                              "DIAGNOSTIC REPORT NOSUCHKEY\r\n\x1bZ\r\n";
    std::string first;
    for (size_t piece : {input.size(), size_t(1), size_t(2), size_t(5), size_t(7)}) {
        sim::VirtualPrinter printer;
        printer.statusByte = 0x44;
        printer.extendedStatus[4] = 0x08;
        printer.serialNumber = "AB123";
        printer.SetReportValue("SPEED", "4.0");
        const std::string answer = FeedInPieces(printer, input, piece);
        static const char kAnswer[] = "{3|NET}\x44\0\0\0\0\x08\0\0\0{3|4.0}AB123\r\n";
        EXPECT_EQ(answer, std::string(kAnswer, sizeof kAnswer - 1)) << piece;
        EXPECT_EQ(printer.Received(), input);
        EXPECT_EQ(printer.Commands(),
                  (std::vector<std::string>{"DIAGNOSTIC INTERFACE NET", "\x1b!?", "\x1b!S\r\n",
                                            "DIAGNOSTIC REPORT SPEED", "OUT _SERIAL$",
                                            "DIAGNOSTIC REPORT NOSUCHKEY", "\x1bZ\r\n"}))
            << piece;
    }
}

TEST(VirtualPrinter, OlderFirmwareLeavesTheExtendedStatusAndUnknownKeysUnanswered) {
    sim::VirtualPrinter printer;
    printer.answersExtendedStatus = false;
    printer.SetReportValue("DPI", "203");
    EXPECT_EQ(printer.Receive("\x1b!S\r\n"), "");
    EXPECT_EQ(printer.Receive("DIAGNOSTIC REPORT DPI\r\n"), "{3|203}");
    printer.RemoveReportKey("DPI");
    EXPECT_EQ(printer.Receive("DIAGNOSTIC REPORT DPI\r\n"), "");
}

TEST(VirtualPrinter, RecognizersTakeBinaryDataThatFollowsAHeader) {
    sim::VirtualPrinter printer;
    std::string stored;
    // A header "BLOB n," followed by n raw bytes, which may hold line ends.
    printer.AddRecognizer([&](sim::VirtualPrinter&, std::string_view pending, std::string& reply) {
        if (pending.substr(0, 5) !=
            std::string_view("BLOB ").substr(0, std::min<size_t>(5, pending.size())))
            return sim::Match::None();
        const size_t comma = pending.find(',');
        if (comma == std::string_view::npos)
            return sim::Match::More();
        const size_t n = std::stoul(std::string(pending.substr(5, comma - 5)));
        if (pending.size() < comma + 1 + n)
            return sim::Match::More();
        stored = std::string(pending.substr(comma + 1, n));
        reply += "ok";
        return sim::Match::Took(comma + 1 + n);
    });
    static const char kInput[] = "BLOB 6,a\r\nb\0c\x1b!?";
    const std::string input(kInput, sizeof kInput - 1);
    EXPECT_EQ(FeedInPieces(printer, input, 1), std::string("ok\0", 3));
    EXPECT_EQ(stored, std::string("a\r\nb\0c", 6));
}

TEST(TcpServer, AClientThatLeavesMidDownloadDoesNotTurnTheNextClientsCommandsIntoData) {
    SimPeer peer(500);
    peer.printer.AddModule<sim::MemoryModule>();
    QTcpSocket leaving;
    leaving.connectToHost(QHostAddress::LocalHost, peer.server.Port());
    ASSERT_TRUE(leaving.waitForConnected(2000));
    leaving.write("DOWNLOAD \"A.TXT\",100,abc");
    ASSERT_TRUE(leaving.waitForBytesWritten(2000));
    ASSERT_TRUE(WaitUntil([&] { return peer.printer.ReceivedCount() == 24; }));
    leaving.disconnectFromHost();

    MemoryInfo info{};
    EXPECT_EQ(Dispatch(peer.link, OpReadMemoryInfo, InterfaceEthernet, &info), LinkOk);
    EXPECT_STREQ(info.areas[0].fileList, "");
}

TEST(Faults, RewriteFramesButLeaveOtherBytesAlone) {
    sim::Faults faults;
    EXPECT_EQ(sim::ApplyReplyFaults(faults, "{2|ab}"), "{2|ab}");
    faults.garbageBeforeReply = "zz";
    faults.frameLengthSurplus = 3;
    EXPECT_EQ(sim::ApplyReplyFaults(faults, "\x05{2|ab}{0|}"), "zz\x05{5|ab}{3|}");
    faults.frameLengthSurplus = 0;
    faults.wrongFrameEnd = ']';
    EXPECT_EQ(sim::ApplyReplyFaults(faults, "{2|}}}"), "zz{2|}}]");
    EXPECT_EQ(sim::ApplyReplyFaults(faults, ""), "");
}

TEST(FramingFaults, GarbageIsSkippedButLyingOrBadlyEndedFramesFailTheRead) {
    SimPeer peer(300);
    peer.printer.SetReportValue("EDITION", "103");
    auto query = [&] {
        LinkSession session(peer.link, InterfaceEthernet);
        char buffer[64];
        int length = 0;
        const LinkError e =
            QueryFramed(session, "DIAGNOSTIC REPORT EDITION\r\n", buffer, 64, &length);
        return e == LinkOk ? std::string(buffer, static_cast<size_t>(length))
                           : "error " + std::to_string(e);
    };
    peer.SetFaults([](sim::Faults& f) { f.garbageBeforeReply = "\r\n#}|9"; });
    EXPECT_EQ(query(), "103");
    peer.SetFaults([](sim::Faults& f) {
        f.garbageBeforeReply.clear();
        f.trickleDelayMs = 2;
    });
    EXPECT_EQ(query(), "103");
    peer.SetFaults([](sim::Faults& f) {
        f.trickleDelayMs = 0;
        f.frameLengthSurplus = 4;
    });
    EXPECT_EQ(query(), "error 3");
    peer.SetFaults([](sim::Faults& f) {
        f.frameLengthSurplus = 0;
        f.wrongFrameEnd = ')';
    });
    EXPECT_EQ(query(), "error 3");
}

TEST(SimulatorExecutable, AnswersTheStatusQueryOnTheTcpPortItReports) {
    QProcess process;
    process.start(QStringLiteral(TARNVIK_SIM_EXECUTABLE),
                  {"--tcp", "127.0.0.1:0", "--status", "36", "--extended-status", "12"});
    ASSERT_TRUE(process.waitForStarted(5000));
    ASSERT_TRUE(process.waitForReadyRead(5000));
    const QString line = QString::fromLocal8Bit(process.readLine());
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^TCP 127\\.0\\.0\\.1:(\\d+)")).match(line);
    ASSERT_TRUE(match.hasMatch()) << line.toStdString();

    LoopbackLink target(static_cast<uint16_t>(match.captured(1).toInt()));
    PrinterLink& link = target.link;
    link.Timeouts().netMs = 2000;
    PrinterStatus status{};
    EXPECT_EQ(Dispatch(link, OpQueryStatus, InterfaceEthernet, &status), LinkOk);
    EXPECT_EQ(status.flags[StatusOutOfPaper], 1);
    EXPECT_EQ(status.flags[StatusPrinting], 1);
    EXPECT_EQ(status.flags[StatusRibbonEncoderError], 1);
    process.terminate();
    EXPECT_TRUE(process.waitForFinished(5000));
    EXPECT_EQ(process.exitCode(), 0);
}

TEST(SimulatorExecutable, StartsWithTheChosenEditionPasswordAndFiles) {
    QTemporaryFile content;
    ASSERT_TRUE(content.open());
    content.write("PRINT 1\r\n");
    content.close();
    QProcess process;
    process.start(QStringLiteral(TARNVIK_SIM_EXECUTABLE),
                  {"--tcp", "127.0.0.1:0", "--edition", "102", "--dpi", "300", "--password",
                   "secret", "--file", "FLASH:AUTO.BAS=" + content.fileName()});
    ASSERT_TRUE(process.waitForReadyRead(5000));
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("^TCP [0-9.]+:(\\d+)"))
                                              .match(QString::fromLocal8Bit(process.readLine()));
    ASSERT_TRUE(match.hasMatch());

    LoopbackLink target(static_cast<uint16_t>(match.captured(1).toInt()));
    PrinterLink& link = target.link;
    link.Timeouts().netMs = 2000;
    link.Timeouts().listFramePauseMs = 1;

    std::vector<char> password(kPasswordTextCapacity);
    EXPECT_EQ(Dispatch(link, OpReadPasswordState, InterfaceEthernet, password.data()), LinkOk);
    EXPECT_STREQ(password.data(), "secret");
    auto memory = std::make_unique<MemoryInfo>();
    EXPECT_EQ(Dispatch(link, OpReadMemoryInfo, InterfaceEthernet, memory.get()), LinkOk);
    EXPECT_NE(std::strstr(memory->areas[MemoryFlash].fileList, "AUTO.BAS"), nullptr);
    PrinterConfig config;
    SetConfigDefaults(config);
    EXPECT_EQ(Dispatch(link, OpReadConfiguration, InterfaceEthernet, &config), LinkOk);
    const int32_t dpi = config.Dpi;
    const int32_t edition = config.Edition;
    EXPECT_EQ(dpi, 300);
    EXPECT_EQ(edition, 102);
    process.terminate();
    EXPECT_TRUE(process.waitForFinished(5000));
}

TEST(SimulatorExecutable, DocumentsItsOptions) {
    QProcess process;
    process.start(QStringLiteral(TARNVIK_SIM_EXECUTABLE), {"--help"});
    ASSERT_TRUE(process.waitForFinished(5000));
    const QString help = QString::fromLocal8Bit(process.readAllStandardOutput());
    for (const char* option : {"--tcp", "--pty", "--fifo", "--refuse", "--silent", "--close-after",
                               "--garbage", "--frame-surplus", "--edition", "--dpi", "--password",
                               "--file", "--wrong-frame-end", "--trickle"})
        EXPECT_TRUE(help.contains(QLatin1String(option))) << option;
    EXPECT_EQ(process.exitCode(), 0);
}

TEST(SimulatorExecutable, RefusesNumbersItCannotUseWithAMessage) {
    const QList<QStringList> cases = {
        {"--dpi", "x"},       {"--dpi", "0"},           {"--status", "256"},
        {"--trickle", "5ms"}, {"--tcp", "127.0.0.1:x"}, {"--edition", "99999999999999999999"}};
    for (const QStringList& arguments : cases) {
        QProcess process;
        process.start(QStringLiteral(TARNVIK_SIM_EXECUTABLE), arguments);
        ASSERT_TRUE(process.waitForFinished(5000)) << arguments.join(' ').toStdString();
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(QString::fromLocal8Bit(process.readAllStandardError()).contains(arguments[0]))
            << arguments.join(' ').toStdString();
    }
}

} // namespace
