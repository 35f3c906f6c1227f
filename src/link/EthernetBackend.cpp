#include "link/EthernetBackend.h"

#include "link/FixedText.h"

#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

EthernetBackend::EthernetBackend(const NetSettings& settings, const LinkTimeouts& timeouts)
    : settings_(settings), timeouts_(timeouts) {}

EthernetBackend::~EthernetBackend() {
    Close();
}

bool EthernetBackend::Wait(short events, int ms) {
    pollfd waiter{fd_, events, 0};
    for (;;) {
        const int ready = ::poll(&waiter, 1, ms);
        if (ready < 0 && errno == EINTR)
            continue;
        return ready > 0 && (waiter.revents & (events | POLLHUP | POLLERR));
    }
}

bool EthernetBackend::Connect(const void* address, unsigned addressLength, int family) {
    fd_ = ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0)
        return false;
    if (::connect(fd_, static_cast<const sockaddr*>(address), addressLength) != 0) {
        if (errno != EINPROGRESS || !Wait(POLLOUT, timeouts_.netConnectMs)) {
            Close();
            return false;
        }
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
            Close();
            return false;
        }
    }
    // Connected: from now on a send or recv blocks only while the kernel cannot take or has
    // nothing, and then for at most one stream wait.
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
    const timeval wait{timeouts_.netMs / 1000, (timeouts_.netMs % 1000) * 1000};
    ::setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    connected_ = true;
    return true;
}

bool EthernetBackend::Open() {
    const std::string address = FixedBytes(settings_.address);
    if (address.empty() || settings_.port <= 0 || settings_.port > 65535)
        return false;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(address.c_str(), std::to_string(settings_.port).c_str(), &hints, &found) != 0)
        return false;
    bool open = false;
    for (const addrinfo* at = found; at && !open; at = at->ai_next)
        open = Connect(at->ai_addr, at->ai_addrlen, at->ai_family);
    ::freeaddrinfo(found);
    return open;
}

void EthernetBackend::Close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    connected_ = false;
}

bool EthernetBackend::IsConnected() const {
    return fd_ >= 0 && connected_;
}

bool EthernetBackend::WritePiece(const uint8_t* bytes, size_t length) {
    if (!IsConnected())
        return false;
    // Each wait is one offer of the rest of the piece; a stream that takes nothing within
    // the wait is offered it again, a bounded number of times.
    int offers = 0;
    size_t done = 0;
    while (done < length) {
        const ssize_t sent = ::send(fd_, bytes + done, length - done, MSG_NOSIGNAL);
        if (sent > 0) {
            done += static_cast<size_t>(sent);
            continue;
        }
        if (sent < 0 && errno == EINTR)
            continue;
        // The stream wait ran out with nothing taken: that was one offer.
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (++offers >= timeouts_.netMaxOffers)
                return false;
            continue;
        }
        connected_ = false;
        return false;
    }
    return true;
}

size_t EthernetBackend::ReadDevice(uint8_t* buffer, size_t capacity) {
    if (fd_ < 0)
        return 0;
    for (;;) {
        const ssize_t got = ::recv(fd_, buffer, capacity, 0);
        if (got > 0)
            return static_cast<size_t>(got);
        if (got < 0 && errno == EINTR)
            continue;
        // Nothing within the stream wait; a closed connection or an error ends it.
        if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            connected_ = false;
        return 0;
    }
}
