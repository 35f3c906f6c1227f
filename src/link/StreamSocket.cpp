#include "link/StreamSocket.h"

#include "link/LinkWait.h"

#include <cerrno>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// A name look-up cannot be interrupted, so it runs on a thread of its own while the caller
// waits in slices; a cancelled caller leaves it to finish and free its answer alone.
struct LookUp {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    addrinfo* found = nullptr;
    ~LookUp() {
        if (found)
            ::freeaddrinfo(found);
    }
};

addrinfo* Resolve(const std::string& host, const std::string& service, int flags) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = flags;
    addrinfo* found = nullptr;
    return ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found) == 0 ? found : nullptr;
}

std::shared_ptr<LookUp> StartLookUp(const std::string& host, int port) {
    auto lookUp = std::make_shared<LookUp>();
    const std::string service = std::to_string(port);
    // A numeric address needs no look-up and no thread.
    if (addrinfo* numeric = Resolve(host, service, AI_NUMERICHOST)) {
        lookUp->found = numeric;
        lookUp->done = true;
        return lookUp;
    }
    std::thread([lookUp, host, service] {
        addrinfo* found = Resolve(host, service, 0);
        {
            const std::lock_guard<std::mutex> lock(lookUp->mutex);
            lookUp->found = found;
            lookUp->done = true;
        }
        lookUp->finished.notify_all();
    }).detach();
    return lookUp;
}

} // namespace

StreamSocket::~StreamSocket() {
    Close();
}

void StreamSocket::Close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool StreamSocket::WaitFor(short events, int ms, const LinkWait& wait) const {
    if (fd_ < 0)
        return false;
    bool failed = false;
    const LinkWait::Outcome outcome = wait.Until(ms, [&](int sliceMs) {
        pollfd waiter{fd_, events, 0};
        const int ready = ::poll(&waiter, 1, sliceMs);
        if (ready < 0) {
            failed = errno != EINTR;
            return failed;
        }
        return ready > 0 && (waiter.revents & (events | POLLHUP | POLLERR)) != 0;
    });
    return outcome == LinkWait::Outcome::Ready && !failed;
}

bool StreamSocket::WaitWritable(int ms, const LinkWait& wait) const {
    return WaitFor(POLLOUT, ms, wait);
}

bool StreamSocket::WaitReadable(int ms, const LinkWait& wait) const {
    return WaitFor(POLLIN, ms, wait);
}

bool StreamSocket::ConnectTo(const void* address, unsigned length, int family, int connectMs,
                             const LinkWait& wait) {
    fd_ = ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0)
        return false;
    if (::connect(fd_, static_cast<const sockaddr*>(address), length) != 0) {
        if (errno != EINPROGRESS || !WaitWritable(connectMs, wait)) {
            Close();
            return false;
        }
        int error = 0;
        socklen_t size = sizeof error;
        if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0) {
            Close();
            return false;
        }
    }
    return true;
}

bool StreamSocket::Connect(const std::string& host, int port, int connectMs, const LinkWait& wait) {
    Close();
    const std::shared_ptr<LookUp> lookUp = StartLookUp(host, port);
    // The look-up has the connect's bound too.
    const LinkWait::Outcome outcome = wait.Until(connectMs, [&](int sliceMs) {
        std::unique_lock<std::mutex> lock(lookUp->mutex);
        return lookUp->finished.wait_for(lock, std::chrono::milliseconds(sliceMs),
                                         [&] { return lookUp->done; });
    });
    if (outcome != LinkWait::Outcome::Ready)
        return false;
    for (const addrinfo* at = lookUp->found; at; at = at->ai_next) {
        if (ConnectTo(at->ai_addr, at->ai_addrlen, at->ai_family, connectMs, wait))
            return true;
        if (wait.Cancelled())
            return false;
    }
    return false;
}

StreamSocket::Io StreamSocket::Send(const uint8_t* bytes, size_t length, size_t& count) {
    count = 0;
    for (;;) {
        const ssize_t sent = ::send(fd_, bytes, length, MSG_NOSIGNAL);
        if (sent >= 0) {
            count = static_cast<size_t>(sent);
            return Io::Done;
        }
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? Io::WouldBlock : Io::Closed;
    }
}

StreamSocket::Io StreamSocket::Receive(uint8_t* buffer, size_t capacity, size_t& count) {
    count = 0;
    for (;;) {
        const ssize_t got = ::recv(fd_, buffer, capacity, 0);
        if (got > 0) {
            count = static_cast<size_t>(got);
            return Io::Done;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return Io::WouldBlock;
        return Io::Closed;
    }
}
