#pragma once

#include <atomic>
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

private:
    int wakePipe_[2] = {-1, -1};
    std::atomic<bool> running_{false};
    std::thread thread_;
};

// Sends all bytes to a descriptor, honouring the trickle pause; false when the peer is gone.
bool SendAll(int fd, const std::string& bytes, int trickleDelayMs, bool isSocket);

} // namespace sim
