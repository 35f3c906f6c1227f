#include "RequestHandler.h"

#include "BoundedResolve.h"
#include "ProbeMetrics.h"

#include "link/FixedText.h"
#include "link/HexDigit.h"
#include "link/PortNames.h"

#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <strings.h>

namespace {

constexpr const char* kMetricsType = "text/plain; version=0.0.4; charset=utf-8";
constexpr const char* kScrapeTimeoutHeader = "X-Prometheus-Scrape-Timeout-Seconds";

const char* const kIndexPage =
    "tarnvik-exporter: printer health for Prometheus\n"
    "\n"
    "GET /probe?target=LINK[&module=status|full]   probe one printer\n"
    "GET /metrics                                   the exporter's own metrics\n"
    "\n"
    "LINK is a tarnvik-cli --link address: tcp:HOST[:PORT], usb, com:PORT[,...], lpt:PATH\n"
    "(usb, com: and lpt: only where --allow names them)\n";

// Valid UTF-8 without control characters: a target is one line of text.
bool PrintableText(const std::string& text) {
    if (std::any_of(text.begin(), text.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
        return false;
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toStdString() ==
           text;
}

struct ProbeQuery {
    std::optional<std::string> target;
    ProbeModule module = ProbeModule::Status;
};

// The probe's parameters; an error text when the query is broken.
std::optional<ProbeQuery> ParseProbeQuery(const std::string& query, QString* error) {
    ProbeQuery parsed;
    bool moduleSeen = false;
    size_t start = 0;
    while (start <= query.size()) {
        size_t end = query.find('&', start);
        if (end == std::string::npos)
            end = query.size();
        const std::string pair = query.substr(start, end - start);
        start = end + 1;
        if (pair.empty())
            continue;
        const size_t equals = pair.find('=');
        const std::optional<std::string> name = DecodeQueryComponent(pair.substr(0, equals));
        const std::optional<std::string> value = DecodeQueryComponent(
            equals == std::string::npos ? std::string() : pair.substr(equals + 1));
        if (!name || !value) {
            *error = QStringLiteral("the query has a broken %-escape");
            return std::nullopt;
        }
        if (*name == "target") {
            if (parsed.target) {
                *error = QStringLiteral("give one target per probe");
                return std::nullopt;
            }
            parsed.target = *value;
        } else if (*name == "module") {
            if (moduleSeen) {
                *error = QStringLiteral("give one module per probe");
                return std::nullopt;
            }
            moduleSeen = true;
            if (*value == "full") {
                parsed.module = ProbeModule::Full;
            } else if (*value != "status") {
                *error = QStringLiteral("module is status or full");
                return std::nullopt;
            }
        }
    }
    if (!parsed.target || parsed.target->empty()) {
        *error =
            QStringLiteral("probe needs ?target=LINK (tcp:HOST[:PORT], usb, com:PORT, lpt:PATH)");
        return std::nullopt;
    }
    if (!PrintableText(*parsed.target)) {
        *error = QStringLiteral("the target must be UTF-8 text without control characters");
        return std::nullopt;
    }
    return parsed;
}

const std::string* Header(const HttpRequest& request, const char* name) {
    for (const auto& [key, value] : request.headers) {
        if (::strcasecmp(key.c_str(), name) == 0)
            return &value;
    }
    return nullptr;
}

} // namespace

std::optional<std::string> DecodeQueryComponent(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out.push_back(' ');
        } else if (text[i] == '%') {
            if (i + 2 >= text.size())
                return std::nullopt;
            const int high = HexDigitValue(text[i + 1]);
            const int low = HexDigitValue(text[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            out.push_back(static_cast<char>(high * 16 + low));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::string PrinterKey(const LinkAddress& target) {
    switch (target.kind) {
    case InterfaceCom:
        return "com:" +
               SerialDeviceForPortName(FixedText(target.com.portName, FixedTextKind::Local))
                   .toStdString();
    case InterfaceLpt:
        return "lpt:" + ParallelDeviceForPortName(FixedText(target.lpt.text, FixedTextKind::Local))
                            .toStdString();
    case InterfaceEthernet:
        return "tcp:" +
               FixedText(target.net.address, FixedTextKind::Local).toLower().toStdString() + "|" +
               std::to_string(target.net.port);
    case InterfaceUsb:
        break;
    }
    return "usb";
}

RequestHandler::RequestHandler(Settings settings, const AllowList& allow, HostResolver resolve,
                               ProbeRunner probe, ExporterMetrics& metrics)
    : settings_(settings), allow_(allow), resolve_(std::move(resolve)), probe_(std::move(probe)),
      metrics_(metrics) {}

bool RequestHandler::NeedsProbe(const HttpRequest& request) {
    return request.method == "GET" && request.path == "/probe";
}

HttpResponse RequestHandler::Busy() const {
    return Refuse(503, QStringLiteral("every probe slot is taken; try again"));
}

std::optional<HttpResponse> RequestHandler::Screen(const HttpRequest& request) const {
    QString error;
    const std::optional<ProbeQuery> query = ParseProbeQuery(request.query, &error);
    if (!query)
        return Refuse(400, error);
    std::optional<LinkAddress> target =
        ParseLinkAddress(QString::fromStdString(*query->target), &error);
    if (!target)
        return Refuse(400, error);
    const std::string host =
        target->kind == InterfaceEthernet
            ? FixedText(target->net.address, FixedTextKind::Local).toStdString()
            : std::string();
    if (target->kind == InterfaceEthernet && !IpAddress::FromText(host))
        return std::nullopt;
    if (!allow_.Permits(*target, resolve_, &error))
        return Refuse(403, error);
    return std::nullopt;
}

HttpResponse RequestHandler::Handle(const HttpRequest& request) const {
    try {
        if (request.method != "GET" && request.method != "HEAD")
            return Refuse(405, QStringLiteral("only GET"));
        if (request.path == "/probe")
            return request.method == "HEAD" ? HttpResponse{200, kMetricsType, {}} : Probe(request);
        if (request.path == "/metrics")
            return {200, kMetricsType, metrics_.Text()};
        if (request.path == "/")
            return {200, "text/plain; charset=utf-8", kIndexPage};
        return Refuse(404, QStringLiteral("not found; see /"));
    } catch (const std::exception& failure) {
        return {500, "text/plain; charset=utf-8", std::string(failure.what()) + "\n"};
    }
}

double RequestHandler::ProbeSeconds(const HttpRequest& request) const {
    double seconds = settings_.defaultTimeoutSeconds;
    if (const std::string* header = Header(request, kScrapeTimeoutHeader)) {
        char* end = nullptr;
        const double asked = std::strtod(header->c_str(), &end);
        if (end && end != header->c_str() && *end == '\0' && std::isfinite(asked) && asked > 0)
            seconds = asked;
    }
    seconds = std::min(seconds, settings_.longestTimeoutSeconds);
    // The offset leaves time to answer; a short time-out keeps at least half of itself.
    return std::max(seconds - settings_.timeoutOffsetSeconds, seconds / 2);
}

HttpResponse RequestHandler::Probe(const HttpRequest& request) const {
    const ProbeClock::time_point start = request.arrival;
    QString error;
    const std::optional<ProbeQuery> query = ParseProbeQuery(request.query, &error);
    if (!query)
        return Refuse(400, error);
    std::optional<LinkAddress> target =
        ParseLinkAddress(QString::fromStdString(*query->target), &error);
    if (!target)
        return Refuse(400, error);
    const auto budget = std::chrono::duration_cast<ProbeClock::duration>(
        std::chrono::duration<double>(ProbeSeconds(request)));
    const ProbeClock::time_point deadline = start + budget;
    // A host name is resolved once, within the probe's time: the allow list checks those
    // addresses, the probe connects to the first and the scheduler knows the printer by it.
    std::vector<IpAddress> addresses;
    QString unresolved;
    if (target->kind == InterfaceEthernet)
        addresses = ResolveBefore(
            resolve_, FixedText(target->net.address, FixedTextKind::Local).toStdString(), deadline,
            settings_.stop, &unresolved);
    const HostResolver resolved = [&](const std::string&, QString* failure) {
        if (failure)
            *failure = unresolved;
        return addresses;
    };
    std::optional<ProbeReading> reading;
    if (target->kind == InterfaceEthernet && addresses.empty() && allow_.Empty()) {
        // Without an allow list a name that does not resolve is a printer not reached.
    } else if (!allow_.Permits(*target, resolved, &error)) {
        return Refuse(403, error);
    } else {
        reading = probe_(*target, query->module, deadline);
    }
    if (!reading) {
        reading.emplace();
        reading->module = query->module;
        reading->durationSeconds = std::chrono::duration<double>(ProbeClock::now() - start).count();
    }
    metrics_.ProbeDone(query->module, reading->up, reading->durationSeconds);
    return {200, kMetricsType, ProbeMetricsText(*reading)};
}

HttpResponse RequestHandler::Refuse(int status, const QString& message) const {
    metrics_.Refused(status);
    return {status, "text/plain; charset=utf-8", message.toStdString() + "\n"};
}
