#include "link/LinkWait.h"

#include <algorithm>

void LinkWait::LetWindowRun() const {
    if (hook_)
        hook_();
}

void LinkWait::Cancel() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        cancelled_ = true;
    }
    wake_.notify_all();
}

void LinkWait::Clear() {
    cancelled_ = false;
}

bool LinkWait::Cancelled() const {
    return cancelled_.load() || (shared_ && shared_->load());
}

bool LinkWait::Pause(std::chrono::milliseconds ms) const {
    const auto end = std::chrono::steady_clock::now() + ms;
    for (;;) {
        if (Cancelled())
            return false;
        const auto now = std::chrono::steady_clock::now();
        if (now >= end)
            return true;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait_for(lock, std::min<std::chrono::steady_clock::duration>(
                                     end - now, std::chrono::milliseconds(kSliceMs)));
        }
        LetWindowRun();
    }
}
