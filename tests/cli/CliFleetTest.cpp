// tarnvik-cli against several virtual printers on loopback at once.

#include "CliRun.h"
#include "SimPeer.h"

#include "ClockModule.h"
#include "config/ConfigFile.h"
#include "ConfigModule.h"
#include "FirmwareModule.h"
#include "LanPrinters.h"
#include "MemoryModule.h"
#include "NetModule.h"
#include "PasswordModule.h"
#include "PrinterResult.h"
#include "StandardPrinter.h"
#include "TcpServer.h"
#include "VirtualPrinter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

struct ServedPrinter {
    explicit ServedPrinter(const sim::FirmwareProfile& profile =
                               sim::FirmwareProfile::Of(sim::FirmwareProfile::kStandardEdition)) {
        sim::InstallStandardModules(printer, profile);
        std::string error;
        EXPECT_TRUE(server.Start(&error)) << error;
    }
    QString Link() const { return QStringLiteral("tcp:127.0.0.1:%1").arg(server.Port()); }

    sim::VirtualPrinter printer;
    sim::TcpServer server{printer};
};

// The server stops listening at its next turn once the printer refuses.
bool WaitForRefusal(const ServedPrinter& printer) {
    return WaitUntil([&] {
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.1"), printer.server.Port());
        return !socket.waitForConnected(200);
    });
}

class CliFleetTest : public ::testing::Test {
protected:
    void Serve(int count) {
        for (int i = 0; i < count; ++i)
            printers.push_back(std::make_unique<ServedPrinter>());
    }
    // --link for every printer, short waits and the rest.
    QStringList Args(QStringList command) const {
        for (const auto& printer : printers)
            command << QStringLiteral("--link") << printer->Link();
        return command << QStringLiteral("--timeout") << QStringLiteral("2000");
    }
    // Runs the tool, then waits until every printer has taken what the tool sent, so the
    // checks that follow see the printers' state after the whole run.
    CliRun Run(const QStringList& arguments, const QProcessEnvironment& extra = {}) const {
        CliRun run = RunCli(arguments, extra);
        for (const auto& printer : printers) {
            EXPECT_TRUE(printer->server.WaitUntilTaken()) << printer->Link().toStdString();
        }
        return run;
    }
    QString Path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    void WriteFile(const QString& path, const QByteArray& bytes) const {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir dir;
    std::vector<std::unique_ptr<ServedPrinter>> printers;
};

TEST_F(CliFleetTest, SameConfigurationToFourPrintersInParallelReadsBackEqual) {
    Serve(5);
    // The model printer: its configuration, changed at its panel, is what the fleet gets.
    {
        auto lock = printers[0]->printer.Lock();
        sim::ConfigSettings& model = printers[0]->printer.Module<sim::ConfigModule>()->Settings();
        model.density = 12;
        model.speed = 6.0;
        model.codePage = "1252";
        model.zDarkness = 22;
    }
    const CliRun saved =
        Run({QStringLiteral("config"), QStringLiteral("read"), QStringLiteral("--link"),
             printers[0]->Link(), QStringLiteral("--out"), Path("model.dcf")});
    ASSERT_EQ(saved.exitCode, 0) << saved.out.toStdString() << saved.err.toStdString();
    QFile modelFile(Path("model.dcf"));
    ASSERT_TRUE(modelFile.open(QIODevice::ReadOnly));
    ASSERT_TRUE(DecodeConfigFile(modelFile.readAll()).has_value());

    printers.erase(printers.begin());
    const CliRun written =
        Run(Args({QStringLiteral("config"), QStringLiteral("write"), Path("model.dcf"),
                  QStringLiteral("-j"), QStringLiteral("4"), QStringLiteral("--json")}));
    ASSERT_EQ(written.exitCode, 0) << written.out.toStdString() << written.err.toStdString();
    ASSERT_EQ(written.Objects().size(), 4u);

    for (const auto& printer : printers) {
        auto lock = printer->printer.Lock();
        const sim::ConfigSettings& held = printer->printer.Module<sim::ConfigModule>()->Settings();
        EXPECT_EQ(held.density, 12);
        EXPECT_EQ(held.speed, 6.0);
        EXPECT_EQ(held.codePage, "1252");
        EXPECT_EQ(held.zDarkness, 22);
    }
    const CliRun read =
        Run(Args({QStringLiteral("config"), QStringLiteral("read"), QStringLiteral("--json"),
                  QStringLiteral("--out"), Path("back-{link}.dcf")}));
    ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
    const std::vector<QJsonObject> configs = read.Objects();
    ASSERT_EQ(configs.size(), 4u);
    const QJsonObject first =
        configs[0][QStringLiteral("data")][QStringLiteral("config")].toObject();
    EXPECT_EQ(first[QStringLiteral("Density")].toInt(), 12);
    EXPECT_EQ(first[QStringLiteral("Speed")].toDouble(), 6.0);
    for (size_t i = 0; i < configs.size(); ++i) {
        EXPECT_EQ(configs[i][QStringLiteral("link")].toString(), printers[i]->Link());
        EXPECT_EQ(configs[i][QStringLiteral("data")][QStringLiteral("config")].toObject(), first);
        const QString file = configs[i][QStringLiteral("data")][QStringLiteral("file")].toString();
        EXPECT_TRUE(file.startsWith(Path("back-tcp_127.0.0.1_"))) << file.toStdString();
        EXPECT_EQ(QFileInfo(file).size(), kConfigFileSize);
    }
}

TEST_F(CliFleetTest, ConfigDiffAndWriteIfDifferentTouchOnlyWhatDiffers) {
    Serve(3);
    {
        auto lock = printers[0]->printer.Lock();
        sim::ConfigSettings& model = printers[0]->printer.Module<sim::ConfigModule>()->Settings();
        model.density = 12;
        model.zDarkness = 22;
    }
    ASSERT_EQ(Run({QStringLiteral("config"), QStringLiteral("read"), QStringLiteral("--link"),
                   printers[0]->Link(), QStringLiteral("--out"), Path("model.dcf")})
                  .exitCode,
              0);
    const auto settings = [&](size_t i) -> sim::ConfigSettings& {
        return printers[i]->printer.Module<sim::ConfigModule>()->Settings();
    };
    for (size_t i = 1; i < printers.size(); ++i) {
        auto lock = printers[i]->printer.Lock();
        settings(i).density = i == 1 ? 7 : 12;
        settings(i).zDarkness = i == 2 ? 3 : 22;
    }
    const QStringList diff = Args({QStringLiteral("config"), QStringLiteral("diff"),
                                   Path("model.dcf"), QStringLiteral("-j"), QStringLiteral("3")});
    const CliRun differs = Run(diff + QStringList{QStringLiteral("--json")});
    EXPECT_EQ(differs.exitCode, 1) << differs.err.toStdString();
    std::vector<QJsonObject> rows = differs.Objects();
    ASSERT_EQ(rows.size(), 3u);
    const QJsonObject none = rows[0][QStringLiteral("data")].toObject();
    EXPECT_FALSE(none[QStringLiteral("differs")].toBool());
    EXPECT_TRUE(none[QStringLiteral("differences")].toArray().isEmpty());
    const QJsonArray density =
        rows[1][QStringLiteral("data")][QStringLiteral("differences")].toArray();
    ASSERT_EQ(density.size(), 1);
    EXPECT_EQ(density[0].toObject(),
              QJsonObject({{QStringLiteral("name"), QStringLiteral("Density")},
                           {QStringLiteral("tab"), QStringLiteral("common")},
                           {QStringLiteral("printer"), 7},
                           {QStringLiteral("file"), 12}}));
    const QJsonArray darkness =
        rows[2][QStringLiteral("data")][QStringLiteral("differences")].toArray();
    ASSERT_EQ(darkness.size(), 1);
    EXPECT_EQ(darkness[0][QStringLiteral("name")].toString(), QStringLiteral("ZDarkness"));
    EXPECT_EQ(darkness[0][QStringLiteral("tab")].toString(), QStringLiteral("z"));
    // Only the common tab was asked for: the third printer does not differ there.
    const CliRun common =
        Run(diff + QStringList{QStringLiteral("--tab"), QStringLiteral("common")});
    EXPECT_EQ(common.exitCode, 1);
    EXPECT_TRUE(common.out.contains("Density 7 -> 12")) << common.out.toStdString();
    EXPECT_FALSE(common.out.contains("ZDarkness"));

    for (const auto& printer : printers) {
        auto lock = printer->printer.Lock();
        printer->printer.ClearReceived();
    }
    const CliRun written =
        Run(Args({QStringLiteral("config"), QStringLiteral("write"), Path("model.dcf"),
                  QStringLiteral("--if-different"), QStringLiteral("--json")}));
    ASSERT_EQ(written.exitCode, 0) << written.out.toStdString() << written.err.toStdString();
    rows = written.Objects();
    ASSERT_EQ(rows.size(), 3u);
    const QJsonArray tabs[] = {{}, {ConfigTabCommon}, {ConfigTabZ}};
    for (size_t i = 0; i < rows.size(); ++i) {
        const QJsonObject data = rows[i][QStringLiteral("data")].toObject();
        EXPECT_EQ(data[QStringLiteral("changed")].toBool(), i != 0) << i;
        EXPECT_EQ(data[QStringLiteral("tabs")].toArray(), tabs[i]) << i;
    }
    {
        auto lock = printers[0]->printer.Lock();
        EXPECT_EQ(printers[0]->printer.Received().find("DENSITY 12\r\n"), std::string::npos);
        EXPECT_EQ(settings(1).density, 12);
        EXPECT_EQ(settings(2).zDarkness, 22);
        // The common tab of the third printer was not written.
        EXPECT_EQ(printers[2]->printer.Received().find("DENSITY 12\r\n"), std::string::npos);
    }
    const CliRun same = Run(diff);
    EXPECT_EQ(same.exitCode, 0) << same.out.toStdString();

    {
        auto lock = printers[2]->printer.Lock();
        printers[2]->printer.faults.refuse = true;
    }
    ASSERT_TRUE(WaitForRefusal(*printers[2]));
    EXPECT_EQ(Run(diff).exitCode, 2);
}

// Each printer restarts 300 ms after its firmware and comes back with the file's version.
TEST_F(CliFleetTest, FirmwareCanariesStopTheRunWhenOneDoesNotComeBack) {
    Serve(4);
    for (const auto& printer : printers) {
        auto lock = printer->printer.Lock();
        printer->printer.Module<sim::FirmwareModule>()->restartMs = 300;
    }
    {
        auto lock = printers[1]->printer.Lock();
        printers[1]->printer.faults.deadAfterFirmware = true;
    }
    WriteFile(Path("fw.NEW"), QByteArray::fromStdString(sim::FirmwareModule::FileHeader("2.10", 6) +
                                                        std::string("IMAGE\0", 6)));
    const QStringList firmware = {QStringLiteral("firmware"), Path("fw.NEW"),
                                  QStringLiteral("--wait"),   QStringLiteral("3000"),
                                  QStringLiteral("--json"),   QStringLiteral("--expect-version")};
    const auto imagesTaken = [&](size_t i) {
        auto lock = printers[i]->printer.Lock();
        return printers[i]->printer.Module<sim::FirmwareModule>()->imagesTaken;
    };

    const CliRun stopped =
        Run(Args(firmware + QStringList{QStringLiteral("2.10"), QStringLiteral("--canary"),
                                        QStringLiteral("2")}));
    EXPECT_EQ(stopped.exitCode, 1) << stopped.out.toStdString();
    std::vector<QJsonObject> rows = stopped.Objects();
    ASSERT_EQ(rows.size(), 4u);
    const int expected[] = {0, kNotBack, kNotStarted, kNotStarted};
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i][QStringLiteral("result")].toInt(), expected[i])
            << stopped.out.toStdString();
    EXPECT_EQ(rows[0][QStringLiteral("data")][QStringLiteral("version")].toString(),
              QStringLiteral("2.10"));
    EXPECT_TRUE(rows[0][QStringLiteral("data")][QStringLiteral("restarted")].toBool());
    EXPECT_EQ(rows[2][QStringLiteral("data")][QStringLiteral("stoppedBy")].toString(),
              printers[1]->Link());
    EXPECT_EQ(imagesTaken(1), 1);
    EXPECT_EQ(imagesTaken(2), 0);
    EXPECT_EQ(imagesTaken(3), 0);

    // Without the printer that never came back: the canary comes back, so the rest follow.
    printers.erase(printers.begin() + 1);
    const CliRun completed =
        Run(Args(firmware + QStringList{QStringLiteral("2.10"), QStringLiteral("--canary"),
                                        QStringLiteral("1")}));
    EXPECT_EQ(completed.exitCode, 0) << completed.out.toStdString();
    rows = completed.Objects();
    ASSERT_EQ(rows.size(), 3u);
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i][QStringLiteral("result")].toInt(), 0) << i;
        EXPECT_TRUE(rows[i][QStringLiteral("data")][QStringLiteral("cameBack")].toBool()) << i;
        EXPECT_EQ(imagesTaken(i), i == 0 ? 2 : 1) << i;
    }

    // Back, but with another version than the one expected.
    printers.resize(1);
    const CliRun wrong = Run(Args(firmware + QStringList{QStringLiteral("9.99")}));
    EXPECT_EQ(wrong.exitCode, 1);
    ASSERT_EQ(wrong.Objects().size(), 1u);
    EXPECT_EQ(wrong.Objects()[0][QStringLiteral("resultText")].toString(),
              QStringLiteral("Wrong Version"));
}

// Whatever way the canary fails, the run ends with status 1, every other printer is "Not
// Started" naming the canary and why, and none of them received a byte.
TEST_F(CliFleetTest, EachWayACanaryFailsStopsTheRestUntouched) {
    WriteFile(Path("fw.NEW"), QByteArray::fromStdString(sim::FirmwareModule::FileHeader("2.10", 6) +
                                                        std::string("IMAGE\0", 6)));
    WriteFile(Path("label.txt"), "SIZE 50 mm,30 mm\r\n");
    struct Way {
        const char* name;
        const char* file;
        const char* expectVersion;
        bool deadAfterFirmware;
        int code;
        const char* reason;
    };
    const Way ways[] = {
        {"never back", "fw.NEW", "2.10", true, kNotBack, "did not answer again"},
        {"wrong version", "fw.NEW", "9.99", false, kWrongVersion, "expected 9.99"},
        {"not firmware", "label.txt", "", false, kNotBack, "without a restart"},
    };
    for (const Way& way : ways) {
        printers.clear();
        Serve(3);
        for (const auto& printer : printers) {
            auto lock = printer->printer.Lock();
            printer->printer.Module<sim::FirmwareModule>()->restartMs = 300;
        }
        {
            auto lock = printers[0]->printer.Lock();
            printers[0]->printer.faults.deadAfterFirmware = way.deadAfterFirmware;
        }
        QStringList arguments =
            Args({QStringLiteral("firmware"), Path(way.file), QStringLiteral("--wait"),
                  QStringLiteral("1500"), QStringLiteral("--canary"), QStringLiteral("1")});
        if (*way.expectVersion)
            arguments << QStringLiteral("--expect-version") << QLatin1String(way.expectVersion);
        const CliRun json = Run(arguments + QStringList{QStringLiteral("--json")});
        EXPECT_EQ(json.exitCode, 1) << way.name << json.err.toStdString();
        const std::vector<QJsonObject> rows = json.Objects();
        ASSERT_EQ(rows.size(), 3u) << way.name << json.out.toStdString();
        EXPECT_EQ(rows[0][QStringLiteral("result")].toInt(), way.code) << way.name;
        for (size_t i = 1; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i][QStringLiteral("result")].toInt(), kNotStarted) << way.name;
            EXPECT_EQ(rows[i][QStringLiteral("data")][QStringLiteral("stoppedBy")].toString(),
                      printers[0]->Link())
                << way.name;
            auto lock = printers[i]->printer.Lock();
            EXPECT_EQ(printers[i]->printer.ReceivedCount(), 0u) << way.name << i;
        }
        if (way.deadAfterFirmware)
            continue;
        // The table names the canary and its reason on every printer it stopped.
        const CliRun table = Run(arguments);
        EXPECT_EQ(table.exitCode, 1) << way.name;
        const QList<QByteArray> lines = table.out.trimmed().split('\n');
        ASSERT_EQ(lines.size(), 5) << table.out.toStdString();
        EXPECT_TRUE(lines[2].contains("Not Started") &&
                    lines[2].contains("not started: canary " + printers[0]->Link().toLatin1() +
                                      " failed ("))
            << lines[2].toStdString();
        EXPECT_TRUE(lines[3].contains(way.reason)) << lines[3].toStdString();
        EXPECT_TRUE(lines[4].startsWith("Total 3: ")) << lines[4].toStdString();
        for (size_t i = 1; i < printers.size(); ++i) {
            auto lock = printers[i]->printer.Lock();
            EXPECT_EQ(printers[i]->printer.ReceivedCount(), 0u) << way.name << i;
        }
    }
}

// An interrupt while the canary is busy: the canary fails with the code of its step, the
// rest are not started and never contacted; with one printer at a time, printers the run
// had not reached are "Not Started (interrupted)", not a link failure.
TEST_F(CliFleetTest, AnInterruptLeavesPrintersNotYetReachedUntouched) {
    Serve(3);
    {
        auto lock = printers[0]->printer.Lock();
        printers[0]->printer.faults.silent = true;
    }
    WriteFile(Path("fw.NEW"), QByteArray::fromStdString(sim::FirmwareModule::FileHeader("2.10", 6) +
                                                        std::string("IMAGE\0", 6)));
    const auto interrupted = [&](QStringList arguments) {
        for (const auto& served : printers)
            arguments << QStringLiteral("--link") << served->Link();
        QProcess process;
        process.start(QStringLiteral(TARNVIK_CLI_PATH), arguments);
        EXPECT_TRUE(process.waitForStarted(10000));
        // The product's own 30 s read wait holds the first printer.
        EXPECT_TRUE(WaitUntil([&] { return printers[0]->printer.ReceivedCount() > 0; },
                              std::chrono::milliseconds(10000)));
        process.terminate();
        EXPECT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitCode(), 1);
        CliRun run;
        run.out = process.readAllStandardOutput();
        return run.Objects();
    };
    std::vector<QJsonObject> rows =
        interrupted({QStringLiteral("firmware"), Path("fw.NEW"), QStringLiteral("--canary"),
                     QStringLiteral("1"), QStringLiteral("--json")});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][QStringLiteral("result")].toInt(), 3);
    for (size_t i = 1; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i][QStringLiteral("result")].toInt(), kNotStarted);
        EXPECT_EQ(rows[i][QStringLiteral("data")][QStringLiteral("stoppedBy")].toString(),
                  printers[0]->Link());
    }

    for (const auto& served : printers) {
        auto lock = served->printer.Lock();
        served->printer.ClearReceived();
    }
    rows = interrupted({QStringLiteral("status"), QStringLiteral("-j"), QStringLiteral("1"),
                        QStringLiteral("--json")});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][QStringLiteral("result")].toInt(), 3);
    for (size_t i = 1; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i][QStringLiteral("resultText")].toString(), QStringLiteral("Not Started"));
        EXPECT_TRUE(rows[i][QStringLiteral("data")][QStringLiteral("interrupted")].toBool());
        auto lock = printers[i]->printer.Lock();
        EXPECT_EQ(printers[i]->printer.ReceivedCount(), 0u) << i;
    }
}

// A setting counts as written only when it was sent and the printer holds it afterwards;
// a file the configuration page could not have made is refused before anything is sent.
TEST_F(CliFleetTest, ConfigWriteReportsOnlyWhatWasSentAndTaken) {
    Serve(1);
    ASSERT_EQ(Run(Args({QStringLiteral("config"), QStringLiteral("read"), QStringLiteral("--out"),
                        Path("model.dcf")}))
                  .exitCode,
              0);
    QFile modelFile(Path("model.dcf"));
    ASSERT_TRUE(modelFile.open(QIODevice::ReadOnly));
    const ConfigFileContent model = *DecodeConfigFile(modelFile.readAll());
    {
        auto lock = printers[0]->printer.Lock();
        printers[0]->printer.ClearReceived();
    }

    QByteArray random = EncodeConfigFile(model);
    for (qsizetype i = 12 + 389; i < 12 + 661; ++i)
        random[i] = static_cast<char>((i * 7919 + 13) % 251);
    WriteFile(Path("random.dcf"), random);
    const auto withConfig = [&](const char* name, void (*change)(PrinterConfig&)) {
        ConfigFileContent content = model;
        change(content.Config);
        WriteFile(Path(name), EncodeConfigFile(content));
    };
    withConfig("density.dcf", [](PrinterConfig& c) { SetItem(c.Density, 20); });
    withConfig("negative.dcf", [](PrinterConfig& c) { SetItem(c.Density, -1); });
    withConfig("sensor.dcf", [](PrinterConfig& c) { SetItem(c.SensorMode, 7); });
    for (const char* name : {"random.dcf", "density.dcf", "negative.dcf", "sensor.dcf"}) {
        const CliRun refused = Run(Args({QStringLiteral("config"), QStringLiteral("write"),
                                         Path(name), QStringLiteral("--if-different")}));
        EXPECT_EQ(refused.exitCode, 2) << name;
        EXPECT_TRUE(refused.err.contains("File Data Error")) << name << refused.err.toStdString();
        auto lock = printers[0]->printer.Lock();
        EXPECT_EQ(printers[0]->printer.ReceivedCount(), 0u) << name;
    }

    // This printer ignores DENSITY; the other settings it takes.
    {
        auto lock = printers[0]->printer.Lock();
        printers[0]->printer.AddLineHandler(
            "DENSITY ", [](sim::VirtualPrinter&, std::string_view, std::string&) {});
    }
    withConfig("wanted.dcf", [](PrinterConfig& c) {
        SetItem(c.Density, 12);
        SetItem(c.ZDarkness, 22);
    });
    const QStringList write =
        Args({QStringLiteral("config"), QStringLiteral("write"), Path("wanted.dcf"),
              QStringLiteral("--if-different"), QStringLiteral("--json")});
    for (int round = 0; round < 2; ++round) {
        const CliRun written = Run(write);
        EXPECT_EQ(written.exitCode, 1) << written.out.toStdString();
        ASSERT_EQ(written.Objects().size(), 1u);
        const QJsonObject row = written.Objects()[0];
        EXPECT_EQ(row[QStringLiteral("resultText")].toString(), QStringLiteral("Not Taken"));
        const QJsonObject data = row[QStringLiteral("data")].toObject();
        const QJsonArray notTaken = data[QStringLiteral("notTaken")].toArray();
        ASSERT_EQ(notTaken.size(), 1);
        EXPECT_EQ(notTaken[0][QStringLiteral("name")].toString(), QStringLiteral("Density"));
        // Reported written: only what went out and is held now.
        QStringList reported;
        for (const QJsonValue& d : data[QStringLiteral("differences")].toArray())
            reported << d[QStringLiteral("name")].toString();
        EXPECT_EQ(reported, round == 0 ? QStringList{QStringLiteral("ZDarkness")} : QStringList{});
        auto lock = printers[0]->printer.Lock();
        const std::string received = printers[0]->printer.Received();
        EXPECT_NE(received.find("DENSITY 12\r\n"), std::string::npos);
        EXPECT_EQ(received.find("SD22") != std::string::npos, round == 0);
        EXPECT_EQ(printers[0]->printer.Module<sim::ConfigModule>()->Settings().zDarkness, 22);
        EXPECT_NE(printers[0]->printer.Module<sim::ConfigModule>()->Settings().density, 12);
        printers[0]->printer.ClearReceived();
    }
}

// Texts from the printer are escaped in the table and kept in JSON; the name is stored
// and read in the printer's Latin-1, and a name it cannot hold is refused before any
// printer is contacted.
TEST_F(CliFleetTest, PrinterNamesTravelInLatin1AndReachTheTerminalEscaped) {
    Serve(1);
    {
        auto lock = printers[0]->printer.Lock();
        printers[0]->printer.Module<sim::NetModule>()->name =
            "X\ntcp:10.9.9.9:9100  OK  forged\x1b]0;owned\x07";
    }
    const CliRun table = Run(Args({QStringLiteral("net"), QStringLiteral("read")}));
    EXPECT_EQ(table.exitCode, 0);
    EXPECT_EQ(table.out.count('\n'), 3) << table.out.toStdString();
    EXPECT_FALSE(table.out.contains('\x1b'));
    EXPECT_TRUE(table.out.contains("name X\\ntcp:10.9.9.9:9100  OK  forged\\x1b]0;owned\\x07"))
        << table.out.toStdString();
    const CliRun json =
        Run(Args({QStringLiteral("net"), QStringLiteral("read"), QStringLiteral("--json")}));
    ASSERT_EQ(json.Objects().size(), 1u);
    EXPECT_EQ(json.Objects()[0][QStringLiteral("data")][QStringLiteral("name")].toString(),
              QStringLiteral("X\ntcp:10.9.9.9:9100  OK  forged\x1b]0;owned\x07"));

    const QString zurich = QStringLiteral("Z\u00fcrich");
    ASSERT_EQ(
        Run(Args({QStringLiteral("net"), QStringLiteral("set"), QStringLiteral("--name"), zurich}))
            .exitCode,
        0);
    {
        auto lock = printers[0]->printer.Lock();
        EXPECT_EQ(printers[0]->printer.Module<sim::NetModule>()->name, "Z\xfcrich");
        printers[0]->printer.ClearReceived();
    }
    const CliRun back =
        Run(Args({QStringLiteral("net"), QStringLiteral("read"), QStringLiteral("--json")}));
    ASSERT_EQ(back.Objects().size(), 1u);
    EXPECT_EQ(back.Objects()[0][QStringLiteral("data")][QStringLiteral("name")].toString(), zurich);

    {
        auto lock = printers[0]->printer.Lock();
        printers[0]->printer.ClearReceived();
    }
    const CliRun euro = Run(Args({QStringLiteral("net"), QStringLiteral("set"),
                                  QStringLiteral("--name"), QStringLiteral("Pay\u20ac")}));
    EXPECT_EQ(euro.exitCode, 2);
    EXPECT_TRUE(euro.err.contains("Printer Name (--name) contains characters that cannot be "
                                  "stored."))
        << euro.err.toStdString();
    auto lock = printers[0]->printer.Lock();
    EXPECT_EQ(printers[0]->printer.ReceivedCount(), 0u);
}

// A printer that never answers the extended status query costs the short wait, not the
// read time-out, and the two flags only that reply tells are unknown.
TEST_F(CliFleetTest, StatusWithoutTheExtendedReplyLeavesItsFlagsUnknown) {
    Serve(2);
    {
        auto lock = printers[1]->printer.Lock();
        printers[1]->printer.answersExtendedStatus = false;
        printers[1]->printer.extendedStatus[4] = 0x04;
        printers[0]->printer.extendedStatus[4] = 0x04;
    }
    // No --timeout: the product's 30 s read wait.
    QStringList arguments = {QStringLiteral("status"), QStringLiteral("--json")};
    for (const auto& printer : printers)
        arguments << QStringLiteral("--link") << printer->Link();
    QElapsedTimer timer;
    timer.start();
    const CliRun json = Run(arguments);
    EXPECT_LT(timer.elapsed(), 15000);
    EXPECT_EQ(json.exitCode, 0);
    const std::vector<QJsonObject> rows = json.Objects();
    ASSERT_EQ(rows.size(), 2u);
    const QJsonObject known = rows[0][QStringLiteral("data")][QStringLiteral("flags")].toObject();
    EXPECT_EQ(known[QStringLiteral("outOfRibbon")], QJsonValue(true));
    EXPECT_EQ(known[QStringLiteral("ribbonEncoderError")], QJsonValue(false));
    const QJsonObject unknown = rows[1][QStringLiteral("data")][QStringLiteral("flags")].toObject();
    EXPECT_TRUE(unknown[QStringLiteral("outOfRibbon")].isNull());
    EXPECT_TRUE(unknown[QStringLiteral("ribbonEncoderError")].isNull());
    EXPECT_EQ(unknown[QStringLiteral("headOpen")], QJsonValue(false));
    arguments.removeOne(QStringLiteral("--json"));
    const CliRun table = Run(arguments);
    EXPECT_TRUE(table.out.contains("ready; ribbon encoder error ?, out of ribbon ?"))
        << table.out.toStdString();
}

TEST_F(CliFleetTest, RefusingAndSilentPrintersFailAloneWhileTheOthersSucceed) {
    Serve(4);
    {
        auto lock = printers[1]->printer.Lock();
        printers[1]->printer.faults.refuse = true;
    }
    {
        auto lock = printers[3]->printer.Lock();
        printers[3]->printer.faults.silent = true;
    }
    ASSERT_TRUE(WaitForRefusal(*printers[1]));

    const CliRun json = Run(Args({QStringLiteral("status"), QStringLiteral("--json")}));
    EXPECT_EQ(json.exitCode, 1);
    const std::vector<QJsonObject> rows = json.Objects();
    ASSERT_EQ(rows.size(), 4u);
    const int expected[] = {0, 1, 0, 3};
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i][QStringLiteral("link")].toString(), printers[i]->Link());
        EXPECT_EQ(rows[i][QStringLiteral("result")].toInt(), expected[i]) << i;
    }
    EXPECT_EQ(rows[1][QStringLiteral("resultText")].toString(), QStringLiteral("Port Open Error"));
    EXPECT_EQ(rows[3][QStringLiteral("resultText")].toString(),
              QStringLiteral("Data Receiving Error"));
    EXPECT_TRUE(rows[0][QStringLiteral("data")][QStringLiteral("flags")][QStringLiteral("headOpen")]
                    .isBool());

    // The table names each printer with its result text.
    const CliRun table =
        Run(Args({QStringLiteral("status"), QStringLiteral("-j"), QStringLiteral("2")}));
    EXPECT_EQ(table.exitCode, 1);
    const QList<QByteArray> lines = table.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[5], "Total 4: 2 OK, 1 Port Open Error, 1 Data Receiving Error");
    EXPECT_TRUE(lines[2].startsWith(printers[1]->Link().toLatin1()));
    EXPECT_TRUE(lines[2].contains("Port Open Error"));
    EXPECT_TRUE(lines[4].contains("Data Receiving Error"));
    EXPECT_TRUE(lines[1].contains(" OK "));
}

// Every change reads the printer's password first; without the right one nothing is sent.
TEST_F(CliFleetTest, ChangesNeedThePrinterPassword) {
    Serve(2);
    {
        auto lock = printers[1]->printer.Lock();
        printers[1]->printer.Module<sim::PasswordModule>()->password = "Tarn";
    }
    const QStringList setClock =
        Args({QStringLiteral("clock"), QStringLiteral("set"), QStringLiteral("--time"),
              QStringLiteral("2027-03-04 05:06:07"), QStringLiteral("--json")});
    const CliRun without = Run(setClock);
    EXPECT_EQ(without.exitCode, 1);
    std::vector<QJsonObject> rows = without.Objects();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][QStringLiteral("result")].toInt(), 0);
    EXPECT_EQ(rows[1][QStringLiteral("resultText")].toString(), QStringLiteral("Incorrect"));
    {
        auto lock = printers[1]->printer.Lock();
        EXPECT_EQ(printers[1]->printer.Received().find("@YEAR"), std::string::npos);
    }

    QProcessEnvironment wrongCase;
    wrongCase.insert(QStringLiteral("TARNVIK_PASSWORD"), QStringLiteral("tarn"));
    EXPECT_EQ(Run(setClock, wrongCase).exitCode, 1);

    WriteFile(Path("password"), "Tarn\n");
    const CliRun with =
        Run(setClock + QStringList{QStringLiteral("--password-file"), Path("password")}, wrongCase);
    EXPECT_EQ(with.exitCode, 0) << with.out.toStdString();
    const CliRun clock =
        Run(Args({QStringLiteral("clock"), QStringLiteral("read"), QStringLiteral("--json")}));
    ASSERT_EQ(clock.exitCode, 0);
    for (const QJsonObject& row : clock.Objects()) {
        const QJsonObject data = row[QStringLiteral("data")].toObject();
        EXPECT_EQ(data[QStringLiteral("year")].toInt() % 100, 27);
        EXPECT_EQ(data[QStringLiteral("minute")].toInt(), 6);
    }
}

TEST_F(CliFleetTest, FilesSendAndNetworkSettings) {
    Serve(2);
    WriteFile(Path("logo.pcx"), QByteArray("PCX\0data", 8));
    const CliRun download =
        Run(Args({QStringLiteral("files"), QStringLiteral("download"), Path("logo.pcx"),
                  QStringLiteral("--name"), QStringLiteral("LOGO.PCX"), QStringLiteral("--memory"),
                  QStringLiteral("flash")}));
    ASSERT_EQ(download.exitCode, 0) << download.out.toStdString();
    const CliRun list =
        Run(Args({QStringLiteral("files"), QStringLiteral("list"), QStringLiteral("--json")}));
    ASSERT_EQ(list.exitCode, 0);
    for (const QJsonObject& row : list.Objects()) {
        EXPECT_EQ(
            row[QStringLiteral("data")][QStringLiteral("FLASH")][QStringLiteral("files")].toArray(),
            QJsonArray({QStringLiteral("LOGO.PCX")}));
    }
    {
        auto lock = printers[0]->printer.Lock();
        const auto* file = printers[0]->printer.Module<sim::MemoryModule>()->Find(
            sim::MemoryModule::Flash, "LOGO.PCX");
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->data, std::string("PCX\0data", 8));
    }
    // Formatting is not done without --yes; with it the memory is empty afterwards.
    EXPECT_EQ(Run(Args({QStringLiteral("files"), QStringLiteral("format"),
                        QStringLiteral("--memory"), QStringLiteral("flash")}))
                  .exitCode,
              2);
    EXPECT_EQ(
        Run(Args({QStringLiteral("files"), QStringLiteral("format"), QStringLiteral("--memory"),
                  QStringLiteral("flash"), QStringLiteral("--yes")}))
            .exitCode,
        0);
    {
        auto lock = printers[1]->printer.Lock();
        EXPECT_TRUE(printers[1]
                        ->printer.Module<sim::MemoryModule>()
                        ->memories[sim::MemoryModule::Flash]
                        .files.empty());
    }

    WriteFile(Path("label.txt"), "SIZE 50 mm,30 mm\r\nPRINT 1\r\n");
    const CliRun sent = Run(Args({QStringLiteral("send"), Path("label.txt")}));
    ASSERT_EQ(sent.exitCode, 0);
    // Standard error is no terminal here: no progress line, nothing at all.
    EXPECT_TRUE(sent.err.isEmpty()) << sent.err.toStdString();
    {
        auto lock = printers[1]->printer.Lock();
        EXPECT_NE(printers[1]->printer.Received().find("SIZE 50 mm,30 mm\r\nPRINT 1\r\n"),
                  std::string::npos);
    }

    const CliRun set =
        Run(Args({QStringLiteral("net"), QStringLiteral("set"), QStringLiteral("--ip"),
                  QStringLiteral("10.1.2.3"), QStringLiteral("--mask"),
                  QStringLiteral("255.255.0.0"), QStringLiteral("--gateway"),
                  QStringLiteral("10.1.0.1"), QStringLiteral("--name"), QStringLiteral("DOCK-7")}));
    ASSERT_EQ(set.exitCode, 0) << set.out.toStdString();
    const CliRun net =
        Run(Args({QStringLiteral("net"), QStringLiteral("read"), QStringLiteral("--json")}));
    ASSERT_EQ(net.exitCode, 0);
    for (const QJsonObject& row : net.Objects()) {
        const QJsonObject data = row[QStringLiteral("data")].toObject();
        EXPECT_EQ(data[QStringLiteral("ip")].toString(), QStringLiteral("10.1.2.3"));
        EXPECT_FALSE(data[QStringLiteral("dhcp")].toBool());
        EXPECT_EQ(data[QStringLiteral("name")].toString(), QStringLiteral("DOCK-7"));
    }
    // A name that would break out of the command's quotes is refused before any printer.
    EXPECT_EQ(Run(Args({QStringLiteral("net"), QStringLiteral("set"), QStringLiteral("--name"),
                        QStringLiteral("A\"\r\nKILL \"*.*")}))
                  .exitCode,
              2);
}

TEST_F(CliFleetTest, CommandLinesThatCannotRunExitWithTwo) {
    Serve(1);
    WriteFile(Path("not.dcf"), QByteArray(683, 'x'));
    const QList<QStringList> bad = {
        {QStringLiteral("status")},
        {QStringLiteral("frobnicate"), QStringLiteral("--link"), QStringLiteral("usb")},
        {QStringLiteral("status"), QStringLiteral("--link"), QStringLiteral("tcp:")},
        {QStringLiteral("status"), QStringLiteral("--link"), QStringLiteral("tcp:10.0.0.5:9100:")},
        {QStringLiteral("status"), QStringLiteral("--link"), QStringLiteral("tcp:printer:80:90")},
        {QStringLiteral("status"), QStringLiteral("--link"), QStringLiteral("usb"),
         QStringLiteral("-j"), QStringLiteral("0")},
        Args({QStringLiteral("config"), QStringLiteral("write"), Path("not.dcf")}),
        Args({QStringLiteral("config"), QStringLiteral("write"), Path("missing.dcf")}),
        Args({QStringLiteral("config"), QStringLiteral("write"), Path("not.dcf"),
              QStringLiteral("--tab"), QStringLiteral("x")}),
        Args({QStringLiteral("clock"), QStringLiteral("set")}),
        Args({QStringLiteral("discover")}),
    };
    for (const QStringList& arguments : bad) {
        const CliRun run = Run(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty()) << arguments.join(' ').toStdString();
    }
    EXPECT_TRUE(Run(Args({QStringLiteral("config"), QStringLiteral("write"), Path("not.dcf")}))
                    .err.contains("File Data Error"));
    // A mistyped address is named with what is wrong, before anything connects; also
    // from a --links file.
    WriteFile(Path("links.txt"), "# dock\ntcp:127.0.0.1:9100\ntcp:printer:+80\n");
    const CliRun fromFile =
        Run({QStringLiteral("status"), QStringLiteral("--links"), Path("links.txt")});
    EXPECT_EQ(fromFile.exitCode, 2);
    EXPECT_TRUE(fromFile.err.contains("links.txt line 3: tcp:printer:+80: the port '+80'"))
        << fromFile.err.toStdString();
    // A comment may follow a link; a printer named twice is refused with both places.
    WriteFile(Path("twice.txt"), "tcp:127.0.0.1:9100  # left\n\ntcp:127.0.0.1:9101\n"
                                 "TCP:127.0.0.1:9100 # again\n");
    const CliRun twice =
        Run({QStringLiteral("status"), QStringLiteral("--links"), Path("twice.txt")});
    EXPECT_EQ(twice.exitCode, 2);
    EXPECT_TRUE(twice.err.contains("TCP:127.0.0.1:9100 is given twice (" +
                                   Path("twice.txt").toLocal8Bit() + " line 1, " +
                                   Path("twice.txt").toLocal8Bit() + " line 4)"))
        << twice.err.toStdString();
    // With --json a command line that cannot run is told as one JSON object.
    for (const QStringList& arguments :
         {QStringList{QStringLiteral("status"), QStringLiteral("--json")},
          QStringList{QStringLiteral("--json")},
          QStringList{QStringLiteral("status"), QStringLiteral("--json"), QStringLiteral("--links"),
                      Path("twice.txt")}}) {
        const CliRun json = Run(arguments);
        EXPECT_EQ(json.exitCode, 2);
        EXPECT_TRUE(json.out.isEmpty());
        EXPECT_EQ(json.err.count('\n'), 1) << json.err.toStdString();
        const QJsonObject error = QJsonDocument::fromJson(json.err).object();
        EXPECT_FALSE(error[QStringLiteral("error")].toString().isEmpty()) << json.err.toStdString();
        EXPECT_EQ(error[QStringLiteral("exitStatus")].toInt(), 2);
    }
    for (const auto& command : {QStringList{QStringLiteral("--help")},
                                QStringList{QStringLiteral("files"), QStringLiteral("download"),
                                            QStringLiteral("--help")}}) {
        const CliRun help = Run(command);
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_TRUE(help.out.contains("--link")) << help.out.toStdString();
    }
}

TEST_F(CliFleetTest, DiscoverAsksOnlyTheTargetsGiven) {
    LanPrinterPair pair;
    std::string error;
    if (!pair.Start(LanIdentity("00:1B:82:00:00:0A", "FIRST"),
                    LanIdentity("00:1B:82:00:00:0B", "SECOND"), &error))
        GTEST_SKIP() << error;
    const CliRun run =
        RunCli({QStringLiteral("discover"), QStringLiteral("--target"), QStringLiteral("127.0.0.2"),
                QStringLiteral("--target"), QStringLiteral("127.0.0.3"), QStringLiteral("--port"),
                QString::number(pair.port), QStringLiteral("--wait"), QStringLiteral("200"),
                QStringLiteral("--json")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QStringList names;
    for (const QJsonObject& row : run.Objects())
        names << row[QStringLiteral("data")][QStringLiteral("name")].toString();
    names.sort();
    // Both rounds reach both printers: each is listed twice, as the window lists them.
    EXPECT_EQ(names, QStringList({QStringLiteral("FIRST"), QStringLiteral("FIRST"),
                                  QStringLiteral("SECOND"), QStringLiteral("SECOND")}));
}

} // namespace

namespace {

TEST(CliFontMake, MakesAFontFileAndKeepsAnOlderFileWhenARunFails) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString font = dir.filePath(QStringLiteral("dejavu.bmf"));
    const CliRun made =
        RunCli({QStringLiteral("font"), QStringLiteral("make"), font, QStringLiteral("--font"),
                QStringLiteral("DejaVu Sans"), QStringLiteral("--size"), QStringLiteral("16"),
                QStringLiteral("--first"), QStringLiteral("65"), QStringLiteral("--last"),
                QStringLiteral("90"), QStringLiteral("--pitch"), QStringLiteral("fixed"),
                QStringLiteral("--json")});
    ASSERT_EQ(made.exitCode, 0) << made.out.toStdString() << made.err.toStdString();
    ASSERT_EQ(made.Objects().size(), 1u);
    const QJsonObject data = made.Objects()[0][QStringLiteral("data")].toObject();
    EXPECT_EQ(data[QStringLiteral("glyphs")].toInt(), 26);
    QFile file(font);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.size(), data[QStringLiteral("bytes")].toInteger());
    file.close();

    // A cell larger than the drawing surface is refused before anything is written.
    const CliRun refused =
        RunCli({QStringLiteral("font"), QStringLiteral("make"), font, QStringLiteral("--font"),
                QStringLiteral("DejaVu Sans"), QStringLiteral("--pitch"), QStringLiteral("fixed"),
                QStringLiteral("--width"), QStringLiteral("3000")});
    EXPECT_NE(refused.exitCode, 0);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes);
    // A table encode needs its table.
    EXPECT_NE(
        RunCli({QStringLiteral("font"), QStringLiteral("make"), font, QStringLiteral("--font"),
                QStringLiteral("DejaVu Sans"), QStringLiteral("--encode"), QStringLiteral("table")})
            .exitCode,
        0);
}

// SIGTERM (or SIGINT) ends every wait in flight: each printer fails with the code of the
// step it was at, the summary is printed and the exit status says so.
TEST_F(CliFleetTest, AnInterruptEndsThePrintersInFlightWithTheirCodes) {
    Serve(3);
    for (const auto& served : printers) {
        auto lock = served->printer.Lock();
        served->printer.faults.silent = true;
    }
    QStringList arguments{QStringLiteral("status"), QStringLiteral("--json"), QStringLiteral("-j"),
                          QStringLiteral("3")};
    // The product's own 30 s read wait.
    for (const auto& served : printers)
        arguments << QStringLiteral("--link") << served->Link();
    QProcess process;
    process.start(QStringLiteral(TARNVIK_CLI_PATH), arguments);
    ASSERT_TRUE(process.waitForStarted(10000));
    ASSERT_TRUE(WaitUntil(
        [&] {
            return std::all_of(printers.begin(), printers.end(), [](const auto& served) {
                return !served->printer.Received().empty();
            });
        },
        std::chrono::milliseconds(10000)));
    QElapsedTimer sinceSignal;
    sinceSignal.start();
    process.terminate();
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_LT(sinceSignal.elapsed(), 15000);
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(process.readAllStandardError().contains("interrupted"));
    CliRun run;
    run.out = process.readAllStandardOutput();
    const std::vector<QJsonObject> rows = run.Objects();
    ASSERT_EQ(rows.size(), 3u);
    for (const QJsonObject& row : rows)
        EXPECT_EQ(row[QStringLiteral("result")].toInt(), 3)
            << row[QStringLiteral("link")].toString().toStdString();
}

} // namespace

TEST_F(CliFleetTest, SettingsDocumentsWriteOnlyTheNamedSettingsThatDiffer) {
    Serve(2);
    printers.push_back(std::make_unique<ServedPrinter>(sim::FirmwareProfile::Of(102)));
    const auto settings = [&](size_t i) -> sim::ConfigSettings& {
        return printers[i]->printer.Module<sim::ConfigModule>()->Settings();
    };
    const auto clearReceived = [&] {
        for (const auto& printer : printers) {
            auto lock = printer->printer.Lock();
            printer->printer.ClearReceived();
        }
    };
    const auto received = [&](size_t i) {
        auto lock = printers[i]->printer.Lock();
        return printers[i]->printer.Received();
    };
    const QStringList first = {QStringLiteral("--link"), printers[0]->Link()};

    // A printer's own document applied back changes nothing.
    const CliRun read = Run(QStringList{QStringLiteral("config"), QStringLiteral("read"),
                                        QStringLiteral("--format"), QStringLiteral("yaml")} +
                            first);
    ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
    WriteFile(Path("own.yaml"), read.out);
    clearReceived();
    const CliRun own =
        Run(QStringList{QStringLiteral("config"), QStringLiteral("apply"), Path("own.yaml")} +
            first + QStringList{QStringLiteral("--json")});
    ASSERT_EQ(own.exitCode, 0) << own.out.toStdString() << own.err.toStdString();
    EXPECT_FALSE(own.Objects().at(0)[QStringLiteral("data")][QStringLiteral("changed")].toBool());
    EXPECT_EQ(received(0).find("DENSITY "), std::string::npos);

    // --check reads and reports, on every printer, and writes nothing.
    WriteFile(Path("density.yaml"), "{density: 12}\n");
    const QStringList apply =
        Args({QStringLiteral("config"), QStringLiteral("apply"), Path("density.yaml"),
              QStringLiteral("--json"), QStringLiteral("-j"), QStringLiteral("3")});
    clearReceived();
    const CliRun check = Run(apply + QStringList{QStringLiteral("--check")});
    ASSERT_EQ(check.exitCode, 0) << check.out.toStdString();
    for (const QJsonObject& row : check.Objects()) {
        const QJsonObject data = row[QStringLiteral("data")].toObject();
        EXPECT_TRUE(data[QStringLiteral("changed")].toBool());
        EXPECT_EQ(data[QStringLiteral("changes")].toArray(),
                  QJsonArray({QJsonObject{{QStringLiteral("setting"), QStringLiteral("density")},
                                          {QStringLiteral("printer"), 8},
                                          {QStringLiteral("wanted"), 12}}}));
    }
    for (size_t i = 0; i < printers.size(); ++i) {
        EXPECT_EQ(received(i).find("DENSITY "), std::string::npos) << i;
        auto lock = printers[i]->printer.Lock();
        EXPECT_EQ(settings(i).density, 8);
    }

    // The real run sends the density alone; a second run has nothing left to do.
    const CliRun applied = Run(apply);
    ASSERT_EQ(applied.exitCode, 0) << applied.out.toStdString();
    for (size_t i = 0; i < printers.size(); ++i) {
        const std::string sent = received(i);
        EXPECT_NE(sent.find("DENSITY 12\r\n"), std::string::npos) << i;
        EXPECT_EQ(sent.find("SPEED "), std::string::npos) << i;
        EXPECT_EQ(sent.find("SET GAP"), std::string::npos) << i;
        auto lock = printers[i]->printer.Lock();
        EXPECT_EQ(settings(i).density, 12);
    }
    const CliRun again = Run(apply);
    for (const QJsonObject& row : again.Objects())
        EXPECT_FALSE(row[QStringLiteral("data")][QStringLiteral("changed")].toBool());

    // A setting the edition 102 printer does not have refuses the document there alone.
    WriteFile(Path("threshold.yaml"), "density: 10\nthreshold_detection: manual\n");
    clearReceived();
    const CliRun older = Run(Args({QStringLiteral("config"), QStringLiteral("apply"),
                                   Path("threshold.yaml"), QStringLiteral("--json")}));
    EXPECT_EQ(older.exitCode, 1);
    const std::vector<QJsonObject> rows = older.Objects();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][QStringLiteral("result")].toInt(), 0);
    EXPECT_EQ(rows[2][QStringLiteral("result")].toInt(), kRefusedSetting);
    EXPECT_EQ(
        rows[2][QStringLiteral("data")][QStringLiteral("refused")][0][QStringLiteral("setting")]
            .toString(),
        QStringLiteral("threshold_detection"));
    EXPECT_EQ(received(2).find("DENSITY "), std::string::npos);

    // A document that is not right: exit 2 with the file, line and setting; nothing sent.
    WriteFile(Path("bad.yaml"), "density: 12\ndensty: 3\nz_darkness: 31\n");
    clearReceived();
    const CliRun bad =
        Run(Args({QStringLiteral("config"), QStringLiteral("apply"), Path("bad.yaml")}));
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.err.contains("bad.yaml:2: densty: unknown setting (did you mean density?)"))
        << bad.err.toStdString();
    EXPECT_TRUE(bad.err.contains("bad.yaml:3: z_darkness: 31 is out of range (0 to 30)"));
    for (size_t i = 0; i < printers.size(); ++i)
        EXPECT_TRUE(received(i).empty()) << i;

    // A printer that ignores the density: read back, it is "Not Taken".
    {
        auto lock = printers[1]->printer.Lock();
        printers[1]->printer.AddLineHandler(
            "DENSITY ", [](sim::VirtualPrinter&, std::string_view, std::string&) {});
    }
    WriteFile(Path("five.yaml"), "density: 5\n");
    const CliRun ignored = Run(Args({QStringLiteral("config"), QStringLiteral("apply"),
                                     Path("five.yaml"), QStringLiteral("--json")}));
    EXPECT_EQ(ignored.exitCode, 1);
    const QJsonObject notTaken = ignored.Objects().at(1);
    EXPECT_EQ(notTaken[QStringLiteral("result")].toInt(), kNotTaken);
    EXPECT_EQ(
        notTaken[QStringLiteral("data")][QStringLiteral("notTaken")][0][QStringLiteral("name")]
            .toString(),
        QStringLiteral("Density"));
    EXPECT_EQ(ignored.Objects().at(0)[QStringLiteral("result")].toInt(), 0);
}
