#include "ProbeScheduler.h"

#include <algorithm>
#include <memory>
#include <pthread.h>

namespace {

struct Task {
    ProbeScheduler* scheduler;
    std::function<void()> work;
    std::function<void()> done;
};

// Whether this thread is a task still holding its slot.
thread_local bool holdsSlot = false;

} // namespace

ProbeScheduler::ProbeScheduler(int limit) : limit_(std::max(1, limit)) {}

ProbeScheduler::~ProbeScheduler() {
    Stop();
    WaitIdle();
}

void ProbeScheduler::WaitIdle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return threads_ == 0; });
}

void ProbeScheduler::ReleaseSlot() {
    if (!holdsSlot)
        return;
    std::lock_guard lock(mutex_);
    holdsSlot = false;
    --running_;
    changed_.notify_all();
}

bool ProbeScheduler::Launch(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_ || running_ >= limit_)
            return false;
        ++running_;
        ++threads_;
    }
    auto context = std::make_unique<Task>(Task{this, std::move(task), [this] {
                                                   std::lock_guard lock(mutex_);
                                                   if (holdsSlot)
                                                       --running_;
                                                   holdsSlot = false;
                                                   --threads_;
                                                   // Last: the destructor may return after it.
                                                   changed_.notify_all();
                                               }});
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, kStackBytes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_t thread;
    const int failure = pthread_create(&thread, &attributes, &Trampoline, context.get());
    pthread_attr_destroy(&attributes);
    if (failure != 0) {
        std::lock_guard lock(mutex_);
        --running_;
        --threads_;
        changed_.notify_all();
        return false;
    }
    context.release();
    return true;
}

void* ProbeScheduler::Trampoline(void* context) {
    std::unique_ptr<Task> task(static_cast<Task*>(context));
    holdsSlot = true;
    task->work();
    const std::function<void()> done = std::move(task->done);
    task.reset();
    done();
    return nullptr;
}

std::optional<ProbeReading> ProbeScheduler::Run(const std::string& printerKey,
                                                ProbeClock::time_point deadline,
                                                const Probe& probe) {
    {
        std::unique_lock lock(mutex_);
        Printer& printer = printers_[printerKey];
        ++printer.users;
        const bool free = changed_.wait_until(lock, deadline, [&] {
            return !printer.busy || stopping_;
        }) && !stopping_;
        if (!free) {
            if (--printer.users == 0 && !printer.busy)
                printers_.erase(printerKey);
            return std::nullopt;
        }
        printer.busy = true;
    }
    std::optional<ProbeReading> reading = probe();
    Release(printerKey);
    return reading;
}

void ProbeScheduler::Release(const std::string& printerKey) {
    std::lock_guard lock(mutex_);
    auto at = printers_.find(printerKey);
    if (at != printers_.end()) {
        at->second.busy = false;
        if (--at->second.users == 0)
            printers_.erase(at);
    }
    changed_.notify_all();
}

void ProbeScheduler::Stop() {
    std::lock_guard lock(mutex_);
    stopping_ = true;
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
