// The exporter at fleet scale, each side in a process of its own: a fleet of virtual
// printers (tarnvik-printer-sim --fleet) scraped through tarnvik-exporter the way
// Prometheus scrapes it, every printer once per interval at its own offset with a 10 s
// scrape time-out.
//
//   bench_fleet [--interval S] [--scenario a|b]   (a) 1,000 printers, 900 off (half silent, half
//   not
//                                accepting), 5 rounds; every probe slot of an exporter
//                                limited to 100 on silent printers: /metrics, a refused
//                                probe and SIGTERM timed; (b) 10,000 printers, 10 % off,
//                                5 rounds, the exporter's peak memory, threads and
//                                descriptors; then 200 printers answering after 20 ms
//                                through the exporter and tarnvik-cli -j 64 beside the ideal
//   bench_fleet --soak MINUTES [--rate N]   1,000 printers of every kind, N probes a second
//                                (default 200): resident memory after warm-up, a verdict
//   bench_fleet --probes N [--exporter PATH] [--rate R]  N probes of every kind of printer,
//                                then SIGTERM: the exporter's exit status and what it
//                                wrote (run with the sanitizer build's exporter for leaks)

#include "FleetScraper.h"
#include "HttpGet.h"
#include "StandardPrinter.h"
#include "TcpServer.h"
#include "VirtualPrinter.h"

#include <QCoreApplication>
#include <QProcess>

#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
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
// The fleets' ports, below the ephemeral range and apart, so a soak and the scenarios can
// run at once.
constexpr int kScenarioPorts = 10000;
constexpr int kSoakPorts = 21000;
constexpr int kLeakRunPorts = 31000;

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
    ExporterProcess(const QString& program, const QStringList& more) {
        process_.setProgram(program);
        process_.setArguments(QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                                          QStringLiteral("--allow"),
                                          QStringLiteral("127.0.0.0/8")} +
                              more);
        process_.setProcessChannelMode(QProcess::SeparateChannels);
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

    // SIGTERM; the seconds until the process ended (negative: not within 10 s) and its
    // exit status.
    std::pair<double, int> Terminate() {
        const auto start = Clock::now();
        ::kill(static_cast<pid_t>(Pid()), SIGTERM);
        const bool ended = process_.waitForFinished(10000);
        const double seconds = Seconds(Clock::now() - start);
        return {ended ? seconds : -1, process_.exitCode()};
    }
    QByteArray Errors() {
        process_.waitForReadyRead(100);
        return process_.readAllStandardError();
    }

    // A line of /proc/PID/status in kB ("VmRSS", "VmHWM").
    long StatusKb(const char* key) const {
        if (process_.state() != QProcess::Running)
            return -1;
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
        if (process_.state() != QProcess::Running)
            return -1;
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

// The fleet as its own process; knows which ports play which part.
class FleetProcess {
public:
    FleetProcess(const QString& program, int count, int basePort, const QStringList& shares) {
        process_.setProgram(program);
        process_.setArguments(QStringList{QStringLiteral("--fleet"), QString::number(count),
                                          QStringLiteral("--base-port"),
                                          QString::number(basePort)} +
                              shares);
        process_.start();
        const auto end = Clock::now() + 60s;
        while (Clock::now() < end) {
            if (!process_.canReadLine() && !process_.waitForReadyRead(1000)) {
                if (process_.state() != QProcess::Running)
                    break;
                continue;
            }
            while (process_.canReadLine()) {
                const QByteArray line = process_.readLine().trimmed();
                if (line.startsWith("fleet of ")) {
                    ready_ = true;
                    return;
                }
                // "ROLE ADDR:FIRST-LAST"
                const QList<QByteArray> parts = line.split(' ');
                const QByteArray range = parts.value(1).mid(parts.value(1).indexOf(':') + 1);
                const int dash = range.indexOf('-');
                for (int port = range.left(dash).toInt(); port <= range.mid(dash + 1).toInt();
                     ++port)
                    roles_.emplace_back(port, parts.value(0).toStdString());
            }
        }
        std::fprintf(stderr, "the fleet did not start: %s\n",
                     process_.readAllStandardError().constData());
        std::exit(1);
    }
    ~FleetProcess() {
        process_.terminate();
        if (!process_.waitForFinished(10000))
            process_.kill();
        process_.waitForFinished(5000);
    }
    // (port, role) of every printer.
    const std::vector<std::pair<int, std::string>>& Printers() const { return roles_; }

private:
    QProcess process_;
    bool ready_ = false;
    std::vector<std::pair<int, std::string>> roles_;
};

std::string ProbePath(int port) {
    return "/probe?target=tcp:127.0.0.1:" + std::to_string(port);
}

// The exporter's peaks, sampled as the run goes.
struct Peaks {
    long rssKb = 0;
    long threads = 0;
    int descriptors = 0;
    void Sample(const ExporterProcess& exporter) {
        rssKb = std::max(rssKb, exporter.StatusKb("VmRSS"));
        threads = std::max(threads, exporter.StatusKb("Threads"));
        descriptors = std::max(descriptors, exporter.OpenDescriptors());
    }
};

double Percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(p * values.size()))];
}

// Every printer scraped once a round at its own offset within the interval, for `rounds`.
// True when every live printer was up in every round.
bool ScrapeRounds(const FleetProcess& fleet, ExporterProcess& exporter, int rounds, double interval,
                  Peaks& peaks) {
    constexpr double kScrapeTimeout = 10;
    const auto& printers = fleet.Printers();
    FleetScraper scraper(exporter.Port(), kScrapeTimeout);
    const auto start = Clock::now() + 200ms;
    const auto step =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(interval));
    for (int r = 0; r < rounds; ++r) {
        // Spread over the interval in a shuffled order, as Prometheus spreads targets; the
        // scraper takes them in time order.
        std::vector<std::pair<long, size_t>> order;
        for (size_t i = 0; i < printers.size(); ++i)
            order.emplace_back(static_cast<long>((i * 7919) % printers.size()), i);
        std::sort(order.begin(), order.end());
        for (const auto& [slot, i] : order)
            scraper.Add(start + r * step + step * slot / static_cast<long>(printers.size()),
                        r * 1000000 + static_cast<int>(i), ProbePath(printers[i].first));
    }
    std::vector<std::vector<FleetScraper::Result>> results(static_cast<size_t>(rounds));
    auto lastSample = Clock::now();
    scraper.Run(
        [&] {
            if (Clock::now() - lastSample >= 250ms) {
                lastSample = Clock::now();
                peaks.Sample(exporter);
            }
            return false;
        },
        [&](const FleetScraper::Result& result) {
            results[static_cast<size_t>(result.tag / 1000000)].push_back(result);
        });
    bool allUp = true;
    for (int r = 0; r < rounds; ++r) {
        int live = 0, liveUp = 0, off = 0, offAnswered = 0, failed = 0, busy = 0;
        std::vector<double> liveTimes;
        double offLongest = 0;
        for (const FleetScraper::Result& result : results[static_cast<size_t>(r)]) {
            const bool healthy =
                printers[static_cast<size_t>(result.tag % 1000000)].second == "healthy";
            failed += result.status != 200;
            busy += result.status == 503;
            if (healthy) {
                ++live;
                liveUp += result.up;
                liveTimes.push_back(result.seconds);
            } else {
                ++off;
                offAnswered += result.status == 200 && !result.up;
                offLongest = std::max(offLongest, result.seconds);
            }
        }
        std::printf("  round %d: live up %d/%d (probe time median %.1f ms, 99th %.1f ms, "
                    "longest %.1f ms); off answered down %d/%d (longest %.2f s); failed "
                    "scrapes %d (503: %d)\n",
                    r + 1, liveUp, live, Percentile(liveTimes, 0.5) * 1000,
                    Percentile(liveTimes, 0.99) * 1000, Percentile(liveTimes, 1.0) * 1000,
                    offAnswered, off, offLongest, failed, busy);
        allUp = allUp && liveUp == live && live > 0;
    }
    if (scraper.ConnectFailures())
        std::printf("  connections the scraper could not open: %ld\n", scraper.ConnectFailures());
    return allUp;
}

void PrintPeaks(const Peaks& peaks, ExporterProcess& exporter) {
    const long hwm = exporter.StatusKb("VmHWM");
    if (hwm < 0) {
        const QByteArray errors = exporter.Errors();
        std::printf("  the exporter ENDED during the run: %s\n", errors.right(2000).constData());
    }
    std::printf("  exporter peak: resident %.1f MB (sampled %.1f MB), threads %ld, descriptors "
                "%d\n",
                hwm / 1024.0, peaks.rssKb / 1024.0, peaks.threads, peaks.descriptors);
}

QStringList OffShares(double silent, double notAccepting) {
    return {QStringLiteral("--fleet-silent"), QString::number(silent),
            QStringLiteral("--fleet-unaccepting"), QString::number(notAccepting)};
}

// Every probe slot of an exporter limited to 100 waits on a silent printer: how fast
// /metrics and a refused probe answer, and how fast SIGTERM ends it.
bool SlotsTaken(const QString& exporterPath, const FleetProcess& fleet) {
    std::vector<int> silent;
    int healthy = 0;
    for (const auto& [port, role] : fleet.Printers()) {
        if (role == "silent" && silent.size() < 100)
            silent.push_back(port);
        if (role == "healthy")
            healthy = port;
    }
    ExporterProcess exporter(exporterPath, {QStringLiteral("--max-probes"), QStringLiteral("100")});
    FleetScraper scraper(exporter.Port(), 30);
    for (size_t i = 0; i < silent.size(); ++i)
        scraper.Add(Clock::now(), static_cast<int>(i), ProbePath(silent[i]));
    int answered = 0, closed = 0;
    std::thread waiting([&] {
        scraper.Run(
            [] { return false; },
            [&](const FleetScraper::Result& r) { (r.status == 200 ? answered : closed)++; });
    });
    // Until every slot is taken.
    for (int i = 0; i < 100; ++i) {
        if (HttpGet(exporter.Port(), "/metrics", {}, 2000)
                .body.find("tarnvik_exporter_probes_in_flight 100") != std::string::npos)
            break;
        std::this_thread::sleep_for(20ms);
    }
    std::vector<double> metricsTimes;
    bool metricsOk = true;
    for (int i = 0; i < 20; ++i) {
        const auto start = Clock::now();
        const HttpAnswer answer = HttpGet(exporter.Port(), "/metrics", {}, 5000);
        metricsTimes.push_back(Seconds(Clock::now() - start));
        metricsOk = metricsOk && answer.status == 200;
    }
    const auto refusedStart = Clock::now();
    const HttpAnswer refused = HttpGet(exporter.Port(), ProbePath(healthy), {}, 5000);
    const double refusedSeconds = Seconds(Clock::now() - refusedStart);
    std::this_thread::sleep_for(300ms);
    const auto [stopSeconds, status] = exporter.Terminate();
    waiting.join();
    const double metricsLongest = Percentile(metricsTimes, 1.0);
    std::printf("  every slot (100) on a silent printer: /metrics median %.2f ms, longest %.2f "
                "ms (%s); a further probe answered %d in %.2f ms\n",
                Percentile(metricsTimes, 0.5) * 1000, metricsLongest * 1000,
                metricsOk ? "all 200" : "NOT all answered", refused.status, refusedSeconds * 1000);
    std::printf("  SIGTERM with 100 probes waiting: ended in %.0f ms, exit status %d; scrapes "
                "answered %d, closed %d\n",
                stopSeconds * 1000, status, answered, closed);
    return metricsOk && metricsLongest < 0.1 && refused.status == 503 && stopSeconds >= 0 &&
           stopSeconds < 1 && status == 0;
}

int Scenarios(const QString& simPath, const QString& exporterPath, double interval,
              const QString& only) {
    bool ok = true;
    if (only.isEmpty() || only == QLatin1String("a")) {
        std::printf("(a) 1,000 printers, 900 off (450 silent, 450 not accepting), scraped every "
                    "%.0f s with a 10 s time-out, 5 rounds\n",
                    interval);
        std::fflush(stdout);
        FleetProcess fleet(simPath, 1000, kScenarioPorts, OffShares(45, 45));
        ExporterProcess exporter(exporterPath, {});
        Peaks peaks;
        const bool allUp = ScrapeRounds(fleet, exporter, 5, interval, peaks);
        PrintPeaks(peaks, exporter);
        std::printf("  %s\n", allUp ? "every live printer up in every round"
                                    : "FAILED: a live printer was not up in some round");
        const bool slotsOk = SlotsTaken(exporterPath, fleet);
        ok = ok && allUp && slotsOk;
    }
    if (only.isEmpty() || only == QLatin1String("b")) {
        std::printf("\n(b) 10,000 printers, 10 %% off (500 silent, 500 not accepting), scraped "
                    "every %.0f s with a 10 s time-out, 5 rounds\n",
                    interval);
        std::fflush(stdout);
        FleetProcess fleet(simPath, 10000, kScenarioPorts, OffShares(5, 5));
        ExporterProcess exporter(exporterPath, {});
        Peaks peaks;
        const bool allUp = ScrapeRounds(fleet, exporter, 5, interval, peaks);
        PrintPeaks(peaks, exporter);
        const long hwm = exporter.StatusKb("VmHWM");
        std::printf("  %s; peak resident memory %s the 256 MB goal\n",
                    allUp ? "every live printer up in every round"
                          : "FAILED: a live printer was not up in some round",
                    hwm < 256 * 1024 ? "within" : "OVER");
        ok = ok && allUp && hwm < 256 * 1024;
    }
    std::fflush(stdout);
    return ok ? 0 : 1;
}

// The mix of the soak and the leak run: every kind of printer.
QStringList EveryKind() {
    return {QStringLiteral("--fleet-silent"),      QStringLiteral("5"),
            QStringLiteral("--fleet-refusing"),    QStringLiteral("5"),
            QStringLiteral("--fleet-unaccepting"), QStringLiteral("5"),
            QStringLiteral("--fleet-slow"),        QStringLiteral("5"),
            QStringLiteral("--fleet-slow-ms"),     QStringLiteral("500"),
            QStringLiteral("--fleet-garbage"),     QStringLiteral("5"),
            QStringLiteral("--fleet-hangup"),      QStringLiteral("5")};
}

// Scrapes the fleet at `rate` probes a second (every printer in turn, a tenth of them with
// module=full) until `enough` says so; `sample` runs about every second.
void ScrapeAtRate(const FleetProcess& fleet, const ExporterProcess& exporter, double rate,
                  double timeout, const std::function<bool(long probes)>& enough,
                  const std::function<void(const FleetScraper::Result&)>& done,
                  const std::function<void()>& sample) {
    const auto& printers = fleet.Printers();
    FleetScraper scraper(exporter.Port(), timeout);
    const auto gap =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / rate));
    auto next = Clock::now();
    long added = 0;
    long finished = 0;
    auto lastSample = Clock::now();
    scraper.Run(
        [&] {
            const auto now = Clock::now();
            if (now - lastSample >= 1s) {
                lastSample = now;
                sample();
            }
            if (enough(added))
                return false;
            // Half a second ahead.
            while (next < now + 500ms && !enough(added)) {
                const size_t i = static_cast<size_t>(added) % printers.size();
                scraper.Add(next, static_cast<int>(i),
                            ProbePath(printers[i].first) + (added % 10 == 0 ? "&module=full" : ""));
                next += gap;
                ++added;
            }
            return true;
        },
        [&](const FleetScraper::Result& result) {
            ++finished;
            done(result);
        });
}

int Soak(const QString& simPath, const QString& exporterPath, double minutes, double rate) {
    FleetProcess fleet(simPath, 1000, kSoakPorts, EveryKind());
    ExporterProcess exporter(exporterPath, {});
    const double warmUp = std::min(300.0, minutes * 60 / 4);
    std::printf("soak: 1,000 printers (70 %% healthy; silent, refusing, not accepting, slow, "
                "garbage, hanging up 5 %% each), %.0f probes a second, %.1f min, resident "
                "memory judged after %.0f s of warm-up\n",
                rate, minutes, warmUp);
    std::printf("%8s %8s %8s %8s %10s\n", "seconds", "rss MB", "threads", "fds", "probes");
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration_cast<Clock::duration>(
                                 std::chrono::duration<double>(minutes * 60));
    long probes = 0, failed = 0, late = 0;
    long first = -1, least = 1L << 40, most = 0;
    double longest = 0;
    int tick = 0;
    ScrapeAtRate(
        fleet, exporter, rate, 4, [&](long) { return Clock::now() >= end; },
        [&](const FleetScraper::Result& result) {
            ++probes;
            failed += result.status != 200;
            late += result.status == 0;
            longest = std::max(longest, result.seconds);
        },
        [&] {
            const double elapsed = Seconds(Clock::now() - start);
            const long rss = exporter.StatusKb("VmRSS");
            if (elapsed >= warmUp) {
                if (first < 0)
                    first = rss;
                least = std::min(least, rss);
                most = std::max(most, rss);
            }
            if (++tick % 30 == 0) {
                std::printf("%8.0f %8.1f %8ld %8d %10ld\n", elapsed, rss / 1024.0,
                            exporter.StatusKb("Threads"), exporter.OpenDescriptors(), probes);
                std::fflush(stdout);
            }
        });
    const double ran = Seconds(Clock::now() - start);
    std::printf("\nran %.1f min, %ld probes (%.0f a second), %ld not answered 200 (%ld past the "
                "4 s time-out), longest %.2f s\n",
                ran / 60, probes, probes / ran, failed, late, longest);
    if (first < 0) {
        std::printf("soak: too short for a verdict\n");
        return 1;
    }
    const double spread = 100.0 * (most - least) / first;
    std::printf("resident memory after warm-up: %.2f..%.2f MB, %.2f %% of %.2f MB (goal: within "
                "2 %%)\n",
                least / 1024.0, most / 1024.0, spread, first / 1024.0);
    const bool ok = spread <= 2 && late == 0;
    std::printf("soak: %s\n", ok ? "PASSED" : "FAILED");
    return ok ? 0 : 1;
}

int LeakRun(const QString& simPath, const QString& exporterPath, long count, double rate) {
    FleetProcess fleet(simPath, 1000, kLeakRunPorts, EveryKind());
    ExporterProcess exporter(exporterPath, {});
    std::printf("%ld probes of every kind of printer through %s at %.0f a second\n", count,
                qPrintable(exporterPath), rate);
    std::fflush(stdout);
    long probes = 0, up = 0;
    ScrapeAtRate(
        fleet, exporter, rate, 2, [&](long added) { return added >= count; },
        [&](const FleetScraper::Result& result) {
            ++probes;
            up += result.up;
        },
        [] {});
    const auto [seconds, status] = exporter.Terminate();
    const QByteArray errors = exporter.Errors();
    std::printf("%ld probes answered (%ld up); SIGTERM: ended in %.0f ms, exit status %d\n", probes,
                up, seconds * 1000, status);
    const bool leaks = errors.contains("LeakSanitizer") || errors.contains("AddressSanitizer");
    std::printf("sanitizer report: %s\n", leaks ? "" : "none");
    if (leaks)
        std::fwrite(errors.constData(), 1, static_cast<size_t>(errors.size()), stdout);
    return !leaks && status == 0 && seconds >= 0 ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    QString exporterPath = QStringLiteral(TARNVIK_EXPORTER_PATH);
    const QString simPath = QStringLiteral(TARNVIK_SIM_PATH);
    const QString cliPath = QStringLiteral(TARNVIK_CLI_PATH);
    double interval = 15, rate = 200, soakMinutes = 0;
    long probes = 0;
    QString only;
    for (qsizetype i = 1; i + 1 < arguments.size(); i += 2) {
        const QString& option = arguments[i];
        const QString& value = arguments[i + 1];
        if (option == QLatin1String("--interval"))
            interval = value.toDouble();
        else if (option == QLatin1String("--rate"))
            rate = value.toDouble();
        else if (option == QLatin1String("--soak"))
            soakMinutes = value.toDouble();
        else if (option == QLatin1String("--probes"))
            probes = value.toLong();
        else if (option == QLatin1String("--exporter"))
            exporterPath = value;
        else if (option == QLatin1String("--scenario"))
            only = value;
    }
    // The exporter and the fleet take thousands of descriptors; so does the scraper.
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
    if (soakMinutes > 0)
        return Soak(simPath, exporterPath, soakMinutes, rate);
    if (probes > 0)
        return LeakRun(simPath, exporterPath, probes, rate);
    const int scenarios = Scenarios(simPath, exporterPath, interval, only);
    if (!only.isEmpty())
        return scenarios;
    std::printf("\n200 printers answering after %d ms, through the exporter and tarnvik-cli\n",
                kReplyDelayMs);
    // The client keeps 64 at a time; a slot comes free a moment after its answer has gone,
    // so the ceiling is set above that.
    const ExporterProcess exporter(
        exporterPath, {QStringLiteral("--max-probes"), QString::number(2 * kParallel)});
    Fleet fleet;
    const int compared = Benchmark(fleet, exporter, cliPath);
    return scenarios != 0 ? scenarios : compared;
}
