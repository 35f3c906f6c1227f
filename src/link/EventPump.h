#pragma once

#include <chrono>

// The process-events hook the application gives the link: lets the window system run from
// inside a long transfer at most once per interval. That keeps the progress bar moving and
// the window answering, while a transfer of thousands of small pieces is not slowed by a
// full turn of the event loop after each of them.
class EventPump {
public:
    explicit EventPump(std::chrono::milliseconds interval = std::chrono::milliseconds(15))
        : interval_(interval) {}

    void operator()();

private:
    std::chrono::milliseconds interval_;
    std::chrono::steady_clock::time_point last_{};
};
