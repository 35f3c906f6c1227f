// The exporter's request handling, allow list, metrics text, options and probe scheduling,
// without printers.

#include "AllowList.h"
#include "BoundedResolve.h"
#include "ExporterMetrics.h"
#include "ExporterOptions.h"
#include "HttpHead.h"
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
#include <memory>
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
    // An empty list permits any TCP printer, and no device or USB printer.
    for (const char* link : {"tcp:203.0.113.9", "com:/dev/null", "lpt:/dev/null", "usb"}) {
        LinkAddress target = Link(link);
        QString reason;
        EXPECT_EQ(allow.Permits(target, &TableResolver, &reason), link[0] == 't') << link;
    }

    for (const char* entry : {"10.20.0.0/16", "fd00::/8", "127.0.0.1", "/dev/ttyUSB*", "/dev/null",
                              "/dev/ptmx", "/dev/tty", "/etc/passwd", "/proc/self/*", "usb"})
        EXPECT_TRUE(allow.Add(QString::fromLatin1(entry), &error)) << entry;
    for (const char* entry :
         {"10.20.0.0/33", "10.20.0.0/", "10.20.0.0/x", "dock", "/dev/../etc/x", "fd00::/129", ""})
        EXPECT_FALSE(allow.Add(QString::fromLatin1(entry), &error)) << entry;

    struct Case {
        const char* link;
        bool permitted;
        const char* reason;
    };
    for (const Case& c :
         {Case{"tcp:10.20.4.4", true, ""}, Case{"tcp:10.21.0.1", false, "outside"},
          Case{"tcp:dock-1:9101", true, ""}, Case{"tcp:split", false, "192.168.7.7"},
          Case{"tcp:nowhere", false, "does not resolve"}, Case{"tcp:v6", true, ""},
          Case{"tcp:[fd00::1]:9100", true, ""}, Case{"tcp:[fe80::1]", false, "outside"},
          Case{"tcp:127.0.0.1", true, ""}, Case{"tcp:127.0.0.2", false, "outside"},
          Case{"com:/dev/null,9600", true, ""}, Case{"lpt:/dev/null", true, ""},
          Case{"com:/dev/ttyUSB0", false, "does not exist"},
          Case{"com:/dev/ttyS0", false, "not an allowed device"},
          Case{"com:/dev/null/../ttyS0", false, "not an allowed device"},
          // Session terminals, files and the process's own memory, even when listed.
          Case{"com:/dev/ptmx", false, "terminal of a session"},
          Case{"com:/dev/tty", false, "terminal of a session"},
          Case{"lpt:/etc/passwd", false, "not a character device"},
          Case{"com:/proc/self/mem", false, "not a character device"}, Case{"usb", true, ""}}) {
        LinkAddress target = Link(c.link);
        QString reason;
        EXPECT_EQ(allow.Permits(target, &TableResolver, &reason), c.permitted) << c.link;
        EXPECT_NE(reason.indexOf(QString::fromLatin1(c.reason)), -1)
            << c.link << ": " << reason.toStdString();
        EXPECT_EQ(reason.isEmpty(), c.permitted) << c.link;
    }

    // The probe connects to the address that was checked, not to the name.
    LinkAddress named = Link("tcp:dock-1:9101");
    ASSERT_TRUE(allow.Permits(named, &TableResolver, &error));
    EXPECT_EQ(FixedText(named.net.address, FixedTextKind::Local), QStringLiteral("10.20.1.5"));
    EXPECT_EQ(named.net.port, 9101);

    AllowList serialOnly;
    ASSERT_TRUE(serialOnly.Add(QStringLiteral("/dev/ttyS0"), &error));
    LinkAddress usb = Link("usb");
    LinkAddress com1 = Link("com:COM1");
    LinkAddress tcp = Link("tcp:127.0.0.1");
    QString reason;
    EXPECT_FALSE(serialOnly.Permits(usb, &TableResolver, &error));
    serialOnly.Permits(com1, &TableResolver, &reason);
    EXPECT_EQ(reason.indexOf(QStringLiteral("not an allowed")), -1)
        << "COM1 opens /dev/ttyS0: " << reason.toStdString();
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
          Refusal{"target=lpt:/dev/pts/0", 403, "not an allowed device"},
          Refusal{"target=usb", 403, "USB link is not allowed"}}) {
        const HttpResponse answer = fixture.Get("/probe", r.query);
        EXPECT_EQ(answer.status, r.status) << r.query;
        EXPECT_NE(answer.body.find(r.message), std::string::npos) << r.query << ": " << answer.body;
    }
    EXPECT_EQ(fixture.probed.size(), 2u) << "no refused target is probed";
    const HttpResponse device = fixture.Get("/probe", "target=com:/dev/null");
    EXPECT_EQ(device.status, 403) << "devices only where --allow names them";

    EXPECT_EQ(fixture.Get("/nothing", "").status, 404);
    EXPECT_EQ(fixture.Get("/", "").status, 200);
    HttpRequest post;
    post.method = "POST";
    post.path = "/probe";
    EXPECT_FALSE(RequestHandler::NeedsProbe(post));
    EXPECT_EQ(fixture.handler->Handle(post).status, 405);
    HttpRequest head;
    head.method = "HEAD";
    head.path = "/probe";
    head.query = "target=tcp:10.20.0.1";
    EXPECT_FALSE(RequestHandler::NeedsProbe(head));
    EXPECT_EQ(fixture.handler->Handle(head).status, 200);
    EXPECT_EQ(fixture.handler->Busy().status, 503);

    const std::string own = fixture.Get("/metrics", "").body;
    EXPECT_NE(own.find("tarnvik_exporter_probes_total{module=\"status\"} 1"), std::string::npos)
        << own;
    EXPECT_NE(own.find("tarnvik_exporter_probes_total{module=\"full\"} 1"), std::string::npos);
    EXPECT_NE(own.find("tarnvik_exporter_requests_refused_total{code=\"400\"} 10"),
              std::string::npos);
    for (const char* line :
         {"{code=\"403\"} 6", "{code=\"404\"} 1", "{code=\"405\"} 1", "{code=\"503\"} 1"})
        EXPECT_NE(own.find(std::string("tarnvik_exporter_requests_refused_total") + line),
                  std::string::npos)
            << line;
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
    EXPECT_DOUBLE_EQ(seconds({{"X-Prometheus-Scrape-Timeout-Seconds", "100000"}}), 59.5);
    for (const char* bad : {"", "abc", "-3", "0", "nan", "inf", "4s"})
        EXPECT_DOUBLE_EQ(seconds({{"X-Prometheus-Scrape-Timeout-Seconds", bad}}), 9.5) << bad;

    // A probe that does not come back in time counts as down.
    fixture.Get("/probe", "target=tcp:127.0.0.1", {{"X-Prometheus-Scrape-Timeout-Seconds", "2"}});
    EXPECT_GT(fixture.budget, 1400ms);
    EXPECT_LE(fixture.budget, 1500ms);
    // The time counts from the request's arrival, not from when it is handled.
    HttpRequest queued;
    queued.path = "/probe";
    queued.query = "target=tcp:127.0.0.1";
    queued.arrival = ProbeClock::now() - 4s;
    fixture.handler->Handle(queued);
    EXPECT_GT(fixture.budget, 5000ms);
    EXPECT_LE(fixture.budget, 5500ms);
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
    EXPECT_EQ(defaults->maxProbes, 4096);
    EXPECT_DOUBLE_EQ(defaults->maxTimeoutSeconds, 60);
    EXPECT_TRUE(defaults->allow.Empty());

    const std::optional<ExporterOptions> set = ParseExporterOptions(
        {"--listen", "0.0.0.0:0", "--allow", "10.0.0.0/8", "--max-probes", "8", "--default-timeout",
         "3", "--timeout-offset", "0.2", "--max-timeout", "20"},
        &error);
    ASSERT_TRUE(set) << error.toStdString();
    EXPECT_EQ(set->listen, "0.0.0.0:0");
    EXPECT_FALSE(set->allow.Empty());
    EXPECT_EQ(set->maxProbes, 8);
    EXPECT_DOUBLE_EQ(set->defaultTimeoutSeconds, 3);
    EXPECT_DOUBLE_EQ(set->timeoutOffsetSeconds, 0.2);
    EXPECT_DOUBLE_EQ(set->maxTimeoutSeconds, 20);
    EXPECT_TRUE(ParseExporterOptions({"--listen", "[::1]:9854"}, &error));

    for (const QStringList& bad :
         {QStringList{"--listen"}, QStringList{"--listen", "9854"}, QStringList{"--listen", ":1"},
          QStringList{"--listen", "x:70000"}, QStringList{"--listen", "127.0.0.1:70000"},
          QStringList{"--listen", "127.0.0.1:1,0.0.0.0:2"}, QStringList{"--listen", "localhost:1"},
          QStringList{"--max-timeout", "0"}, QStringList{"--max-probes", "40000"},
          QStringList{"--allow", "everything"}, QStringList{"--max-probes", "0"},
          QStringList{"--default-timeout", "0"}, QStringList{"--timeout-offset", "-1"},
          QStringList{"--bogus"}}) {
        error.clear();
        EXPECT_FALSE(ParseExporterOptions(bad, &error)) << bad.join(' ').toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(ExporterScheduler, OneProbePerPrinterAndALimit) {
    ProbeScheduler scheduler(6);
    std::atomic<int> running{0};
    std::map<std::string, std::atomic<int>> perPrinter;
    perPrinter["a"];
    perPrinter["b"];
    perPrinter["c"];
    std::atomic<bool> overlap{false};
    std::atomic<int> answered{0};
    std::atomic<bool> release{false};
    auto task = [&](const std::string& key) {
        return [&, key] {
            const auto reading = scheduler.Run(key, ProbeClock::now() + 5s, [&] {
                if (++perPrinter[key] > 1)
                    overlap = true;
                ++running;
                while (!release)
                    std::this_thread::sleep_for(1ms);
                --running;
                --perPrinter[key];
                return ProbeReading{};
            });
            answered += reading.has_value();
        };
    };
    // Six tasks on three printers: the limit takes them all, the seventh is refused at once.
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(scheduler.Launch(task(std::string(1, static_cast<char>('a' + i % 3)))));
    EXPECT_FALSE(scheduler.Launch([] {})) << "over the limit";
    EXPECT_TRUE(WaitUntil([&] { return running == 3; }));
    EXPECT_EQ(scheduler.Running(), 6);
    release = true;
    EXPECT_TRUE(WaitUntil([&] { return scheduler.Running() == 0; }));
    EXPECT_EQ(answered, 6);
    EXPECT_FALSE(overlap) << "two probes of one printer ran at once";
    EXPECT_EQ(scheduler.PrintersTracked(), 0u);

    // A printer held past another probe's deadline: that probe gets nothing in time; Stop
    // ends a wait at once.
    std::atomic<bool> hold{true};
    ASSERT_TRUE(scheduler.Launch([&] {
        scheduler.Run("a", ProbeClock::now() + 10s, [&] {
            while (hold)
                std::this_thread::sleep_for(1ms);
            return ProbeReading{};
        });
    }));
    EXPECT_TRUE(WaitUntil([&] { return scheduler.PrintersTracked() == 1; }));
    EXPECT_FALSE(scheduler.Run("a", ProbeClock::now() + 50ms, [] { return ProbeReading{}; }));
    EXPECT_TRUE(scheduler.Run("b", ProbeClock::now() + 50ms, [] { return ProbeReading{}; }));
    const auto start = ProbeClock::now();
    std::thread stopper([&] {
        std::this_thread::sleep_for(50ms);
        scheduler.Stop();
    });
    EXPECT_FALSE(scheduler.Run("a", ProbeClock::now() + 20s, [] { return ProbeReading{}; }));
    EXPECT_LT(ProbeClock::now() - start, 10s);
    stopper.join();
    EXPECT_FALSE(scheduler.Launch([] {})) << "stopped";
    hold = false;

    // A task whose answer is ready gives its slot back before its thread ends.
    ProbeScheduler one(1);
    std::atomic<bool> go{false};
    ASSERT_TRUE(one.Launch([&] {
        one.ReleaseSlot();
        while (!go)
            std::this_thread::sleep_for(1ms);
    }));
    EXPECT_TRUE(WaitUntil([&] { return one.Running() == 0; }));
    EXPECT_TRUE(one.Launch([] {}));
    go = true;
}

TEST(ExporterScheduler, ThreadsWaitForTheNextTaskUntilIdleTooLong) {
    ProbeScheduler scheduler(8, 300ms);
    std::atomic<int> done{0};
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(scheduler.Launch([&] { ++done; }));
        ASSERT_TRUE(WaitUntil([&] { return done == i + 1 && scheduler.Running() == 0; }));
        EXPECT_EQ(scheduler.Threads(), 1) << "one task after another: one thread, kept";
    }

    // Tasks at once each get a thread at once; idle too long, the threads end.
    std::atomic<bool> go{false};
    const auto hold = [&] {
        while (!go)
            std::this_thread::sleep_for(1ms);
    };
    ASSERT_TRUE(scheduler.Launch(hold));
    ASSERT_TRUE(scheduler.Launch(hold));
    EXPECT_EQ(scheduler.Threads(), 2);
    go = true;
    EXPECT_TRUE(WaitUntil([&] { return scheduler.Threads() == 0; })) << "idle threads stay";

    // Stop ends idle threads at once, however long they may idle.
    auto lasting = std::make_unique<ProbeScheduler>(2, std::chrono::hours(1));
    ASSERT_TRUE(lasting->Launch([] {}));
    ASSERT_TRUE(WaitUntil([&] { return lasting->Running() == 0; }));
    EXPECT_EQ(lasting->Threads(), 1);
    const auto start = ProbeClock::now();
    lasting.reset();
    EXPECT_LT(ProbeClock::now() - start, 5s);
}

TEST(ExporterResolve, ANameIsWaitedForOnlyUntilTheDeadline) {
    // A resolver that hangs (a DNS server that does not answer) for longer than the probe.
    auto release = std::make_shared<std::atomic<bool>>(false);
    auto ended = std::make_shared<std::atomic<int>>(0);
    const HostResolver hanging = [release, ended](const std::string& host, QString* error) {
        while (!*release)
            std::this_thread::sleep_for(1ms);
        std::vector<IpAddress> found = TableResolver(host, error);
        ++*ended;
        return found;
    };
    QString error;
    const auto start = ProbeClock::now();
    EXPECT_TRUE(ResolveBefore(hanging, "dock-1", start + 100ms, nullptr, &error).empty());
    EXPECT_NE(error.indexOf(QStringLiteral("did not resolve in time")), -1) << error.toStdString();
    std::atomic<bool> stop{true};
    EXPECT_TRUE(ResolveBefore(hanging, "dock-1", ProbeClock::now() + 30s, &stop, &error).empty());
    EXPECT_LT(ProbeClock::now() - start, 10s);
    // Numeric addresses need no resolver; a quick one answers.
    ASSERT_EQ(ResolveBefore(hanging, "10.1.2.3", start, nullptr, &error).size(), 1u);
    *release = true;
    const std::vector<IpAddress> found =
        ResolveBefore(&TableResolver, "dock-1", ProbeClock::now() + 5s, nullptr, &error);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Text(), "10.20.1.5");
    // The two look-ups given up on end on their own; they must not outlive the table.
    EXPECT_TRUE(WaitUntil([&] { return *ended == 2; }));
}

TEST(ExporterHttpHead, RequestLinesHeadersAndLimits) {
    HttpRequest request;
    ASSERT_EQ(ParseHttpHead("GET /probe?target=tcp:a HTTP/1.1\r\nHost: x\r\n"
                            "X-Prometheus-Scrape-Timeout-Seconds:  4 \r\n",
                            64, request),
              0);
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.path, "/probe");
    EXPECT_EQ(request.query, "target=tcp:a");
    ASSERT_EQ(request.headers.size(), 2u);
    EXPECT_EQ(request.headers[1].second, "4");

    std::string many = "GET /metrics HTTP/1.1\r\n";
    for (int i = 0; i < 64; ++i)
        many += "X-" + std::to_string(i) + ": 1\r\n";
    EXPECT_EQ(ParseHttpHead(many, 64, request), 0);
    EXPECT_EQ(ParseHttpHead(many + "X-Prometheus-Scrape-Timeout-Seconds: 4\r\n", 64, request), 431)
        << "a header past the limit is not dropped silently";
    for (const char* broken :
         {"", "GET", "GET /", "GET / HTTP/2", "GET probe HTTP/1.1", "G(T / HTTP/1.1",
          "GET / HTTP/1.1\r\nno colon", "GET / HTTP/1.1\r\n folded: x", "GET /a b HTTP/1.1"})
        EXPECT_EQ(ParseHttpHead(broken, 64, request), 400) << broken;
}

} // namespace
