#include "ProbeScheduler.h"

#include <algorithm>
#include <system_error>
#include <thread>

ProbeScheduler::ProbeScheduler(int limit) : limit_(std::max(1, limit)) {}

ProbeScheduler::~ProbeScheduler() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return running_ == 0; });
}

std::optional<ProbeReading> ProbeScheduler::Run(const std::string& printerKey,
                                                ProbeClock::time_point deadline, Probe probe) {
    {
        std::unique_lock lock(mutex_);
        Printer& printer = printers_[printerKey];
        ++printer.users;
        const bool free =
            changed_.wait_until(lock, deadline, [&] { return !printer.busy && running_ < limit_; });
        if (!free) {
            if (--printer.users == 0 && !printer.busy)
                printers_.erase(printerKey);
            return std::nullopt;
        }
        printer.busy = true;
        ++running_;
    }

    auto outcome = std::make_shared<Outcome>();
    try {
        std::thread([this, printerKey, outcome, probe = std::move(probe)] {
            ProbeReading reading = probe();
            {
                std::lock_guard lock(outcome->mutex);
                outcome->reading = std::move(reading);
            }
            outcome->done.notify_all();
            Finish(printerKey);
        }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the printer and the slot go back, the probe counts as failed.
        Finish(printerKey);
        return std::nullopt;
    }

    std::unique_lock lock(outcome->mutex);
    outcome->done.wait_until(lock, deadline, [&] { return outcome->reading.has_value(); });
    return outcome->reading;
}

void ProbeScheduler::Finish(const std::string& printerKey) {
    std::lock_guard lock(mutex_);
    auto at = printers_.find(printerKey);
    if (at != printers_.end()) {
        at->second.busy = false;
        if (--at->second.users == 0)
            printers_.erase(at);
    }
    --running_;
    // Last: once running_ is 0 and the lock is released, the destructor may return.
    changed_.notify_all();
}

int ProbeScheduler::Running() const {
    std::lock_guard lock(mutex_);
    return running_;
}

size_t ProbeScheduler::PrintersTracked() const {
    std::lock_guard lock(mutex_);
    return printers_.size();
}
