// The exporter against virtual printers on loopback: probes through the engine, and the
// HTTP server answering /probe and /metrics.

#include "ExporterService.h"
#include "HttpGet.h"
#include "PrinterProbe.h"
#include "SimPeer.h"

#include "StandardPrinter.h"
#include "TcpServer.h"
#include "VirtualPrinter.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <future>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

struct ServedPrinter {
    explicit ServedPrinter(uint8_t status = 0, int replyDelayMs = 0) {
        sim::InstallStandardModules(printer);
        printer.statusByte = status;
        printer.faults.replyDelayMs = replyDelayMs;
        std::string error;
        EXPECT_TRUE(server.Start(&error)) << error;
    }
    std::string Link() const { return "tcp:127.0.0.1:" + std::to_string(server.Port()); }
    LinkAddress Address() const {
        QString error;
        return *ParseLinkAddress(QString::fromStdString(Link()), &error);
    }

    sim::VirtualPrinter printer;
    sim::TcpServer server{printer};
};

TEST(ExporterProbe, ReadsStatusConfigurationAndMemories) {
    ServedPrinter printer(1, 5);
    const ProbeReading status =
        ProbePrinter(printer.Address(), ProbeModule::Status, ProbeClock::now() + 5s);
    EXPECT_TRUE(status.up);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(status.status.flags[StatusHeadOpen], 1);
    EXPECT_EQ(status.status.flags[StatusOutOfPaper], 0);
    EXPECT_GE(status.durationSeconds, 0.005) << "every answer came after the reply delay";
    EXPECT_FALSE(status.config);
    EXPECT_FALSE(status.memories);

    const ProbeReading full =
        ProbePrinter(printer.Address(), ProbeModule::Full, ProbeClock::now() + 10s);
    ASSERT_TRUE(full.up);
    EXPECT_EQ(full.code, 0);
    ASSERT_TRUE(full.config);
    const int32_t edition = full.config->Edition; // a packed member: read by value
    EXPECT_EQ(edition, 105);
    EXPECT_STREQ(full.config->Serial, "VP2030105");
    ASSERT_TRUE(full.memories);
    EXPECT_TRUE((*full.memories)[MemoryFlash].totalBytes);
}

TEST(ExporterProbe, SilentPrinterEndsAtTheDeadline) {
    ServedPrinter printer;
    printer.printer.faults.silent = true;
    const auto start = ProbeClock::now();
    const ProbeReading reading = ProbePrinter(printer.Address(), ProbeModule::Full, start + 400ms);
    const auto took = ProbeClock::now() - start;
    EXPECT_FALSE(reading.up);
    EXPECT_NE(reading.code, 0);
    EXPECT_GE(took, 350ms);
    // A silent printer keeps the link's own wait of 30 s; the probe ends near its deadline
    // (with room for a busy test machine).
    EXPECT_LT(took, 3s);

    // The thread keeps its link for the next probe: the waits shortened to the last
    // probe's deadline are not carried over.
    ServedPrinter slow(0, 600);
    const ProbeReading next =
        ProbePrinter(slow.Address(), ProbeModule::Status, ProbeClock::now() + 10s);
    EXPECT_TRUE(next.up);
    EXPECT_TRUE(next.extendedKnown);
}

// Two more names of the loopback printer; nothing reaches a real resolver.
std::vector<IpAddress> AliasResolver(const std::string& host, QString* error) {
    if (const std::optional<IpAddress> numeric = IpAddress::FromText(host))
        return {*numeric};
    if (host == "dock-a" || host == "dock-b")
        return {*IpAddress::FromText("127.0.0.1")};
    *error = QStringLiteral("no such host");
    return {};
}

struct Exporter {
    explicit Exporter(std::initializer_list<const char*> allowed, int maxProbes = 4) {
        QString error;
        for (const char* entry : allowed)
            EXPECT_TRUE(allow.Add(QString::fromLatin1(entry), &error));
        ExporterService::Settings settings;
        settings.maxProbes = maxProbes;
        settings.limits.headerTime = 300ms;
        service = std::make_unique<ExporterService>(settings, allow, &AliasResolver);
        EXPECT_TRUE(service->Start("127.0.0.1:0", &error)) << error.toStdString();
    }
    HttpAnswer Get(const std::string& path, double scrapeTimeout = 3) const {
        return HttpGet(service->Port(), path,
                       {{"X-Prometheus-Scrape-Timeout-Seconds", std::to_string(scrapeTimeout)}},
                       10000);
    }

    AllowList allow;
    std::unique_ptr<ExporterService> service;
};

// A connection to the exporter that sends `bytes` and reads whatever comes back.
std::string RawExchange(int port, const std::string& bytes) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval wait{5, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    std::string answer;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
            static_cast<ssize_t>(bytes.size())) {
        char buffer[4096];
        ssize_t got = 0;
        while ((got = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
            answer.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    return answer;
}

TEST(ExporterHttp, ProbesRefusesAndAnswersItsOwnMetricsMeanwhile) {
    ServedPrinter headOpen(1);
    ServedPrinter silent;
    silent.printer.faults.silent = true;
    Exporter exporter({"127.0.0.0/8"});

    const HttpAnswer ok = exporter.Get("/probe?target=" + headOpen.Link());
    EXPECT_EQ(ok.status, 200);
    EXPECT_NE(ok.body.find("tarnvik_up 1"), std::string::npos) << ok.body;
    EXPECT_NE(ok.body.find("tarnvik_status{condition=\"head_open\"} 1"), std::string::npos);

    const HttpAnswer full = exporter.Get("/probe?module=full&target=" + headOpen.Link());
    EXPECT_NE(full.body.find("tarnvik_printer_info{"), std::string::npos) << full.body;
    EXPECT_NE(full.body.find("serial=\"VP2030105\""), std::string::npos);
    EXPECT_NE(full.body.find("tarnvik_probe_step_success{step=\"memory\"} 1"), std::string::npos);

    const HttpAnswer refused = exporter.Get("/probe?target=tcp:192.0.2.1");
    EXPECT_EQ(refused.status, 403);
    EXPECT_NE(refused.body.find("outside the allowed networks"), std::string::npos) << refused.body;
    const HttpAnswer notALink = exporter.Get("/probe?target=tcp%3A");
    EXPECT_EQ(notALink.status, 400);
    EXPECT_NE(notALink.body.find("tcp: needs a host"), std::string::npos) << notALink.body;

    // Every slot waits on the silent printer (one name written three ways is still one
    // printer): a further probe is refused at once, /metrics and refusals answer meanwhile,
    // and the waiting probes answer at their deadline.
    const std::string port = std::to_string(silent.server.Port());
    const auto start = ProbeClock::now();
    std::vector<std::future<HttpAnswer>> waiting;
    for (const char* name : {"127.0.0.1", "dock-a", "dock-b", "127.0.0.1"})
        waiting.push_back(std::async(std::launch::async, [&exporter, name, port] {
            return exporter.Get("/probe?target=tcp:" + std::string(name) + ":" + port, 1.5);
        }));
    EXPECT_TRUE(WaitUntil([&] { return exporter.service->Scheduler().Running() == 4; }));
    EXPECT_EQ(exporter.service->Scheduler().PrintersTracked(), 1u)
        << "one printer, however it is named";
    const HttpAnswer busy = exporter.Get("/probe?target=" + headOpen.Link());
    EXPECT_EQ(busy.status, 503);
    EXPECT_EQ(exporter.Get("/probe?target=com:/dev/pts/0").status, 403);
    const HttpAnswer own = exporter.Get("/metrics");
    EXPECT_EQ(own.status, 200);
    EXPECT_NE(own.body.find("tarnvik_exporter_probes_in_flight 4"), std::string::npos) << own.body;
    EXPECT_LT(ProbeClock::now() - start, 1s) << "an answer waited behind the probes";
    for (auto& answer : waiting) {
        const HttpAnswer down = answer.get();
        EXPECT_EQ(down.status, 200);
        EXPECT_NE(down.body.find("tarnvik_up 0"), std::string::npos) << down.body;
    }
    // Each waited for the one before it on the same printer, all within their own time;
    // the bound leaves room for a busy test machine.
    EXPECT_LT(ProbeClock::now() - start, 3s) << "an answer waited for the printer";
    const std::string after = exporter.Get("/metrics").body;
    EXPECT_NE(after.find("tarnvik_exporter_probes_failed_total{module=\"status\"} 4"),
              std::string::npos)
        << after;
    EXPECT_NE(after.find("tarnvik_exporter_requests_refused_total{code=\"503\"} 1"),
              std::string::npos);
}

TEST(ExporterHttp, HalfSentManyHeadersAndHeadRequests) {
    ServedPrinter printer;
    Exporter exporter({"127.0.0.0/8"});
    // A head that never ends is answered 408 after the header time, and holds nothing.
    const auto start = ProbeClock::now();
    const std::string slow = RawExchange(exporter.service->Port(), "GET /metrics HTTP/1.1\r\n");
    EXPECT_EQ(slow.rfind("HTTP/1.1 408 ", 0), 0u) << slow;
    EXPECT_LT(ProbeClock::now() - start, 3s);

    std::string many = "GET /probe?target=" + printer.Link() + " HTTP/1.1\r\n";
    for (int i = 0; i < 70; ++i)
        many += "X-" + std::to_string(i) + ": 1\r\n";
    const std::string tooMany = RawExchange(exporter.service->Port(), many + "\r\n");
    EXPECT_EQ(tooMany.rfind("HTTP/1.1 431 ", 0), 0u) << tooMany;

    const std::string head = RawExchange(
        exporter.service->Port(), "HEAD /probe?target=" + printer.Link() + " HTTP/1.1\r\n\r\n");
    EXPECT_EQ(head.rfind("HTTP/1.1 200 ", 0), 0u) << head;
    EXPECT_EQ(printer.server.Accepted(), 0) << "HEAD probes nothing";
    const std::string own = exporter.Get("/metrics").body;
    for (const char* code : {"408", "431"})
        EXPECT_NE(own.find(std::string("requests_refused_total{code=\"") + code + "\"} 1"),
                  std::string::npos)
            << code << own;
}

TEST(ExporterHttp, StopEndsWaitingProbesAtOnce) {
    std::vector<std::unique_ptr<ServedPrinter>> more;
    Exporter exporter({"127.0.0.0/8"}, 64);
    std::vector<std::future<HttpAnswer>> waiting;
    for (int i = 0; i < 8; ++i) {
        more.push_back(std::make_unique<ServedPrinter>());
        more.back()->printer.faults.silent = true;
        const std::string link = more.back()->Link();
        waiting.push_back(std::async(std::launch::async, [&exporter, link] {
            return exporter.Get("/probe?target=" + link, 60);
        }));
    }
    EXPECT_TRUE(WaitUntil([&] { return exporter.service->Scheduler().Running() == 8; }));
    const auto start = ProbeClock::now();
    exporter.service->Stop();
    EXPECT_LT(ProbeClock::now() - start, 3s) << "the probes' 60 s waits were not ended";
    for (auto& answer : waiting) {
        // An answer (the printer not reached) or a closed connection, never a hang.
        const HttpAnswer got = answer.get();
        if (got.status != 0) {
            EXPECT_NE(got.body.find("tarnvik_up 0"), std::string::npos) << got.body;
        }
    }
}

} // namespace
