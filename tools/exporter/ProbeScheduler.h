#pragma once

#include "PrinterProbe.h"
#include "ProbeReading.h"

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

// Runs probes on threads of their own with two bounds: at most `limit` at once, and never
// two of the same printer at once (a printer serves one connection). A probe that finds its
// printer or every slot busy waits for them until its deadline. The caller gets the reading
// by the deadline or nothing; a probe still running then finishes on its own thread, holding
// its printer and its slot until its (already shortened) waits end, so the next probe of
// that printer still waits for it. The destructor waits for every probe to end.
class ProbeScheduler {
public:
    using Probe = std::function<ProbeReading()>;

    explicit ProbeScheduler(int limit);
    ~ProbeScheduler();
    ProbeScheduler(const ProbeScheduler&) = delete;
    ProbeScheduler& operator=(const ProbeScheduler&) = delete;

    // nullopt when the printer or a slot did not come free, or the probe did not end,
    // before the deadline.
    std::optional<ProbeReading> Run(const std::string& printerKey, ProbeClock::time_point deadline,
                                    Probe probe);

    // Probes running now (including ones whose caller has stopped waiting).
    int Running() const;
    // Printers with a probe running or waiting; entries go when their last probe ends.
    size_t PrintersTracked() const;

private:
    struct Printer {
        bool busy = false;
        int users = 0;
    };
    struct Outcome {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<ProbeReading> reading;
    };

    void Finish(const std::string& printerKey);

    const int limit_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    int running_ = 0;
    std::map<std::string, Printer> printers_;
};
