#include "TcpServer.h"

#include "VirtualPrinter.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sim {

TcpServer::TcpServer(VirtualPrinter& printer, std::string address, uint16_t port)
    : printer_(printer), address_(std::move(address)), port_(port) {}

TcpServer::~TcpServer() {
    Stop();
}

bool TcpServer::Listen(std::string* error) {
    auto fail = [&](const char* what) {
        if (error)
            *error = std::string(what) + ": " + std::strerror(errno);
        CloseListener();
        return false;
    };
    // Close-on-exec: a program the host process starts must not keep the port listening.
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0)
        return fail("socket");
    const int one = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (receiveBuffer_ > 0)
        ::setsockopt(listenFd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer_, sizeof receiveBuffer_);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(port_);
    if (::inet_pton(AF_INET, address_.c_str(), &where.sin_addr) != 1) {
        errno = EINVAL;
        return fail("address");
    }
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0)
        return fail("bind");
    if (::listen(listenFd_, 8) != 0)
        return fail("listen");
    socklen_t length = sizeof where;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&where), &length);
    port_ = ntohs(where.sin_port);
    return true;
}

void TcpServer::CloseListener() {
    if (listenFd_ >= 0)
        ::close(listenFd_);
    listenFd_ = -1;
}

bool TcpServer::Start(std::string* error) {
    if (!Listen(error))
        return false;
    loop_.Start([this](int wakeFd) { return Step(wakeFd); });
    return true;
}

void TcpServer::Stop() {
    loop_.Stop();
    DropClients();
    CloseListener();
}

void TcpServer::DropClients() {
    for (Client& client : clients_)
        ::close(client.fd);
    clients_.clear();
}

bool TcpServer::Step(int wakeFd) {
    Faults faults;
    bool offline = false;
    {
        auto lock = printer_.Lock();
        faults = printer_.faults;
        offline = printer_.Offline();
    }
    // A printer that is off (restarting) has no connections and takes none.
    if (offline)
        DropClients();
    // Refusing means not listening at all, so a connect gets a reset.
    const bool closed = faults.refuse || offline;
    if (closed && listenFd_ >= 0)
        CloseListener();
    else if (!closed && listenFd_ < 0 && !Listen(nullptr))
        return true;

    std::vector<pollfd> fds;
    fds.push_back({wakeFd, POLLIN, 0});
    if (listenFd_ >= 0)
        fds.push_back({listenFd_, POLLIN, 0});
    const size_t firstClient = fds.size();
    for (const Client& client : clients_)
        fds.push_back({client.fd, static_cast<short>(faults.stopReading ? 0 : POLLIN), 0});

    if (::poll(fds.data(), fds.size(), 100) < 0)
        return errno == EINTR;
    if (fds[0].revents & POLLIN)
        loop_.DrainWake();
    bool waiting = faults.stopReading;
    for (size_t i = 1; i < fds.size(); ++i)
        waiting = waiting || (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) != 0;
    if (!waiting)
        loop_.NoteIdle();
    if (listenFd_ >= 0 && (fds[1].revents & POLLIN)) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0 && clients_.size() >= kMostClients) {
            ::close(fd);
        } else if (fd >= 0) {
            clients_.push_back({fd, 0, {}});
            ++accepted_;
        }
    }
    for (size_t i = 0; i < clients_.size() && firstClient + i < fds.size();) {
        bool closed = false;
        if (fds[firstClient + i].revents & (POLLIN | POLLHUP | POLLERR))
            Serve(clients_[i], closed);
        if (closed) {
            ::close(clients_[i].fd);
            clients_.erase(clients_.begin() + static_cast<long>(i));
            fds.erase(fds.begin() + static_cast<long>(firstClient + i));
        } else {
            ++i;
        }
    }
    return true;
}

void TcpServer::Serve(Client& client, bool& closed) {
    char buffer[65536];
    const ssize_t got = ::recv(client.fd, buffer, sizeof buffer, 0);
    if (got <= 0) {
        closed = got == 0 || (errno != EINTR && errno != EAGAIN);
        return;
    }
    Faults faults;
    {
        auto lock = printer_.Lock();
        faults = printer_.faults;
    }
    size_t take = static_cast<size_t>(got);
    bool hangUp = false;
    if (faults.closeAfterBytes >= 0 && client.received + got >= faults.closeAfterBytes) {
        take = static_cast<size_t>(std::max<long>(0, faults.closeAfterBytes - client.received));
        hangUp = true;
    }
    client.received += static_cast<long>(take);
    std::string reply = printer_.Receive(client.input, std::string_view(buffer, take));
    bool offline = false;
    {
        auto lock = printer_.Lock();
        offline = printer_.Offline();
    }
    // What the printer took made it restart: the connection goes with it.
    if (hangUp || offline) {
        closed = true;
        return;
    }
    if (faults.silent || reply.empty())
        return;
    WaitReplyDelay(faults);
    if (!SendAll(client.fd, ApplyReplyFaults(faults, reply), faults.trickleDelayMs, true))
        closed = true;
}

} // namespace sim
