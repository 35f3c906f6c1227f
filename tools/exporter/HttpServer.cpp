#include "HttpServer.h"

#include "HttpHead.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr uint64_t kListenerId = 0;
constexpr uint64_t kWakeId = 1;
// How often waiting connections are checked against their limits.
constexpr int kTickMs = 50;

bool ParseListen(const std::string& listen, sockaddr_storage& address, socklen_t& length) {
    const size_t colon = listen.rfind(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    std::string host = listen.substr(0, colon);
    const std::string portText = listen.substr(colon + 1);
    if (portText.empty() || portText.size() > 5 ||
        portText.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const int port = std::stoi(portText);
    if (port > 65535)
        return false;
    std::memset(&address, 0, sizeof address);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        auto* in6 = reinterpret_cast<sockaddr_in6*>(&address);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(static_cast<uint16_t>(port));
        length = sizeof *in6;
        return ::inet_pton(AF_INET6, host.substr(1, host.size() - 2).c_str(), &in6->sin6_addr) == 1;
    }
    auto* in = reinterpret_cast<sockaddr_in*>(&address);
    in->sin_family = AF_INET;
    in->sin_port = htons(static_cast<uint16_t>(port));
    length = sizeof *in;
    return ::inet_pton(AF_INET, host.c_str(), &in->sin_addr) == 1;
}

} // namespace

const char* HttpReasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 431:
        return "Request Header Fields Too Large";
    case 503:
        return "Service Unavailable";
    default:
        return "Internal Server Error";
    }
}

HttpServer::HttpServer(Dispatcher dispatch, Limits limits, RefusalCounter refused)
    : dispatch_(std::move(dispatch)), limits_(limits), refused_(std::move(refused)) {}

HttpServer::~HttpServer() {
    Stop();
}

bool HttpServer::Start(const std::string& listen, QString* error) {
    auto fail = [&](const char* what) {
        if (error)
            *error = QStringLiteral("cannot listen on %1: %2")
                         .arg(QString::fromStdString(listen), QString::fromUtf8(what));
        if (listenFd_ >= 0)
            ::close(listenFd_);
        listenFd_ = -1;
        return false;
    };
    sockaddr_storage address{};
    socklen_t length = 0;
    if (!ParseListen(listen, address, length))
        return fail("not ADDR:PORT or [ADDR]:PORT with a numeric address");
    listenFd_ = ::socket(address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0)
        return fail(std::strerror(errno));
    const int on = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (address.ss_family == AF_INET6)
        ::setsockopt(listenFd_, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on);
    if (::bind(listenFd_, reinterpret_cast<const sockaddr*>(&address), length) != 0 ||
        ::listen(listenFd_, SOMAXCONN) != 0)
        return fail(std::strerror(errno));
    sockaddr_storage bound{};
    socklen_t boundLength = sizeof bound;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&bound), &boundLength);
    port_ = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                              : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);

    epollFd_ = ::epoll_create1(EPOLL_CLOEXEC);
    wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (epollFd_ < 0 || wakeFd_ < 0)
        return fail(std::strerror(errno));
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = kListenerId;
    ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, listenFd_, &event);
    event.data.u64 = kWakeId;
    ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, wakeFd_, &event);
    thread_ = std::thread([this] { Run(); });
    return true;
}

void HttpServer::Stop() {
    if (thread_.joinable()) {
        stopping_ = true;
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
        thread_.join();
    }
    std::lock_guard lock(answersMutex_);
    for (int* fd : {&listenFd_, &epollFd_, &wakeFd_}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    answers_.clear();
}

void HttpServer::Post(uint64_t id, HttpResponse response) {
    std::lock_guard lock(answersMutex_);
    // After Stop the answer has nowhere to go.
    if (wakeFd_ < 0)
        return;
    answers_.emplace_back(id, std::move(response));
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
}

void HttpServer::Run() {
    std::vector<epoll_event> events(256);
    Clock::time_point lastCheck = Clock::now();
    Clock::time_point drainEnd{};
    bool draining = false;
    for (;;) {
        if (stopping_ && !draining) {
            // No new connections; requests still being read will not be answered.
            draining = true;
            drainEnd = Clock::now() + limits_.drainTime;
            ::epoll_ctl(epollFd_, EPOLL_CTL_DEL, listenFd_, nullptr);
            std::vector<uint64_t> reading;
            for (const auto& [id, connection] : connections_) {
                if (connection.phase == Phase::Reading)
                    reading.push_back(id);
            }
            for (uint64_t id : reading)
                Close(id);
        }
        if (draining && (connections_.empty() || Clock::now() >= drainEnd))
            break;
        const int count =
            ::epoll_wait(epollFd_, events.data(), static_cast<int>(events.size()), kTickMs);
        for (int i = 0; i < count; ++i) {
            const uint64_t id = events[static_cast<size_t>(i)].data.u64;
            const uint32_t what = events[static_cast<size_t>(i)].events;
            if (id == kListenerId) {
                Accept();
                continue;
            }
            if (id == kWakeId) {
                uint64_t value = 0;
                [[maybe_unused]] const ssize_t got = ::read(wakeFd_, &value, sizeof value);
                continue;
            }
            auto at = connections_.find(id);
            if (at == connections_.end())
                continue;
            Connection& connection = at->second;
            if (connection.phase == Phase::Reading && (what & (EPOLLIN | EPOLLHUP | EPOLLERR)))
                ReadFrom(id, connection);
            else if (connection.phase == Phase::Writing && (what & (EPOLLOUT | EPOLLERR)))
                WriteTo(id, connection);
            else if (what & (EPOLLHUP | EPOLLERR))
                Close(id);
        }
        TakeAnswers();
        const Clock::time_point now = Clock::now();
        if (now - lastCheck >= std::chrono::milliseconds(kTickMs)) {
            lastCheck = now;
            CheckTimes(now);
        }
        if (listenFd_ >= 0 && !draining && acceptPausedUntil_ != Clock::time_point{} &&
            now >= acceptPausedUntil_) {
            acceptPausedUntil_ = {};
            Accept();
        }
    }
    std::vector<uint64_t> left;
    for (const auto& entry : connections_)
        left.push_back(entry.first);
    for (uint64_t id : left)
        Close(id);
}

void HttpServer::Accept() {
    if (acceptPausedUntil_ != Clock::time_point{})
        return;
    for (;;) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
                // Out of descriptors: the waiting clients stay queued a moment instead of
                // the loop spinning on them.
                acceptPausedUntil_ = Clock::now() + std::chrono::milliseconds(100);
            return;
        }
        const uint64_t id = nextId_++;
        Connection connection;
        connection.fd = fd;
        connection.arrival = Clock::now();
        connection.limit = connection.arrival + limits_.headerTime;
        epoll_event event{};
        event.events = EPOLLIN | EPOLLRDHUP;
        event.data.u64 = id;
        ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &event);
        connections_.emplace(id, std::move(connection));
        ++connectionCount_;
    }
}

void HttpServer::ReadFrom(uint64_t id, Connection& connection) {
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(connection.fd, buffer, sizeof buffer);
        if (got > 0) {
            connection.in.append(buffer, static_cast<size_t>(got));
            if (connection.in.size() > limits_.mostHeadBytes + 4)
                break;
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (got < 0 && errno == EINTR)
            continue;
        // The client hung up (or failed) before its head was whole.
        Close(id);
        return;
    }
    Parse(id, connection);
}

void HttpServer::Parse(uint64_t id, Connection& connection) {
    size_t end = connection.in.find("\r\n\r\n");
    if (end == std::string::npos)
        end = connection.in.find("\n\n");
    if (end == std::string::npos || end > limits_.mostHeadBytes) {
        if (connection.in.size() > limits_.mostHeadBytes) {
            if (refused_)
                refused_(431);
            Answer(id, connection, {431, "text/plain; charset=utf-8", "request head too large\n"});
        }
        return;
    }
    HttpRequest request;
    const int status =
        ParseHttpHead(std::string_view(connection.in).substr(0, end), limits_.mostHeaders, request);
    connection.in.clear();
    connection.in.shrink_to_fit();
    if (status != 0) {
        if (refused_)
            refused_(status);
        Answer(id, connection,
               {status, "text/plain; charset=utf-8",
                status == 431 ? "too many header lines\n" : "not an HTTP request\n"});
        return;
    }
    request.arrival = connection.arrival;
    connection.head = request.method == "HEAD";
    connection.phase = Phase::Waiting;
    connection.limit = connection.arrival + limits_.answerTime;
    // Nothing more is read; a hang-up still shows as EPOLLHUP.
    epoll_event event{};
    event.events = 0;
    event.data.u64 = id;
    ::epoll_ctl(epollFd_, EPOLL_CTL_MOD, connection.fd, &event);
    dispatch_(std::move(request),
              [this, id](HttpResponse response) { Post(id, std::move(response)); });
}

void HttpServer::Answer(uint64_t id, Connection& connection, const HttpResponse& response) {
    char head[256];
    const int length = std::snprintf(head, sizeof head,
                                     "HTTP/1.1 %d %s\r\nContent-Type: %s\r\nContent-Length: %zu\r\n"
                                     "Cache-Control: no-store\r\nConnection: close\r\n\r\n",
                                     response.status, HttpReasonPhrase(response.status),
                                     response.contentType.c_str(), response.body.size());
    connection.out.assign(head, static_cast<size_t>(std::max(0, length)));
    if (!connection.head)
        connection.out += response.body;
    connection.sent = 0;
    connection.phase = Phase::Writing;
    connection.limit = Clock::now() + limits_.writeTime;
    WriteTo(id, connection);
}

void HttpServer::WriteTo(uint64_t id, Connection& connection) {
    while (connection.sent < connection.out.size()) {
        const ssize_t put = ::send(connection.fd, connection.out.data() + connection.sent,
                                   connection.out.size() - connection.sent, MSG_NOSIGNAL);
        if (put > 0) {
            connection.sent += static_cast<size_t>(put);
            continue;
        }
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            epoll_event event{};
            event.events = EPOLLOUT;
            event.data.u64 = id;
            ::epoll_ctl(epollFd_, EPOLL_CTL_MOD, connection.fd, &event);
            return;
        }
        break;
    }
    ::shutdown(connection.fd, SHUT_WR);
    Close(id);
}

void HttpServer::Close(uint64_t id) {
    auto at = connections_.find(id);
    if (at == connections_.end())
        return;
    ::epoll_ctl(epollFd_, EPOLL_CTL_DEL, at->second.fd, nullptr);
    ::close(at->second.fd);
    connections_.erase(at);
    --connectionCount_;
}

void HttpServer::TakeAnswers() {
    std::vector<std::pair<uint64_t, HttpResponse>> taken;
    {
        std::lock_guard lock(answersMutex_);
        taken.swap(answers_);
    }
    for (auto& [id, response] : taken) {
        auto at = connections_.find(id);
        // A connection closed meanwhile (its time was up, or the client left) takes nothing.
        if (at != connections_.end() && at->second.phase == Phase::Waiting)
            Answer(id, at->second, response);
    }
}

void HttpServer::CheckTimes(Clock::time_point now) {
    std::vector<uint64_t> late;
    for (const auto& [id, connection] : connections_) {
        if (now >= connection.limit)
            late.push_back(id);
    }
    for (uint64_t id : late) {
        auto at = connections_.find(id);
        if (at->second.phase == Phase::Reading) {
            // Half-sent requests hold a socket for the header time at most.
            if (refused_)
                refused_(408);
            Answer(id, at->second, {408, "text/plain; charset=utf-8", "request head too slow\n"});
        } else {
            Close(id);
        }
    }
}
