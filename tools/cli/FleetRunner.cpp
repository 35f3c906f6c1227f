#include "FleetRunner.h"

#include "link/PrinterLink.h"

#include <algorithm>
#include <atomic>
#include <thread>

PrinterResult NotStartedByInterrupt(const LinkAddress& printer) {
    PrinterResult result;
    result.link = printer.text;
    result.code = kNotStarted;
    result.summary = QStringLiteral("(interrupted)");
    result.data[QStringLiteral("interrupted")] = true;
    return result;
}

FleetRunner::FleetRunner(int parallel, const std::atomic<bool>& cancel, LinkSetup setup)
    : parallel_(std::max(1, parallel)), cancel_(cancel), setup_(std::move(setup)) {}

std::vector<PrinterResult> FleetRunner::Run(const std::vector<LinkAddress>& printers,
                                            const Job& job) const {
    std::vector<PrinterResult> results(printers.size());
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i = next++; i < printers.size(); i = next++) {
            // After a cancel no printer is contacted any more.
            if (cancel_) {
                results[i] = NotStartedByInterrupt(printers[i]);
                continue;
            }
            // The link reads its settings records at every open; they live as long as it.
            LinkAddress spec = printers[i];
            PrinterLink link;
            link.SetLinkSettings(LinkSettings{&spec.com, &spec.lpt, &spec.net});
            link.Waits().SetSharedCancel(&cancel_);
            if (setup_)
                setup_(link);
            results[i] = job(link, spec);
            results[i].link = spec.text;
        }
    };
    const size_t workers = std::min(static_cast<size_t>(parallel_), printers.size());
    std::vector<std::thread> threads;
    threads.reserve(workers);
    for (size_t i = 0; i < workers; ++i)
        threads.emplace_back(work);
    for (std::thread& thread : threads)
        thread.join();
    return results;
}
