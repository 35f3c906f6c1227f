#include "CanaryRollout.h"

#include <algorithm>

std::vector<PrinterResult> CanaryRollout::Run(const FleetRunner& runner,
                                              const std::vector<LinkAddress>& printers,
                                              const FleetRunner::Job& job) const {
    const size_t canaries = static_cast<size_t>(std::max(0, canaries_));
    if (canaries == 0 || canaries >= printers.size())
        return runner.Run(printers, job);
    const std::vector<LinkAddress> first(printers.begin(),
                                         printers.begin() + static_cast<long>(canaries));
    const std::vector<LinkAddress> rest(printers.begin() + static_cast<long>(canaries),
                                        printers.end());
    std::vector<PrinterResult> results = runner.Run(first, job);
    const auto failed = std::find_if(results.begin(), results.end(),
                                     [](const PrinterResult& r) { return r.code != 0; });
    if (failed == results.end()) {
        std::vector<PrinterResult> more = runner.Run(rest, job);
        results.insert(results.end(), more.begin(), more.end());
        return results;
    }
    // Copies: the results grow below, which moves them.
    const QString canary = failed->link;
    const QString canaryResult = ResultText(failed->code);
    const QString why = failed->summary.isEmpty() ? canaryResult : failed->summary;
    const QString reason = QStringLiteral("not started: canary ") + canary +
                           QStringLiteral(" failed (") + why + QLatin1Char(')') +
                           (runner.Cancelled() ? QStringLiteral(", interrupted") : QString());
    results.reserve(printers.size());
    for (const LinkAddress& printer : rest) {
        PrinterResult skipped;
        skipped.link = printer.text;
        skipped.code = kNotStarted;
        skipped.summary = reason;
        skipped.data[QStringLiteral("stoppedBy")] = canary;
        skipped.data[QStringLiteral("canaryResult")] = canaryResult;
        results.push_back(skipped);
    }
    return results;
}
