// The exporter's request handling with requests of any content: every request gets one of
// the answers the handler knows, never an internal error, and only targets that pass the
// allow list reach the probe. The input is the path, the query and the scrape time-out
// header, separated by newlines; names resolve from a fixed table, nothing is opened. The
// same input read as a request head parses, or is refused with 400 or 431, within bounds.

#include "AllowList.h"
#include "ExporterMetrics.h"
#include "FuzzCheck.h"
#include "HttpHead.h"
#include "RequestHandler.h"

#include "link/FixedText.h"

#include <cstdint>
#include <string>

namespace {

std::vector<IpAddress> FixedResolver(const std::string& host, QString* error) {
    if (const std::optional<IpAddress> numeric = IpAddress::FromText(host))
        return {*numeric};
    if (host == "dock")
        return {*IpAddress::FromText("10.1.2.3"), *IpAddress::FromText("fd00::3")};
    if (host == "outside")
        return {*IpAddress::FromText("10.1.2.4"), *IpAddress::FromText("192.0.2.1")};
    *error = QStringLiteral("no such host");
    return {};
}

AllowList MakeAllowList() {
    AllowList allow;
    QString error;
    for (const char* entry : {"10.0.0.0/8", "fd00::/8", "/dev/ttyUSB*", "/tmp/lp"})
        Check(allow.Add(QString::fromLatin1(entry), &error));
    return allow;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const AllowList allow = MakeAllowList();
    static ExporterMetrics metrics;
    const std::string input(reinterpret_cast<const char*>(data), size);
    HttpRequest head;
    const int headStatus = ParseHttpHead(input, 8, head);
    Check(headStatus == 0 || headStatus == 400 || headStatus == 431);
    Check(headStatus != 0 || (head.path.rfind('/', 0) == 0 && head.headers.size() <= 8));
    const size_t first = input.find('\n');
    const size_t second = first == std::string::npos ? first : input.find('\n', first + 1);
    HttpRequest request;
    request.path = input.substr(0, first);
    if (first != std::string::npos)
        request.query =
            input.substr(first + 1, second == std::string::npos ? second : second - first - 1);
    if (second != std::string::npos)
        request.headers.emplace_back("X-Prometheus-Scrape-Timeout-Seconds",
                                     input.substr(second + 1));

    bool probed = false;
    const RequestHandler handler(
        RequestHandler::Settings{}, allow, &FixedResolver,
        [&](const LinkAddress& target, ProbeModule,
            ProbeClock::time_point deadline) -> std::optional<ProbeReading> {
            probed = true;
            Check(deadline > ProbeClock::now());
            Check(deadline < ProbeClock::now() + std::chrono::seconds(301));
            if (target.kind == InterfaceEthernet) {
                // Only the checked address of an allowed network is connected to.
                const std::string address =
                    FixedText(target.net.address, FixedTextKind::Local).toStdString();
                const std::optional<IpAddress> ip = IpAddress::FromText(address);
                Check(ip.has_value());
                Check(ip->v6 ? ip->bytes[0] == 0xfd : ip->bytes[0] == 10);
            } else {
                Check(target.kind == InterfaceCom || target.kind == InterfaceLpt);
            }
            if (size % 2)
                return std::nullopt;
            ProbeReading reading;
            reading.up = true;
            reading.status.flags[size % 10] = 1;
            return reading;
        },
        metrics);
    const HttpResponse response = handler.Handle(request);
    const int status = response.status;
    Check(status == 200 || status == 400 || status == 403 || status == 404 || status == 405);
    Check(!response.body.empty());
    Check(probed == (request.path == "/probe" && status == 200));
    if (probed)
        Check(response.body.find("\ntarnvik_up ") != std::string::npos);
    return 0;
}
