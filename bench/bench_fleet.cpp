// A fleet on loopback: 200 virtual printers answering after 20 ms, probed through
// tarnvik-exporter 64 at a time and with tarnvik-cli status -j 64, each time printed beside
// the ideal (one probe's time x 200 / 64) with the exporter's resident memory.
//
// With --soak MINUTES it runs the exporter against the same fleet instead, a fifth of the
// printers misbehaving in turn (refusing, silent, hanging up mid-reply, sending garbage),
// every printer probed every second: it samples the exporter's resident memory and open
// descriptors, the longest probe against its time-out, and /metrics throughout, and ends
// with a verdict.

#include "HttpGet.h"
#include "StandardPrinter.h"
#include "TcpServer.h"
#include "VirtualPrinter.h"

#include <QCoreApplication>
#include <QProcess>

#include <dirent.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kPrinters = 200;
constexpr int kParallel = 64;
constexpr int kReplyDelayMs = 20;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

struct Fleet {
    Fleet() {
        for (int i = 0; i < kPrinters; ++i) {
            auto printer = std::make_unique<Printer>();
            sim::InstallStandardModules(printer->printer);
            printer->printer.faults.replyDelayMs = kReplyDelayMs;
            std::string error;
            if (!printer->server.Start(&error)) {
                std::fprintf(stderr, "printer %d: %s\n", i, error.c_str());
                std::exit(1);
            }
            printers.push_back(std::move(printer));
        }
    }
    std::string Link(int i) const {
        return "tcp:127.0.0.1:" + std::to_string(printers[static_cast<size_t>(i)]->server.Port());
    }

    struct Printer {
        sim::VirtualPrinter printer;
        sim::TcpServer server{printer};
    };
    std::vector<std::unique_ptr<Printer>> printers;
};

// The exporter as its own process, so its memory is its own.
class ExporterProcess {
public:
    explicit ExporterProcess(const QString& program) {
        process_.setProgram(program);
        process_.setArguments({QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                               QStringLiteral("--allow"), QStringLiteral("127.0.0.0/8"),
                               QStringLiteral("--max-probes"), QString::number(kParallel)});
        process_.start();
        if (!process_.waitForStarted(10000) || !process_.waitForReadyRead(10000)) {
            std::fprintf(stderr, "the exporter did not start\n");
            std::exit(1);
        }
        const QByteArray line = process_.readLine().trimmed();
        port_ = line.mid(line.lastIndexOf(' ') + 1).toInt();
    }
    ~ExporterProcess() {
        process_.terminate();
        if (!process_.waitForFinished(10000))
            process_.kill();
        process_.waitForFinished(5000);
    }
    int Port() const { return port_; }
    qint64 Pid() const { return process_.processId(); }

    // A line of /proc/PID/status in kB ("VmRSS", "VmHWM").
    long StatusKb(const char* key) const {
        std::ifstream in("/proc/" + std::to_string(Pid()) + "/status");
        std::string line;
        const std::string prefix = std::string(key) + ":";
        while (std::getline(in, line)) {
            if (line.rfind(prefix, 0) == 0)
                return std::atol(line.c_str() + prefix.size());
        }
        return -1;
    }
    int OpenDescriptors() const {
        const std::string path = "/proc/" + std::to_string(Pid()) + "/fd";
        DIR* dir = ::opendir(path.c_str());
        if (!dir)
            return -1;
        int count = 0;
        while (const dirent* entry = ::readdir(dir))
            count += entry->d_name[0] != '.';
        ::closedir(dir);
        return count;
    }

private:
    QProcess process_;
    int port_ = 0;
};

struct Round {
    double seconds = 0;
    int up = 0;
    int answered = 0;
    double longestProbe = 0;
    // Probes answered later than the scrape time-out.
    int late = 0;
};

// Probes every printer once through the exporter, `parallel` requests at a time.
Round ProbeAll(const Fleet& fleet, int port, int parallel, double scrapeTimeout) {
    Round round;
    std::atomic<int> next{0};
    std::mutex mutex;
    const auto start = Clock::now();
    std::vector<std::thread> workers;
    for (int w = 0; w < parallel; ++w) {
        workers.emplace_back([&] {
            for (int i = next++; i < kPrinters; i = next++) {
                const auto begun = Clock::now();
                const HttpAnswer answer = HttpGet(
                    port, "/probe?target=" + fleet.Link(i),
                    {{"X-Prometheus-Scrape-Timeout-Seconds", std::to_string(scrapeTimeout)}},
                    static_cast<int>(scrapeTimeout * 1000) + 5000);
                const double took = Seconds(Clock::now() - begun);
                std::lock_guard lock(mutex);
                round.longestProbe = std::max(round.longestProbe, took);
                round.late += took > scrapeTimeout;
                round.answered += answer.status == 200;
                round.up += answer.body.find("\ntarnvik_up 1") != std::string::npos;
            }
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    round.seconds = Seconds(Clock::now() - start);
    return round;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int Benchmark(const Fleet& fleet, const ExporterProcess& exporter, const QString& cliPath) {
    const long baseKb = exporter.StatusKb("VmRSS");

    // One probe at a time, several times: the single-probe time.
    std::vector<double> single;
    for (int i = 0; i < 15; ++i) {
        const auto start = Clock::now();
        const HttpAnswer answer =
            HttpGet(exporter.Port(), "/probe?target=" + fleet.Link(i), {}, 10000);
        single.push_back(Seconds(Clock::now() - start));
        if (answer.body.find("\ntarnvik_up 1") == std::string::npos) {
            std::fprintf(stderr, "printer %d did not answer the probe\n", i);
            return 1;
        }
    }
    const double one = Median(single);
    const double ideal = one * kPrinters / kParallel;
    std::printf("%d printers answering after %d ms, %d at a time\n", kPrinters, kReplyDelayMs,
                kParallel);
    std::printf("single probe through the exporter: %.1f ms (median of %zu)\n", one * 1000,
                single.size());
    std::printf("ideal for the fleet: %.3f s (single x %d / %d)\n", ideal, kPrinters, kParallel);
    // Whole rounds of 64: no schedule does better than ceil(200 / 64) single probes in a row.
    const int waves = (kPrinters + kParallel - 1) / kParallel;
    std::printf("%d whole rounds of %d: %.3f s, %.2f x the ideal\n\n", waves, kParallel,
                one * waves, one * waves / ideal);

    std::vector<double> exporterTimes;
    for (int r = 0; r < 3; ++r) {
        const Round round = ProbeAll(fleet, exporter.Port(), kParallel, 10);
        exporterTimes.push_back(round.seconds);
        std::printf("exporter round %d: %.3f s, %d/%d up, ratio %.2f\n", r + 1, round.seconds,
                    round.up, kPrinters, round.seconds / ideal);
        if (round.up != kPrinters)
            return 1;
    }

    QStringList arguments{QStringLiteral("status"), QStringLiteral("-j"),
                          QString::number(kParallel), QStringLiteral("--timeout"),
                          QStringLiteral("10000")};
    for (int i = 0; i < kPrinters; ++i)
        arguments << QStringLiteral("--link") << QString::fromStdString(fleet.Link(i));
    std::vector<double> cliTimes;
    for (int r = 0; r < 3; ++r) {
        QProcess cli;
        const auto start = Clock::now();
        cli.start(cliPath, arguments);
        cli.waitForFinished(120000);
        const double seconds = Seconds(Clock::now() - start);
        cliTimes.push_back(seconds);
        std::printf("tarnvik-cli status -j %d round %d: %.3f s (exit %d), ratio %.2f\n", kParallel,
                    r + 1, seconds, cli.exitCode(), seconds / ideal);
        if (cli.exitCode() != 0)
            return 1;
    }

    const double exporterMedian = Median(exporterTimes);
    const double cliMedian = Median(cliTimes);
    const long rssKb = exporter.StatusKb("VmRSS");
    const long peakKb = exporter.StatusKb("VmHWM");
    std::printf("\n%-34s %9s %9s %7s\n", "", "seconds", "ideal", "ratio");
    std::printf("%-34s %9.3f %9.3f %7.2f\n", "exporter, 64 at a time (median)", exporterMedian,
                ideal, exporterMedian / ideal);
    std::printf("%-34s %9.3f %9.3f %7.2f\n", "tarnvik-cli status -j 64 (median)", cliMedian, ideal,
                cliMedian / ideal);
    std::printf("exporter resident memory: %.1f MB at start, %.1f MB now, %.1f MB at most\n",
                baseKb / 1024.0, rssKb / 1024.0, peakKb / 1024.0);
    std::printf("goal: within 1.3 x ideal (%s), under 100 MB (%s)\n",
                exporterMedian / ideal <= 1.3 ? "met" : "NOT met",
                peakKb < 100 * 1024 ? "met" : "NOT met");
    return 0;
}

// Puts a fifth of the printers into one of four faults, moving on by `turn`.
void Misbehave(Fleet& fleet, int turn) {
    for (int i = 0; i < kPrinters; ++i) {
        sim::VirtualPrinter& printer = fleet.printers[static_cast<size_t>(i)]->printer;
        const int slot = (i + turn * 7) % 20;
        auto lock = printer.Lock();
        printer.faults = sim::Faults{};
        printer.faults.replyDelayMs = kReplyDelayMs;
        switch (slot) {
        case 0:
            printer.faults.refuse = true;
            break;
        case 1:
            printer.faults.silent = true;
            break;
        case 2:
            printer.faults.closeAfterBytes = 2;
            break;
        case 3:
            printer.faults.garbageBeforeReply = std::string(5000, '#');
            break;
        default:
            break;
        }
    }
}

int Soak(Fleet& fleet, const ExporterProcess& exporter, double minutes) {
    constexpr double kScrapeTimeout = 1.0;
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration_cast<Clock::duration>(
                                 std::chrono::duration<double>(minutes * 60));
    std::atomic<bool> stop{false};
    std::atomic<int> metricsFailures{0};
    std::atomic<int> metricsAnswers{0};
    std::thread metricsWatch([&] {
        while (!stop) {
            const HttpAnswer answer = HttpGet(exporter.Port(), "/metrics", {}, 2000);
            (answer.status == 200 ? metricsAnswers : metricsFailures)++;
            std::this_thread::sleep_for(1s);
        }
    });

    long baselineRss = -1;
    int baselineFds = -1;
    long mostRss = 0;
    int mostFds = 0;
    long leastRss = 1L << 40;
    int leastFds = 1 << 30;
    double longest = 0;
    long probes = 0;
    long unanswered = 0;
    long late = 0;
    int rounds = 0;
    int turn = 0;
    auto nextTurn = start;
    std::printf("soak: %d printers, a fifth misbehaving in turn, every printer probed every "
                "second, %.1f min\n",
                kPrinters, minutes);
    std::printf("%8s %8s %8s %6s %10s %8s\n", "seconds", "rss MB", "fds", "up", "longest s",
                "/metrics");
    while (Clock::now() < end) {
        const auto roundStart = Clock::now();
        if (roundStart >= nextTurn) {
            Misbehave(fleet, turn++);
            nextTurn = roundStart + 10s;
        }
        const Round round = ProbeAll(fleet, exporter.Port(), kParallel, kScrapeTimeout);
        ++rounds;
        probes += kPrinters;
        unanswered += kPrinters - round.answered;
        late += round.late;
        longest = std::max(longest, round.longestProbe);
        // Sampled once the round's last probes have ended, just before the next round.
        std::this_thread::sleep_until(roundStart + 1s);
        const double elapsed = Seconds(Clock::now() - start);
        const long rss = exporter.StatusKb("VmRSS");
        const int fds = exporter.OpenDescriptors();
        if (elapsed >= 60) {
            if (baselineRss < 0) {
                baselineRss = rss;
                baselineFds = fds;
            }
            mostRss = std::max(mostRss, rss);
            leastRss = std::min(leastRss, rss);
            mostFds = std::max(mostFds, fds);
            leastFds = std::min(leastFds, fds);
        }
        if (rounds % 30 == 1)
            std::printf("%8.0f %8.1f %8d %6d %10.3f %8d\n", elapsed, rss / 1024.0, fds, round.up,
                        round.longestProbe, metricsAnswers.load());
        std::fflush(stdout);
    }
    stop = true;
    metricsWatch.join();

    std::printf("\nrounds %d, probes %ld, unanswered %ld, longest probe %.3f s (time-out %.1f s), "
                "%ld past the time-out\n",
                rounds, probes, unanswered, longest, kScrapeTimeout, late);
    std::ifstream load("/proc/loadavg");
    std::string loadLine;
    std::getline(load, loadLine);
    std::printf("load average at the end (1, 5, 15 min): %s\n", loadLine.c_str());
    std::printf("/metrics answered %d times, failed %d times\n", metricsAnswers.load(),
                metricsFailures.load());
    bool flat = true;
    if (baselineRss > 0) {
        const double rssSpread = 100.0 * (mostRss - leastRss) / baselineRss;
        const double fdSpread = baselineFds > 0 ? 100.0 * (mostFds - leastFds) / baselineFds : 0;
        std::printf("after the first minute: resident memory %.1f..%.1f MB (%.1f %% of %.1f MB), "
                    "descriptors %d..%d (%.1f %% of %d)\n",
                    leastRss / 1024.0, mostRss / 1024.0, rssSpread, baselineRss / 1024.0, leastFds,
                    mostFds, fdSpread, baselineFds);
        flat = rssSpread <= 5 && fdSpread <= 5;
    } else {
        std::printf("shorter than a minute: no flatness figures\n");
    }
    const bool bounded = longest <= kScrapeTimeout;
    const bool ok = flat && bounded && metricsFailures == 0 && unanswered == 0;
    std::printf("soak: %s (flat %s, probes within time-out %s, /metrics throughout %s)\n",
                ok ? "PASSED" : "FAILED", flat ? "yes" : "no", bounded ? "yes" : "no",
                metricsFailures == 0 ? "yes" : "no");
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString exporterPath = QStringLiteral(TARNVIK_EXPORTER_PATH);
    const QString cliPath = QStringLiteral(TARNVIK_CLI_PATH);
    // The exporter starts before the printers, so it inherits none of their sockets (a
    // listening socket held by the exporter would keep a refusing printer's port open).
    const ExporterProcess exporter(exporterPath);
    Fleet fleet;
    if (arguments.size() >= 3 && arguments[1] == QLatin1String("--soak"))
        return Soak(fleet, exporter, arguments[2].toDouble());
    return Benchmark(fleet, exporter, cliPath);
}
