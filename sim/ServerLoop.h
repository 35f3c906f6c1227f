#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>

namespace sim {

// A background thread that runs one poll-based serving step after another until stopped.
// Wake() interrupts the current poll so a step sees changed settings at once.
class ServerLoop {
public:
    ServerLoop();
    ~ServerLoop();
    ServerLoop(const ServerLoop&) = delete;
    ServerLoop& operator=(const ServerLoop&) = delete;

    // step receives the wake descriptor to add to its poll set; it returns false to end.
    void Start(std::function<bool(int wakeFd)> step);
    void Stop();
    void Wake();
    bool Running() const { return running_; }
    // Drains the wake pipe; call when its descriptor was readable.
    void DrainWake();

    // Called by a step that found nothing left to read: every byte that reached the
    // server before this step began has been handed to the printer.
    void NoteIdle() { idleStep_ = currentStep_; }
    // Waits, at most limit, for a step begun after this call to find nothing left to read;
    // false when none did (the server keeps getting bytes, or does not read).
    bool WaitUntilIdle(std::chrono::milliseconds limit);

private:
    int wakePipe_[2] = {-1, -1};
    std::atomic<bool> running_{false};
    std::thread thread_;
    std::atomic<uint64_t> startedSteps_{0};
    std::atomic<uint64_t> idleStep_{0};
    uint64_t currentStep_ = 0; // the loop thread's own
};

// Sends all bytes to a descriptor, honouring the trickle pause; false when the peer is gone.
bool SendAll(int fd, const std::string& bytes, int trickleDelayMs, bool isSocket);

} // namespace sim
