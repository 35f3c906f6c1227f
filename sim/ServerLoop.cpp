#include "ServerLoop.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace sim {

ServerLoop::ServerLoop() {
    if (::pipe2(wakePipe_, O_CLOEXEC) == 0) {
        for (int fd : wakePipe_)
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
}

ServerLoop::~ServerLoop() {
    Stop();
    for (int fd : wakePipe_) {
        if (fd >= 0)
            ::close(fd);
    }
}

void ServerLoop::Start(std::function<bool(int)> step) {
    Stop();
    running_ = true;
    thread_ = std::thread([this, step = std::move(step)] {
        while (running_) {
            currentStep_ = ++startedSteps_;
            if (!step(wakePipe_[0]))
                break;
        }
        running_ = false;
    });
}

void ServerLoop::Stop() {
    running_ = false;
    Wake();
    if (thread_.joinable())
        thread_.join();
}

void ServerLoop::Wake() {
    if (wakePipe_[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] ssize_t ignored = ::write(wakePipe_[1], &byte, 1);
    }
}

bool ServerLoop::WaitUntilIdle(std::chrono::milliseconds limit) {
    const uint64_t asked = startedSteps_;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    Wake();
    while (idleStep_ <= asked) {
        if (!running_ || std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void ServerLoop::DrainWake() {
    char buffer[64];
    while (::read(wakePipe_[0], buffer, sizeof buffer) > 0) {
    }
}

namespace {

bool WriteSome(int fd, const char* bytes, size_t length, bool isSocket) {
    size_t done = 0;
    while (done < length) {
        const ssize_t wrote = isSocket ? ::send(fd, bytes + done, length - done, MSG_NOSIGNAL)
                                       : ::write(fd, bytes + done, length - done);
        if (wrote > 0) {
            done += static_cast<size_t>(wrote);
            continue;
        }
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd waiter{fd, POLLOUT, 0};
            if (::poll(&waiter, 1, 5000) <= 0)
                return false;
            continue;
        }
        return false;
    }
    return true;
}

} // namespace

bool SendAll(int fd, const std::string& bytes, int trickleDelayMs, bool isSocket) {
    if (trickleDelayMs <= 0)
        return WriteSome(fd, bytes.data(), bytes.size(), isSocket);
    for (char byte : bytes) {
        if (!WriteSome(fd, &byte, 1, isSocket))
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(trickleDelayMs));
    }
    return true;
}

} // namespace sim
