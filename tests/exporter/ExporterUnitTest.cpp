// The exporter's request handling, allow list, metrics text, options and probe scheduling,
// without printers.

#include "AllowList.h"
#include "ExporterMetrics.h"
#include "ExporterOptions.h"
#include "ProbeMetrics.h"
#include "ProbeScheduler.h"
#include "RequestHandler.h"
#include "SimPeer.h"

#include "link/FixedText.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <map>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Names resolve from a table; nothing reaches a real resolver.
std::vector<IpAddress> TableResolver(const std::string& host, QString* error) {
    static const std::map<std::string, std::vector<std::string>> kHosts = {
        {"dock-1", {"10.20.1.5"}},
        {"split", {"10.20.1.6", "192.168.7.7"}},
        {"v6", {"fd00::17"}},
    };
    std::vector<IpAddress> out;
    if (const std::optional<IpAddress> numeric = IpAddress::FromText(host))
        return {*numeric};
    const auto at = kHosts.find(host);
    if (at == kHosts.end()) {
        *error = QStringLiteral("%1 does not resolve").arg(QString::fromStdString(host));
        return out;
    }
    for (const std::string& text : at->second)
        out.push_back(*IpAddress::FromText(text));
    return out;
}

LinkAddress Link(const char* text) {
    QString error;
    std::optional<LinkAddress> link = ParseLinkAddress(QString::fromLatin1(text), &error);
    EXPECT_TRUE(link) << error.toStdString();
    return link.value_or(LinkAddress{});
}

TEST(ExporterAllowList, NetworksDevicesAndUsb) {
    AllowList allow;
    QString error;
    EXPECT_TRUE(allow.Empty());
    LinkAddress anything = Link("tcp:203.0.113.9");
    EXPECT_TRUE(allow.Permits(anything, &TableResolver, &error)) << "an empty list permits all";

    for (const char* entry : {"10.20.0.0/16", "fd00::/8", "127.0.0.1", "/dev/ttyUSB*", "usb"})
        EXPECT_TRUE(allow.Add(QString::fromLatin1(entry), &error)) << entry;
    for (const char* entry :
         {"10.20.0.0/33", "10.20.0.0/", "10.20.0.0/x", "dock", "/dev/../etc/x", "fd00::/129", ""})
        EXPECT_FALSE(allow.Add(QString::fromLatin1(entry), &error)) << entry;

    struct Case {
        const char* link;
        bool permitted;
    };
    for (const Case& c :
         {Case{"tcp:10.20.4.4", true}, Case{"tcp:10.21.0.1", false}, Case{"tcp:dock-1:9101", true},
          Case{"tcp:split", false}, Case{"tcp:nowhere", false}, Case{"tcp:v6", true},
          Case{"tcp:[fd00::1]:9100", true}, Case{"tcp:[fe80::1]", false},
          Case{"tcp:127.0.0.1", true}, Case{"tcp:127.0.0.2", false},
          Case{"com:/dev/ttyUSB0,9600", true}, Case{"com:/dev/ttyS0", false},
          Case{"com:COM1", false}, Case{"com:/dev/ttyUSB0/../ttyS0", false},
          Case{"lpt:/dev/ttyUSB3", true}, Case{"lpt:/dev/lp0", false}, Case{"usb", true}}) {
        LinkAddress target = Link(c.link);
        QString reason;
        EXPECT_EQ(allow.Permits(target, &TableResolver, &reason), c.permitted) << c.link;
        EXPECT_EQ(reason.isEmpty(), c.permitted) << c.link << ": " << reason.toStdString();
    }

    // The probe connects to the address that was checked, not to the name.
    LinkAddress named = Link("tcp:dock-1:9101");
    ASSERT_TRUE(allow.Permits(named, &TableResolver, &error));
    EXPECT_EQ(FixedText(named.net.address, FixedTextKind::Local), QStringLiteral("10.20.1.5"));
    EXPECT_EQ(named.net.port, 9101);
    QString reason;
    LinkAddress split = Link("tcp:split");
    allow.Permits(split, &TableResolver, &reason);
    EXPECT_NE(reason.indexOf(QStringLiteral("192.168.7.7")), -1) << reason.toStdString();

    AllowList serialOnly;
    ASSERT_TRUE(serialOnly.Add(QStringLiteral("/dev/ttyS0"), &error));
    LinkAddress usb = Link("usb");
    LinkAddress com1 = Link("com:COM1");
    LinkAddress tcp = Link("tcp:127.0.0.1");
    EXPECT_FALSE(serialOnly.Permits(usb, &TableResolver, &error));
    EXPECT_TRUE(serialOnly.Permits(com1, &TableResolver, &error)) << "COM1 opens /dev/ttyS0";
    EXPECT_FALSE(serialOnly.Permits(tcp, &TableResolver, &error));
}

TEST(ExporterRequests, QueryComponentsDecode) {
    EXPECT_EQ(DecodeQueryComponent("tcp%3A10.0.0.1%3a9100"), "tcp:10.0.0.1:9100");
    EXPECT_EQ(DecodeQueryComponent("a+b%20c"), "a b c");
    EXPECT_EQ(DecodeQueryComponent(""), "");
    for (const char* broken : {"%", "%4", "%zz", "a%g0", "%%"})
        EXPECT_FALSE(DecodeQueryComponent(broken)) << broken;
}

struct HandlerFixture {
    explicit HandlerFixture(std::initializer_list<const char*> allowed = {}) {
        QString error;
        for (const char* entry : allowed)
            EXPECT_TRUE(allow.Add(QString::fromLatin1(entry), &error));
        handler = std::make_unique<RequestHandler>(
            RequestHandler::Settings{}, allow, &TableResolver,
            [this](const LinkAddress& target, ProbeModule module,
                   ProbeClock::time_point deadline) -> std::optional<ProbeReading> {
                probed.push_back(target);
                modules.push_back(module);
                budget = deadline - ProbeClock::now();
                if (!reading)
                    return std::nullopt;
                return reading;
            },
            metrics);
    }
    HttpResponse Get(const std::string& path, const std::string& query,
                     std::vector<std::pair<std::string, std::string>> headers = {}) {
        HttpRequest request;
        request.path = path;
        request.query = query;
        request.headers = std::move(headers);
        return handler->Handle(request);
    }

    AllowList allow;
    ExporterMetrics metrics;
    std::unique_ptr<RequestHandler> handler;
    std::vector<LinkAddress> probed;
    std::vector<ProbeModule> modules;
    ProbeClock::duration budget{};
    std::optional<ProbeReading> reading;
};

TEST(ExporterRequests, ProbeAnswersRefusesAndRoutes) {
    HandlerFixture fixture({"10.20.0.0/16"});
    ProbeReading headOpen;
    headOpen.up = true;
    headOpen.status.flags[StatusHeadOpen] = 1;
    fixture.reading = headOpen;

    HttpResponse ok = fixture.Get("/probe", "target=tcp%3Adock-1&module=status");
    EXPECT_EQ(ok.status, 200);
    EXPECT_NE(ok.body.find("tarnvik_up 1"), std::string::npos) << ok.body;
    EXPECT_NE(ok.body.find("tarnvik_status{condition=\"head_open\"} 1"), std::string::npos);
    EXPECT_NE(ok.body.find("tarnvik_status{condition=\"paper_jam\"} 0"), std::string::npos);
    // Without the extended status reply its two conditions are unknown: left out, not 0.
    EXPECT_EQ(ok.body.find("out_of_ribbon"), std::string::npos) << ok.body;
    EXPECT_EQ(ok.body.find("ribbon_encoder_error"), std::string::npos);
    EXPECT_EQ(ok.contentType.rfind("text/plain; version=0.0.4", 0), 0u);
    ASSERT_EQ(fixture.probed.size(), 1u);
    EXPECT_EQ(FixedText(fixture.probed[0].net.address, FixedTextKind::Local),
              QStringLiteral("10.20.1.5"));

    headOpen.extendedKnown = true;
    fixture.reading = headOpen;
    EXPECT_NE(fixture.Get("/probe", "module=full&target=tcp:10.20.0.1")
                  .body.find("tarnvik_status{condition=\"out_of_ribbon\"} 0"),
              std::string::npos);
    ASSERT_EQ(fixture.modules.size(), 2u);
    EXPECT_EQ(fixture.modules[1], ProbeModule::Full);

    struct Refusal {
        const char* query;
        int status;
        const char* message;
    };
    for (const Refusal& r :
         {Refusal{"target=bogus", 400, "bogus: links are usb"},
          Refusal{"target=tcp:10.20.0.1:0", 400, "not a plain decimal number from 1 to 65535"},
          Refusal{"", 400, "target=LINK"}, Refusal{"target=", 400, "target=LINK"},
          Refusal{"target=tcp:10.20.0.1&target=tcp:10.20.0.2", 400, "one target"},
          Refusal{"target=tcp:10.20.0.1&module=deep", 400, "status or full"},
          Refusal{"target=tcp%3A10.20.0.1%0", 400, "%-escape"},
          Refusal{"target=tcp:10.20.0.1%00x", 400, "control characters"},
          Refusal{"target=tcp:10.20.0.1%0d%0a", 400, "control characters"},
          Refusal{"target=tcp:%ff%fe", 400, "UTF-8"},
          Refusal{"target=tcp:192.168.1.1", 403, "outside the allowed networks"},
          Refusal{"target=tcp:nowhere", 403, "does not resolve"},
          Refusal{"target=com:/dev/ttyS0", 403, "not an allowed device"},
          Refusal{"target=usb", 403, "USB link is not allowed"}}) {
        const HttpResponse answer = fixture.Get("/probe", r.query);
        EXPECT_EQ(answer.status, r.status) << r.query;
        EXPECT_NE(answer.body.find(r.message), std::string::npos) << r.query << ": " << answer.body;
    }
    EXPECT_EQ(fixture.probed.size(), 2u) << "no refused target is probed";

    EXPECT_EQ(fixture.Get("/nothing", "").status, 404);
    EXPECT_EQ(fixture.Get("/", "").status, 200);
    HttpRequest post;
    post.method = "POST";
    post.path = "/probe";
    EXPECT_EQ(fixture.handler->Handle(post).status, 405);

    const std::string own = fixture.Get("/metrics", "").body;
    EXPECT_NE(own.find("tarnvik_exporter_probes_total{module=\"status\"} 1"), std::string::npos)
        << own;
    EXPECT_NE(own.find("tarnvik_exporter_probes_total{module=\"full\"} 1"), std::string::npos);
    EXPECT_NE(own.find("tarnvik_exporter_requests_refused_total{code=\"400\"} 10"),
              std::string::npos);
    EXPECT_NE(own.find("tarnvik_exporter_requests_refused_total{code=\"403\"} 4"),
              std::string::npos);
}

TEST(ExporterRequests, ProbeTimeFollowsTheScrapeTimeout) {
    HandlerFixture fixture;
    auto seconds = [&](std::vector<std::pair<std::string, std::string>> headers) {
        HttpRequest request;
        request.headers = std::move(headers);
        return fixture.handler->ProbeSeconds(request);
    };
    EXPECT_DOUBLE_EQ(seconds({}), 9.5);
    EXPECT_DOUBLE_EQ(seconds({{"x-prometheus-scrape-timeout-seconds", "4"}}), 3.5);
    EXPECT_DOUBLE_EQ(seconds({{"X-Prometheus-Scrape-Timeout-Seconds", "0.6"}}), 0.3);
    EXPECT_DOUBLE_EQ(seconds({{"X-Prometheus-Scrape-Timeout-Seconds", "100000"}}), 299.5);
    for (const char* bad : {"", "abc", "-3", "0", "nan", "inf", "4s"})
        EXPECT_DOUBLE_EQ(seconds({{"X-Prometheus-Scrape-Timeout-Seconds", bad}}), 9.5) << bad;

    // A probe that does not come back in time counts as down.
    fixture.Get("/probe", "target=tcp:127.0.0.1", {{"X-Prometheus-Scrape-Timeout-Seconds", "2"}});
    EXPECT_GT(fixture.budget, 1400ms);
    EXPECT_LE(fixture.budget, 1500ms);
    const HttpResponse down = fixture.Get("/probe", "target=tcp:127.0.0.1");
    EXPECT_EQ(down.status, 200);
    EXPECT_NE(down.body.find("tarnvik_up 0"), std::string::npos) << down.body;
    EXPECT_EQ(down.body.find("tarnvik_status"), std::string::npos);
}

TEST(ExporterMetricsText, FullProbeNamesThePrinter) {
    ProbeReading reading;
    reading.up = true;
    reading.durationSeconds = 0.25;
    PrinterConfig config;
    std::memset(&config, 0, sizeof config);
    config.Edition = 105;
    config.Dpi = 203;
    config.CutCounter = 4711;
    config.ResetCutCounter = 12;
    std::strcpy(config.Version, "V1.2 \"beta\"");
    std::strcpy(config.Serial, "SN-1\\2");
    std::strcpy(config.Milage, "12.5");
    std::strcpy(config.ResetMilage, "garbled");
    reading.config = config;
    std::array<MemorySpace, kMemoryDeviceCount> memories;
    memories[MemoryFlash].totalBytes = 4096 * 1024;
    memories[MemoryFlash].freeBytes = 1024;
    memories[MemoryCard].totalBytes = 0;
    reading.memories = memories;

    const std::string text = ProbeMetricsText(reading);
    for (const char* line :
         {"tarnvik_printer_info{dpi=\"203\",edition=\"105\",serial=\"SN-1\\\\2\",version=\"V1.2 "
          "\\\"beta\\\"\"} 1",
          "tarnvik_print_distance_meters_total 12500", "tarnvik_cutter_cuts_total 4711",
          "tarnvik_cutter_cuts_resettable_total 12",
          "tarnvik_memory_size_bytes{memory=\"flash\"} 4194304",
          "tarnvik_memory_free_bytes{memory=\"flash\"} 1024",
          "tarnvik_memory_size_bytes{memory=\"card\"} 0", "tarnvik_probe_duration_seconds 0.25",
          "# TYPE tarnvik_cutter_cuts_total counter"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    EXPECT_EQ(text.find("tarnvik_print_distance_resettable"), std::string::npos) << "not a number";
    EXPECT_EQ(text.find("memory=\"dram\""), std::string::npos) << "not reported, not shown";

    config.Edition = 101;
    reading.config = config;
    const std::string old = ProbeMetricsText(reading);
    EXPECT_EQ(old.find("tarnvik_cutter_cuts"), std::string::npos) << "edition 101 has no counter";
}

TEST(ExporterOptionsParsing, DefaultsAndMistakes) {
    QString error;
    const std::optional<ExporterOptions> defaults = ParseExporterOptions({}, &error);
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->listen, "127.0.0.1:9854");
    EXPECT_EQ(defaults->maxProbes, 64);
    EXPECT_TRUE(defaults->allow.Empty());

    const std::optional<ExporterOptions> set =
        ParseExporterOptions({"--listen", "0.0.0.0:0", "--allow", "10.0.0.0/8", "--max-probes", "8",
                              "--default-timeout", "3", "--timeout-offset", "0.2"},
                             &error);
    ASSERT_TRUE(set) << error.toStdString();
    EXPECT_EQ(set->listen, "0.0.0.0:0");
    EXPECT_FALSE(set->allow.Empty());
    EXPECT_EQ(set->maxProbes, 8);
    EXPECT_DOUBLE_EQ(set->defaultTimeoutSeconds, 3);
    EXPECT_DOUBLE_EQ(set->timeoutOffsetSeconds, 0.2);

    for (const QStringList& bad :
         {QStringList{"--listen"}, QStringList{"--listen", "9854"}, QStringList{"--listen", ":1"},
          QStringList{"--listen", "x:70000"}, QStringList{"--listen", "[::1]:9854"},
          QStringList{"--allow", "everything"}, QStringList{"--max-probes", "0"},
          QStringList{"--default-timeout", "0"}, QStringList{"--timeout-offset", "-1"},
          QStringList{"--bogus"}}) {
        error.clear();
        EXPECT_FALSE(ParseExporterOptions(bad, &error)) << bad.join(' ').toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(ExporterScheduler, OneProbePerPrinterAndALimit) {
    ProbeScheduler scheduler(2);
    std::atomic<int> running{0};
    std::atomic<int> most{0};
    std::map<std::string, std::atomic<int>> perPrinter;
    perPrinter["a"];
    perPrinter["b"];
    perPrinter["c"];
    std::atomic<bool> overlap{false};
    auto probe = [&](const std::string& key) {
        return [&, key] {
            if (++perPrinter[key] > 1)
                overlap = true;
            const int now = ++running;
            int seen = most.load();
            while (now > seen && !most.compare_exchange_weak(seen, now)) {
            }
            std::this_thread::sleep_for(30ms);
            --running;
            --perPrinter[key];
            ProbeReading reading;
            reading.up = true;
            return reading;
        };
    };
    std::vector<std::thread> callers;
    std::atomic<int> answered{0};
    for (int i = 0; i < 9; ++i) {
        const std::string key = std::string(1, static_cast<char>('a' + i % 3));
        callers.emplace_back([&, key] {
            if (scheduler.Run(key, ProbeClock::now() + 5s, probe(key)))
                ++answered;
        });
    }
    for (std::thread& caller : callers)
        caller.join();
    EXPECT_EQ(answered, 9);
    EXPECT_FALSE(overlap) << "two probes of one printer ran at once";
    EXPECT_EQ(most, 2);
    // A caller has its reading a moment before its probe's thread lets the printer go.
    EXPECT_TRUE(WaitUntil([&] { return scheduler.Running() == 0; }));
    EXPECT_EQ(scheduler.PrintersTracked(), 0u);

    // A probe that outlives its caller's deadline keeps its printer until it ends: the next
    // probe of that printer waits, and gets nothing when its own time runs out first.
    std::atomic<bool> release{false};
    const auto slow = [&] {
        while (!release)
            std::this_thread::sleep_for(1ms);
        return ProbeReading{};
    };
    const auto start = ProbeClock::now();
    EXPECT_FALSE(scheduler.Run("a", start + 50ms, slow));
    EXPECT_FALSE(scheduler.Run("a", ProbeClock::now() + 50ms, probe("a")));
    EXPECT_LT(ProbeClock::now() - start, 1s);
    EXPECT_EQ(scheduler.Running(), 1);
    EXPECT_TRUE(scheduler.Run("b", ProbeClock::now() + 1s, probe("b"))) << "others go on";
    release = true;
    EXPECT_TRUE(scheduler.Run("a", ProbeClock::now() + 2s, probe("a")));
}

} // namespace
