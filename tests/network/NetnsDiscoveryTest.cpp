// A real broadcast and multicast discovery with the product's default targets, between two
// network namespaces this test creates and joins with a veth pair. Nothing leaves them.

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <gtest/gtest.h>

#include <unistd.h>

#include <map>

namespace {

struct Result {
    int code = -1;
    QString output;
    QString errors;
};

Result RunTool(const QString& program, const QStringList& arguments, int timeoutMs = 10000) {
    QProcess process;
    process.start(program, arguments);
    Result result;
    if (!process.waitForStarted(timeoutMs)) {
        result.errors = process.errorString();
        return result;
    }
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        result.errors = QStringLiteral("timed out");
        return result;
    }
    result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.errors = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

// Two namespaces joined by a veth pair: 10.77.0.1 (client side) and 10.77.0.2 (printers).
class NamespacePair {
public:
    NamespacePair() {
        const QString id = QString::number(::getpid());
        client_ = "tarnvik-c" + id;
        printers_ = "tarnvik-p" + id;
        const QString clientLink = "tvc" + id;
        const QString printerLink = "tvp" + id;
        ip_ = QStandardPaths::findExecutable("ip");
        if (ip_.isEmpty())
            ip_ = QStandardPaths::findExecutable("ip", {"/usr/sbin", "/sbin", "/usr/bin"});
        if (ip_.isEmpty()) {
            why_ = "the ip tool is not installed";
            return;
        }
        if (::geteuid() != 0) {
            why_ = "creating network namespaces needs root";
            return;
        }
        // Leftovers of an earlier run that died with the same process id.
        RunTool(ip_, {"netns", "del", client_});
        RunTool(ip_, {"netns", "del", printers_});
        const QList<QStringList> steps = {
            {"netns", "add", client_},
            {"netns", "add", printers_},
            {"link", "add", clientLink, "type", "veth", "peer", "name", printerLink},
            {"link", "set", clientLink, "netns", client_},
            {"link", "set", printerLink, "netns", printers_},
            {"-n", client_, "addr", "add", "10.77.0.1/24", "dev", clientLink},
            {"-n", printers_, "addr", "add", "10.77.0.2/24", "dev", printerLink},
            {"-n", client_, "link", "set", "lo", "up"},
            {"-n", printers_, "link", "set", "lo", "up"},
            {"-n", client_, "link", "set", clientLink, "up"},
            {"-n", printers_, "link", "set", printerLink, "up"},
            // The limited broadcast and the multicast group leave by the veth.
            {"-n", client_, "route", "add", "default", "dev", clientLink},
            {"-n", printers_, "route", "add", "default", "dev", printerLink},
        };
        for (const QStringList& step : steps) {
            const Result result = RunTool(ip_, step);
            if (result.code != 0) {
                why_ = "cannot set up the namespaces (ip " + step.join(' ') +
                       "): " + result.errors.trimmed();
                return;
            }
        }
        ready_ = true;
    }

    ~NamespacePair() {
        if (ip_.isEmpty())
            return;
        RunTool(ip_, {"netns", "del", client_});
        RunTool(ip_, {"netns", "del", printers_});
    }

    bool Ready() const { return ready_; }
    const QString& WhyNot() const { return why_; }
    const QString& Ip() const { return ip_; }
    const QString& ClientSide() const { return client_; }
    const QString& PrinterSide() const { return printers_; }

private:
    QString ip_;
    QString client_;
    QString printers_;
    QString why_;
    bool ready_ = false;
};

} // namespace

TEST(NamespaceDiscovery, BroadcastAndMulticastRoundsReachTwoPrintersBehindAVeth) {
    NamespacePair pair;
    if (!pair.Ready())
        GTEST_SKIP() << "no network namespaces here: " << pair.WhyNot().toStdString();

    QProcess printers;
    printers.start(pair.Ip(), {"netns", "exec", pair.PrinterSide(), LAN_NETNS_HELPER, "respond",
                               "2", "30", "224.0.0.251"});
    ASSERT_TRUE(printers.waitForStarted(5000));
    ASSERT_TRUE(printers.waitForReadyRead(10000)) << printers.readAllStandardError().toStdString();
    ASSERT_EQ(printers.readLine().trimmed(), "ready");

    const Result discovery =
        RunTool(pair.Ip(),
                {"netns", "exec", pair.ClientSide(), LAN_NETNS_HELPER, "discover", "1000"}, 20000);
    printers.terminate();
    printers.waitForFinished(5000);
    ASSERT_EQ(discovery.code, 0) << discovery.errors.toStdString();

    std::map<QString, int> seen;
    const QStringList lines = discovery.output.split('\n', Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const QStringList fields = line.split(' ');
        ASSERT_EQ(fields.size(), 4) << line.toStdString();
        ++seen[fields[0] + ' ' + fields[1] + ' ' + fields[2] + ' ' + fields[3]];
    }
    // Each printer answers the broadcast and the multicast request: four rows.
    EXPECT_EQ(lines.size(), 4) << discovery.output.toStdString();
    EXPECT_EQ(seen["02:00:00:00:00:01 10.77.0.101 NS-PRINTER-1 Ready"], 2);
    EXPECT_EQ(seen["02:00:00:00:00:02 10.77.0.102 NS-PRINTER-2 Ready"], 2);
}
