#include "FleetScraper.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

FleetScraper::FleetScraper(int port, double timeoutSeconds)
    : port_(port), timeoutSeconds_(timeoutSeconds) {}

void FleetScraper::Add(Clock::time_point when, int tag, std::string pathAndQuery) {
    queue_.push_back({when, tag, std::move(pathAndQuery)});
}

void FleetScraper::Start(const Scheduled& request) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        ++connectFailures_;
        return;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port_));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 &&
        errno != EINPROGRESS) {
        ::close(fd);
        ++connectFailures_;
        return;
    }
    char timeout[32];
    std::snprintf(timeout, sizeof timeout, "%g", timeoutSeconds_);
    Open open{fd, request.tag, Clock::now(),
              "GET " + request.path +
                  " HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Prometheus-Scrape-Timeout-Seconds: " +
                  timeout + "\r\nConnection: close\r\n\r\n"};
    epoll_event event{};
    event.events = EPOLLOUT | EPOLLIN;
    event.data.fd = fd;
    ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &event);
    open_.emplace(fd, std::move(open));
}

void FleetScraper::Finish(int fd, bool whole, const std::function<void(const Result&)>& done) {
    auto at = open_.find(fd);
    if (at == open_.end())
        return;
    Result result;
    result.tag = at->second.tag;
    result.seconds = std::chrono::duration<double>(Clock::now() - at->second.start).count();
    const std::string& in = at->second.in;
    if (whole && in.rfind("HTTP/1.1 ", 0) == 0) {
        result.status = std::atoi(in.c_str() + 9);
        result.up = in.find("\ntarnvik_up 1") != std::string::npos;
    }
    ::epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd, nullptr);
    ::close(fd);
    open_.erase(at);
    done(result);
}

void FleetScraper::Run(const std::function<bool()>& more,
                       const std::function<void(const Result&)>& done) {
    epollFd_ = ::epoll_create1(EPOLL_CLOEXEC);
    std::vector<epoll_event> events(1024);
    const auto timeout =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(timeoutSeconds_));
    auto lastMore = Clock::now();
    bool wantMore = true;
    for (;;) {
        auto now = Clock::now();
        if (now - lastMore >= std::chrono::milliseconds(50)) {
            lastMore = now;
            wantMore = more();
        }
        while (!queue_.empty() && queue_.front().when <= now) {
            Start(queue_.front());
            queue_.pop_front();
        }
        if (queue_.empty() && open_.empty() && !wantMore)
            break;
        int waitMs = 20;
        if (!queue_.empty())
            waitMs = static_cast<int>(std::clamp<long long>(
                std::chrono::duration_cast<std::chrono::milliseconds>(queue_.front().when - now)
                    .count(),
                0, 20));
        const int count =
            ::epoll_wait(epollFd_, events.data(), static_cast<int>(events.size()), waitMs);
        for (int i = 0; i < count; ++i) {
            const int fd = events[static_cast<size_t>(i)].data.fd;
            auto at = open_.find(fd);
            if (at == open_.end())
                continue;
            Open& open = at->second;
            if (open.sent < open.out.size() && (events[static_cast<size_t>(i)].events & EPOLLOUT)) {
                const ssize_t put = ::send(fd, open.out.data() + open.sent,
                                           open.out.size() - open.sent, MSG_NOSIGNAL);
                if (put > 0)
                    open.sent += static_cast<size_t>(put);
                else if (errno != EAGAIN) {
                    Finish(fd, false, done);
                    continue;
                }
                if (open.sent == open.out.size()) {
                    epoll_event event{};
                    event.events = EPOLLIN;
                    event.data.fd = fd;
                    ::epoll_ctl(epollFd_, EPOLL_CTL_MOD, fd, &event);
                }
            }
            if (events[static_cast<size_t>(i)].events & (EPOLLIN | EPOLLHUP | EPOLLERR)) {
                char buffer[8192];
                ssize_t got = 0;
                while ((got = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
                    open.in.append(buffer, static_cast<size_t>(got));
                if (got == 0)
                    Finish(fd, true, done);
                else if (errno != EAGAIN)
                    Finish(fd, false, done);
            }
        }
        // Past the scrape time-out the scrape has failed, as it has for Prometheus.
        now = Clock::now();
        std::vector<int> late;
        for (const auto& [fd, open] : open_) {
            if (now - open.start > timeout)
                late.push_back(fd);
        }
        for (int fd : late)
            Finish(fd, false, done);
    }
    ::close(epollFd_);
    epollFd_ = -1;
}
