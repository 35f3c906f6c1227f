#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <unordered_map>

// Scrapes an HTTP server on loopback the way Prometheus does, from one thread: each request
// starts at its own time over a connection of its own and counts as failed when its answer
// is not whole within the time-out. Thousands can wait at once.
class FleetScraper {
public:
    using Clock = std::chrono::steady_clock;

    struct Result {
        int tag = 0;
        // 0 when no whole answer came in time.
        int status = 0;
        bool up = false;
        double seconds = 0;
    };

    FleetScraper(int port, double timeoutSeconds);

    // A GET of pathAndQuery at `when` (with the scrape time-out header); requests must be
    // added in time order.
    void Add(Clock::time_point when, int tag, std::string pathAndQuery);

    // Runs until nothing is scheduled or waiting and `more` returns false. `more` is called
    // about every 50 ms (and may Add); `done` gets every result.
    void Run(const std::function<bool()>& more, const std::function<void(const Result&)>& done);

    // Requests started that had no connection to be had (descriptors, refused).
    long ConnectFailures() const { return connectFailures_; }

private:
    struct Scheduled {
        Clock::time_point when;
        int tag;
        std::string path;
    };
    struct Open {
        int fd;
        int tag;
        Clock::time_point start;
        std::string out;
        size_t sent = 0;
        std::string in;
    };

    void Start(const Scheduled& request);
    void Finish(int fd, bool whole, const std::function<void(const Result&)>& done);

    int port_;
    double timeoutSeconds_;
    std::deque<Scheduled> queue_;
    std::unordered_map<int, Open> open_;
    int epollFd_ = -1;
    long connectFailures_ = 0;
};
