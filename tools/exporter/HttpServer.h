#pragma once

#include "HttpExchange.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

// Serves HTTP/1.1 without keep-alive from one thread and one epoll set: it reads every
// request head itself, hands the whole request to the dispatcher (on its own thread, with
// the moment the connection arrived) and writes the answer whenever the dispatcher gives
// it, from any thread. A connection waiting for its answer costs a socket and a few
// hundred bytes, never a thread, so thousands of slow answers keep no quick one waiting.
class HttpServer {
public:
    struct Limits {
        // The whole request head must arrive within this, or the connection gets 408.
        std::chrono::milliseconds headerTime{5000};
        // More header lines, or a longer head, answer 431.
        size_t mostHeaders = 64;
        size_t mostHeadBytes = 16 * 1024;
        // A connection whose answer has not come by then is closed (a dispatcher bug).
        std::chrono::milliseconds answerTime{70000};
        // Sending an answer to a client that does not read ends after this.
        std::chrono::milliseconds writeTime{10000};
        // On Stop, answers still coming get this long before every connection is closed.
        std::chrono::milliseconds drainTime{700};
    };

    // Hands over one answer; callable from any thread, once per request.
    using Respond = std::function<void(HttpResponse)>;
    // Called on the server's thread for every whole request; must not block.
    using Dispatcher = std::function<void(HttpRequest request, Respond respond)>;
    // Told every status the server answers by itself (408, 431, 400 for a broken head).
    using RefusalCounter = std::function<void(int status)>;

    HttpServer(Dispatcher dispatch, Limits limits, RefusalCounter refused = {});
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Listens on "ADDR:PORT" (IPv4) or "[ADDR]:PORT" (IPv6); port 0 takes a free one.
    // False with a reason when it cannot.
    bool Start(const std::string& listen, QString* error);
    // Stops accepting, gives answers under way up to drainTime, then closes everything.
    void Stop();
    int Port() const { return port_; }
    // Connections open now.
    int Connections() const { return connectionCount_; }

private:
    using Clock = std::chrono::steady_clock;

    enum class Phase { Reading, Waiting, Writing };
    struct Connection {
        int fd = -1;
        Phase phase = Phase::Reading;
        Clock::time_point arrival;
        // When the current phase must have ended.
        Clock::time_point limit;
        bool head = false;
        std::string in;
        std::string out;
        size_t sent = 0;
    };

    void Run();
    void Accept();
    void ReadFrom(uint64_t id, Connection& connection);
    void Parse(uint64_t id, Connection& connection);
    void Answer(uint64_t id, Connection& connection, const HttpResponse& response);
    void WriteTo(uint64_t id, Connection& connection);
    void Close(uint64_t id);
    void TakeAnswers();
    void CheckTimes(Clock::time_point now);
    void Post(uint64_t id, HttpResponse response);

    Dispatcher dispatch_;
    Limits limits_;
    RefusalCounter refused_;
    int listenFd_ = -1;
    int epollFd_ = -1;
    int wakeFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> connectionCount_{0};
    std::thread thread_;
    // Owned by the server's thread.
    std::unordered_map<uint64_t, Connection> connections_;
    uint64_t nextId_ = 2;
    Clock::time_point acceptPausedUntil_{};
    // Answers handed over from other threads, taken by the server's thread.
    std::mutex answersMutex_;
    std::vector<std::pair<uint64_t, HttpResponse>> answers_;
};

// The reason phrase of a status the exporter answers.
const char* HttpReasonPhrase(int status);
