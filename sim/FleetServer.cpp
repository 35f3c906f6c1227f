#include "FleetServer.h"

#include "Faults.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sim {

namespace {

// epoll tags: listeners carry their index with this bit set.
constexpr uint64_t kListenerTag = uint64_t{1} << 62;

const char* const kRoleNames[FleetServer::kRoles] = {"silent",  "refusing", "not-accepting", "slow",
                                                     "garbage", "hang-up",  "healthy"};

// How many printers each misbehaving role gets, in Role order.
int RoleCount(const FleetServer::Layout& layout, int role) {
    return static_cast<int>(std::lround(layout.count * layout.shares[role] / 100.0));
}

} // namespace

FleetServer::FleetServer(VirtualPrinter& model, Layout layout)
    : model_(model), layout_(std::move(layout)) {}

FleetServer::~FleetServer() {
    for (auto& entry : connections_)
        ::close(entry.second.fd);
    for (int fd : portFds_)
        ::close(fd);
    for (int fd : fillers_)
        ::close(fd);
    if (epollFd_ >= 0)
        ::close(epollFd_);
}

FleetServer::Role FleetServer::RoleOf(const Layout& layout, int index) {
    int first = 0;
    for (int role = 0; role < kRoles - 1; ++role) {
        first += RoleCount(layout, role);
        if (index < first)
            return static_cast<Role>(role);
    }
    return Role::Healthy;
}

const char* FleetServer::RoleName(Role role) {
    return kRoleNames[static_cast<int>(role)];
}

std::string FleetServer::Describe() const {
    std::string text;
    int first = 0;
    for (int role = 0; role < kRoles; ++role) {
        const int count = role == kRoles - 1
                              ? layout_.count - first
                              : std::min(RoleCount(layout_, role), layout_.count - first);
        if (count <= 0)
            continue;
        text += std::string(kRoleNames[role]) + " " + layout_.address + ":" +
                std::to_string(layout_.basePort + first) + "-" +
                std::to_string(layout_.basePort + first + count - 1) + "\n";
        first += count;
    }
    return text;
}

bool FleetServer::Start(std::string* error) {
    auto fail = [&](const std::string& what) {
        if (error)
            *error = what + ": " + std::strerror(errno);
        return false;
    };
    if (layout_.count < 1 || layout_.basePort == 0 ||
        layout_.basePort + layout_.count - 1 > 65535) {
        errno = EINVAL;
        return fail("the fleet needs --base-port P with P + N - 1 at most 65535");
    }
    epollFd_ = ::epoll_create1(EPOLL_CLOEXEC);
    if (epollFd_ < 0)
        return fail("epoll");
    sockaddr_in where{};
    where.sin_family = AF_INET;
    if (::inet_pton(AF_INET, layout_.address.c_str(), &where.sin_addr) != 1) {
        errno = EINVAL;
        return fail("address " + layout_.address);
    }
    for (int i = 0; i < layout_.count; ++i) {
        const Role role = RoleOf(layout_, i);
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return fail("socket");
        portFds_.push_back(fd);
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        where.sin_port = htons(static_cast<uint16_t>(layout_.basePort + i));
        if (::bind(fd, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0)
            return fail("port " + std::to_string(layout_.basePort + i));
        // A refusing printer holds its port without listening: a connect is reset.
        if (role == Role::Refusing)
            continue;
        if (::listen(fd, role == Role::NotAccepting ? 0 : 64) != 0)
            return fail("listen on port " + std::to_string(layout_.basePort + i));
        if (role == Role::NotAccepting) {
            // Two connections fill a backlog of 0 (the kernel queues one past it); the
            // listener is never accepted from, so later connects hang unanswered.
            for (int k = 0; k < 2; ++k) {
                const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
                if (filler < 0)
                    return fail("socket");
                ::connect(filler, reinterpret_cast<sockaddr*>(&where), sizeof where);
                fillers_.push_back(filler);
            }
            continue;
        }
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.u64 = kListenerTag | static_cast<uint64_t>(i);
        ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &event);
    }
    return true;
}

void FleetServer::Run(const volatile std::sig_atomic_t& stop) {
    std::vector<epoll_event> events(512);
    while (!stop) {
        int waitMs = 100;
        const auto now = std::chrono::steady_clock::now();
        for (const Delayed& d : delayed_)
            waitMs = std::min<int>(
                waitMs,
                static_cast<int>(std::max<long long>(
                    0, std::chrono::duration_cast<std::chrono::milliseconds>(d.due - now).count() +
                           1)));
        const int count =
            ::epoll_wait(epollFd_, events.data(), static_cast<int>(events.size()), waitMs);
        for (int i = 0; i < count; ++i) {
            const uint64_t tag = events[static_cast<size_t>(i)].data.u64;
            if (tag & kListenerTag) {
                Accept(static_cast<int>(tag & ~kListenerTag));
                continue;
            }
            if (events[static_cast<size_t>(i)].events & EPOLLOUT)
                Flush(tag);
            if (events[static_cast<size_t>(i)].events & (EPOLLIN | EPOLLHUP | EPOLLERR))
                Read(tag);
        }
        // Slow printers' answers that are due now.
        const auto after = std::chrono::steady_clock::now();
        std::vector<Delayed> due;
        auto split = std::partition(delayed_.begin(), delayed_.end(),
                                    [&](const Delayed& d) { return d.due > after; });
        std::move(split, delayed_.end(), std::back_inserter(due));
        delayed_.erase(split, delayed_.end());
        for (Delayed& d : due)
            Queue(d.id, std::move(d.bytes));
    }
}

void FleetServer::Accept(int index) {
    for (;;) {
        const int fd = ::accept4(portFds_[static_cast<size_t>(index)], nullptr, nullptr,
                                 SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;
        const uint64_t id = nextId_++;
        Connection connection;
        connection.fd = fd;
        connection.role = RoleOf(layout_, index);
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.u64 = id;
        ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &event);
        connections_.emplace(id, std::move(connection));
    }
}

void FleetServer::Read(uint64_t id) {
    auto at = connections_.find(id);
    if (at == connections_.end())
        return;
    Connection& connection = at->second;
    char buffer[16384];
    const ssize_t got = ::recv(connection.fd, buffer, sizeof buffer, 0);
    if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) {
        Close(id);
        return;
    }
    if (got < 0 || connection.role == Role::Silent)
        return;
    size_t take = static_cast<size_t>(got);
    if (connection.role == Role::HangUp && connection.received + got >= 2) {
        Close(id);
        return;
    }
    connection.received += got;
    std::string reply = model_.Receive(connection.input, std::string_view(buffer, take));
    if (reply.empty())
        return;
    if (connection.role == Role::Garbage) {
        Faults faults;
        faults.garbageBeforeReply = std::string(5000, '#');
        reply = ApplyReplyFaults(faults, reply);
    }
    if (connection.role == Role::Slow) {
        delayed_.push_back(
            {std::chrono::steady_clock::now() + std::chrono::milliseconds(layout_.slowMs), id,
             std::move(reply)});
        return;
    }
    Queue(id, std::move(reply));
}

void FleetServer::Queue(uint64_t id, std::string bytes) {
    auto at = connections_.find(id);
    if (at == connections_.end())
        return;
    at->second.out += bytes;
    Flush(id);
}

void FleetServer::Flush(uint64_t id) {
    auto at = connections_.find(id);
    if (at == connections_.end())
        return;
    Connection& connection = at->second;
    while (connection.sent < connection.out.size()) {
        const ssize_t put = ::send(connection.fd, connection.out.data() + connection.sent,
                                   connection.out.size() - connection.sent, MSG_NOSIGNAL);
        if (put > 0) {
            connection.sent += static_cast<size_t>(put);
            continue;
        }
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0 && errno == EAGAIN) {
            epoll_event event{};
            event.events = EPOLLIN | EPOLLOUT;
            event.data.u64 = id;
            ::epoll_ctl(epollFd_, EPOLL_CTL_MOD, connection.fd, &event);
            return;
        }
        Close(id);
        return;
    }
    connection.out.clear();
    connection.sent = 0;
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = id;
    ::epoll_ctl(epollFd_, EPOLL_CTL_MOD, connection.fd, &event);
}

void FleetServer::Close(uint64_t id) {
    auto at = connections_.find(id);
    if (at == connections_.end())
        return;
    ::close(at->second.fd);
    connections_.erase(at);
}

} // namespace sim
