#pragma once

#include "AllowList.h"
#include "ExporterMetrics.h"
#include "HttpExchange.h"
#include "PrinterProbe.h"
#include "ProbeReading.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

// Turns an HTTP request into its answer. GET /probe?target=LINK[&module=status|full]
// checks the target with the command line's link parser (400 with its message when it is
// no link) and the allow list (403, nothing opened), resolves a host name within the
// probe's time, then probes it within the scrape's time-out counted from the request's
// arrival and answers its metrics; HEAD /probe answers without probing; GET /metrics
// answers the exporter's own metrics; GET / a short page. Only GET /probe takes time
// (NeedsProbe): the rest answers at once. Every refusal is counted by its status. Never
// throws for any request.
class RequestHandler {
public:
    // Probes one printer by the deadline; nullopt when it could not (busy, time up).
    using ProbeRunner = std::function<std::optional<ProbeReading>(
        const LinkAddress& target, ProbeModule module, ProbeClock::time_point deadline)>;

    struct Settings {
        // Used when the request carries no X-Prometheus-Scrape-Timeout-Seconds.
        double defaultTimeoutSeconds = 10;
        // Left over from the scrape's time-out for answering (and the network).
        double timeoutOffsetSeconds = 0.5;
        // The longest probe a request can ask for.
        double longestTimeoutSeconds = 60;
        // Set when the exporter stops: a name still resolving is given up.
        const std::atomic<bool>* stop = nullptr;
    };

    RequestHandler(Settings settings, const AllowList& allow, HostResolver resolve,
                   ProbeRunner probe, ExporterMetrics& metrics);

    HttpResponse Handle(const HttpRequest& request) const;
    // Whether answering the request probes a printer (and so may take its time).
    static bool NeedsProbe(const HttpRequest& request);
    // The answer when no probe can be had now (503).
    HttpResponse Busy() const;
    // For a probe request: its refusal when one is known without waiting (a broken query
    // or link, a device or numeric address the allow list refuses); nullopt otherwise.
    std::optional<HttpResponse> Screen(const HttpRequest& request) const;

    // How long a probe of this request may take, in seconds.
    double ProbeSeconds(const HttpRequest& request) const;

private:
    HttpResponse Probe(const HttpRequest& request) const;
    HttpResponse Refuse(int status, const QString& message) const;

    Settings settings_;
    const AllowList& allow_;
    HostResolver resolve_;
    ProbeRunner probe_;
    ExporterMetrics& metrics_;
};

// Decodes one query component ("+" is a space, "%XX" a byte); nullopt for a broken escape.
std::optional<std::string> DecodeQueryComponent(const std::string& text);

// The key under which two probes count as the same printer.
std::string PrinterKey(const LinkAddress& target);
