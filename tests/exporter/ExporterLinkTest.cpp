// The exporter against virtual printers on loopback: probes through the engine, and the
// HTTP server answering /probe and /metrics.

#include "ExporterMetrics.h"
#include "HttpGet.h"
#include "HttpServer.h"
#include "PrinterProbe.h"
#include "ProbeScheduler.h"
#include "RequestHandler.h"

#include "StandardPrinter.h"
#include "TcpServer.h"
#include "VirtualPrinter.h"

#include <gtest/gtest.h>

#include <future>
#include <memory>

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
}

struct Exporter {
    explicit Exporter(std::initializer_list<const char*> allowed) {
        QString error;
        for (const char* entry : allowed)
            EXPECT_TRUE(allow.Add(QString::fromLatin1(entry), &error));
        EXPECT_TRUE(server.Start("127.0.0.1:0", 6, &error)) << error.toStdString();
    }
    HttpAnswer Get(const std::string& path, double scrapeTimeout = 3) const {
        return HttpGet(server.Port(), path,
                       {{"X-Prometheus-Scrape-Timeout-Seconds", std::to_string(scrapeTimeout)}},
                       10000);
    }

    AllowList allow;
    ProbeScheduler scheduler{4};
    ExporterMetrics metrics{[this] { return scheduler.Running(); }};
    RequestHandler handler{
        RequestHandler::Settings{}, allow, &ResolveHost,
        [this](const LinkAddress& target, ProbeModule module, ProbeClock::time_point deadline) {
            return scheduler.Run(PrinterKey(target), deadline, [target, module, deadline] {
                return ProbePrinter(target, module, deadline);
            });
        },
        metrics};
    HttpServer server{handler};
};

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

    const HttpAnswer refused = exporter.Get("/probe?target=tcp:192.0.2.1");
    EXPECT_EQ(refused.status, 403);
    EXPECT_NE(refused.body.find("outside the allowed networks"), std::string::npos) << refused.body;
    const HttpAnswer notALink = exporter.Get("/probe?target=tcp%3A");
    EXPECT_EQ(notALink.status, 400);
    EXPECT_NE(notALink.body.find("tcp: needs a host"), std::string::npos) << notALink.body;

    // Two probes of the silent printer: the second waits for the first and both answer
    // within the scrape time-out; /metrics answers while they run.
    const auto start = ProbeClock::now();
    auto first = std::async(std::launch::async,
                            [&] { return exporter.Get("/probe?target=" + silent.Link(), 1.5); });
    auto second = std::async(std::launch::async,
                             [&] { return exporter.Get("/probe?target=" + silent.Link(), 1.5); });
    std::this_thread::sleep_for(200ms);
    const HttpAnswer own = exporter.Get("/metrics");
    EXPECT_EQ(own.status, 200);
    EXPECT_NE(own.body.find("tarnvik_exporter_probes_in_flight 1"), std::string::npos) << own.body;
    for (auto* answer : {&first, &second}) {
        const HttpAnswer down = answer->get();
        EXPECT_EQ(down.status, 200);
        EXPECT_NE(down.body.find("tarnvik_up 0"), std::string::npos) << down.body;
    }
    // Both answers come at the probe time (1 s), long before the silent printer's 30 s wait
    // would end; the bound leaves room for a busy test machine.
    EXPECT_LT(ProbeClock::now() - start, 3s) << "an answer waited for the printer";
    const std::string after = exporter.Get("/metrics").body;
    EXPECT_NE(after.find("tarnvik_exporter_probes_failed_total{module=\"status\"} 2"),
              std::string::npos)
        << after;
}

} // namespace
