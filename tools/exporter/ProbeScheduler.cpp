#include "ProbeScheduler.h"

#include <algorithm>
#include <memory>
#include <pthread.h>

namespace {

// Whether this thread is a task still holding its slot.
thread_local bool holdsSlot = false;

} // namespace

ProbeScheduler::ProbeScheduler(int limit, std::chrono::milliseconds idleLimit)
    : limit_(std::max(1, limit)), idleLimit_(idleLimit) {}

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
        if (!idle_.empty()) {
            Worker* worker = idle_.front();
            idle_.pop_front();
            worker->task = std::move(task);
            worker->wake.notify_one();
            return true;
        }
        ++threads_;
    }
    auto start = std::make_unique<Worker>();
    start->scheduler = this;
    start->task = std::move(task);
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, kStackBytes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_t thread;
    const int failure = pthread_create(&thread, &attributes, &Trampoline, start.get());
    pthread_attr_destroy(&attributes);
    if (failure != 0) {
        std::lock_guard lock(mutex_);
        --running_;
        --threads_;
        changed_.notify_all();
        return false;
    }
    start.release();
    return true;
}

void* ProbeScheduler::Trampoline(void* context) {
    const std::unique_ptr<Worker> worker(static_cast<Worker*>(context));
    worker->scheduler->Serve(*worker);
    return nullptr;
}

void ProbeScheduler::Serve(Worker& worker) {
    for (;;) {
        holdsSlot = true;
        worker.task();
        // The task's captures (the request, the answer's way back) go before the thread
        // counts as idle.
        worker.task = nullptr;
        std::unique_lock lock(mutex_);
        if (holdsSlot)
            --running_;
        holdsSlot = false;
        changed_.notify_all();
        if (stopping_)
            break;
        idle_.push_back(&worker);
        worker.wake.wait_for(lock, idleLimit_, [&] { return worker.task || stopping_; });
        if (worker.task)
            continue;
        // Stopped or idle too long: no task can reach this thread once it is off the list.
        idle_.erase(std::find(idle_.begin(), idle_.end(), &worker));
        break;
    }
    std::lock_guard lock(mutex_);
    --threads_;
    // Last: the destructor may return after it.
    changed_.notify_all();
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
    for (Worker* worker : idle_)
        worker->wake.notify_one();
}

int ProbeScheduler::Running() const {
    std::lock_guard lock(mutex_);
    return running_;
}

int ProbeScheduler::Threads() const {
    std::lock_guard lock(mutex_);
    return threads_;
}

size_t ProbeScheduler::PrintersTracked() const {
    std::lock_guard lock(mutex_);
    return printers_.size();
}
