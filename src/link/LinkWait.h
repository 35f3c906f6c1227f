#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

// How the link waits on a printer. Every wait (a device read, a piece the device does not
// take yet, a connect, a pause between commands) is cut into slices of at most kSliceMs:
// between two slices the window system runs through the hook the application installs, and
// a cancel request ends the wait. The length of each wait is the caller's; only how it is
// spent changes.
class LinkWait {
public:
    static constexpr int kSliceMs = 40;

    enum class Outcome { Ready, TimedOut, Cancelled };

    LinkWait() = default;
    LinkWait(const LinkWait&) = delete;
    LinkWait& operator=(const LinkWait&) = delete;

    // Called between slices (and by the transport between written pieces): lets pending
    // window messages run. Empty: nothing runs.
    void SetBetweenSlices(std::function<void()> hook) { hook_ = std::move(hook); }
    void LetWindowRun() const;

    // A flag shared by several links (the command-line tool's interrupt); a set flag
    // counts as a cancel request on this link.
    void SetSharedCancel(const std::atomic<bool>* flag) { shared_ = flag; }

    // Asks the running wait, and every later one, to end; safe from any thread.
    void Cancel();
    // Ready for the next operation.
    void Clear();
    bool Cancelled() const;

    // Calls attempt(sliceMs) until it returns true or totalMs have passed. attempt waits at
    // most sliceMs itself (a poll, a device read with that time-out).
    template <typename Attempt> Outcome Until(int totalMs, Attempt&& attempt) const {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point end = Clock::now() + std::chrono::milliseconds(totalMs);
        for (bool first = true;; first = false) {
            if (Cancelled())
                return Outcome::Cancelled;
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
            if (!first && left <= 0)
                return Outcome::TimedOut;
            if (attempt(static_cast<int>(std::clamp<long long>(left, 0, kSliceMs))))
                return Outcome::Ready;
            LetWindowRun();
        }
    }

    // A plain pause of ms, in slices; false when it was cancelled.
    bool Pause(std::chrono::milliseconds ms) const;

private:
    std::function<void()> hook_;
    std::atomic<bool> cancelled_{false};
    const std::atomic<bool>* shared_ = nullptr;
    mutable std::mutex mutex_;
    mutable std::condition_variable wake_;
};
