#pragma once

#include "PrinterProbe.h"
#include "ProbeReading.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

// Runs the exporter's probes. Each request that needs a printer gets a thread of its own
// with a small stack (Launch), at most `limit` at once: the rest are refused at once, so a
// refused scrape answers 503 instead of queueing. On its thread a probe waits for its
// printer, never for another printer's probe (Run): two probes of one printer never run
// at once, the second waits until the first ends or its own deadline passes. Stop ends the
// waits; the destructor waits for every thread to end.
//
// A thread whose task has ended waits for the next one instead of ending, and a new thread
// starts only when none is idle, so a task never waits for a thread. A new task goes to the
// thread idle longest: every kept thread soon has run every kind of probe, so what the
// threads hold (stack pages, the probe's link and records) settles in the first minutes
// instead of growing each time a rarely used thread meets a larger reply. A thread idle
// for `idleLimit` (fewer probes came than there are threads) ends.
class ProbeScheduler {
public:
    using Probe = std::function<ProbeReading()>;

    // A probe thread's stack: what a probe through the engine uses, with room to spare
    // (the sanitizer build's frames are several times larger).
#if defined(__SANITIZE_ADDRESS__)
    static constexpr size_t kStackBytes = 4u << 20;
#else
    static constexpr size_t kStackBytes = 256u << 10;
#endif

    static constexpr std::chrono::milliseconds kIdleLimit = std::chrono::minutes(5);

    explicit ProbeScheduler(int limit, std::chrono::milliseconds idleLimit = kIdleLimit);
    ~ProbeScheduler();
    ProbeScheduler(const ProbeScheduler&) = delete;
    ProbeScheduler& operator=(const ProbeScheduler&) = delete;

    // Runs the task at once on an idle thread or a new one; false (nothing runs) when
    // `limit` tasks run already, when stopping, or when no thread can be had.
    bool Launch(std::function<void()> task);

    // On the calling thread: waits until no other probe uses the printer, then runs the
    // probe. nullopt when the printer did not come free before the deadline, or on Stop.
    std::optional<ProbeReading> Run(const std::string& printerKey, ProbeClock::time_point deadline,
                                    const Probe& probe);

    // Called by a task on its own thread once its answer is ready: its slot counts as free
    // from here, before the answer goes out, so a client that sends its next request as
    // soon as it has the answer finds the slot free. The thread still counts for WaitIdle.
    void ReleaseSlot();

    // Waiting probes give up; no task starts any more.
    void Stop();
    // Waits until every task has ended.
    void WaitIdle();

    // Tasks holding a slot now.
    int Running() const;
    // Threads, running a task or idle.
    int Threads() const;
    // Printers with a probe running or waiting; entries go when their last probe ends.
    size_t PrintersTracked() const;

private:
    struct Printer {
        bool busy = false;
        int users = 0;
    };

    struct Worker {
        ProbeScheduler* scheduler = nullptr;
        std::condition_variable wake;
        std::function<void()> task;
    };

    static void* Trampoline(void* context);
    void Serve(Worker& worker);
    void Release(const std::string& printerKey);

    const int limit_;
    const std::chrono::milliseconds idleLimit_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    // Slots taken, and threads not yet ended.
    int running_ = 0;
    int threads_ = 0;
    bool stopping_ = false;
    std::map<std::string, Printer> printers_;
    // Threads waiting for a task, the one idle longest first.
    std::deque<Worker*> idle_;
};
