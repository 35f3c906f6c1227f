#include "PtyServer.h"

#include "VirtualPrinter.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

PtyServer::PtyServer(VirtualPrinter& printer) : printer_(printer) {}

PtyServer::~PtyServer() {
    Stop();
}

bool PtyServer::Start(std::string* error) {
    auto fail = [&](const char* what) {
        if (error)
            *error = std::string(what) + ": " + std::strerror(errno);
        Stop();
        return false;
    };
    masterFd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (masterFd_ < 0)
        return fail("posix_openpt");
    if (::grantpt(masterFd_) != 0 || ::unlockpt(masterFd_) != 0)
        return fail("grantpt");
    const char* name = ::ptsname(masterFd_);
    if (!name)
        return fail("ptsname");
    slavePath_ = name;
    slaveFd_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveFd_ < 0)
        return fail("open slave");
    termios raw{};
    ::tcgetattr(slaveFd_, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slaveFd_, TCSANOW, &raw);
    ::fcntl(masterFd_, F_SETFL, ::fcntl(masterFd_, F_GETFL) | O_NONBLOCK);
    loop_.Start([this](int wakeFd) { return Step(wakeFd); });
    return true;
}

void PtyServer::Stop() {
    loop_.Stop();
    if (masterFd_ >= 0)
        ::close(masterFd_);
    if (slaveFd_ >= 0)
        ::close(slaveFd_);
    masterFd_ = slaveFd_ = -1;
}

bool PtyServer::Step(int wakeFd) {
    Faults faults;
    {
        auto lock = printer_.Lock();
        faults = printer_.faults;
    }
    pollfd fds[2] = {{wakeFd, POLLIN, 0},
                     {masterFd_, static_cast<short>(faults.stopReading ? 0 : POLLIN), 0}};
    const int ready = ::poll(fds, 2, 100);
    if (ready < 0)
        return errno == EINTR;
    if (fds[0].revents & POLLIN)
        loop_.DrainWake();
    // The terminal hands written bytes to this side a moment after the write, so only a
    // whole quiet wait counts as nothing left to read.
    if (ready == 0 && !faults.stopReading)
        loop_.NoteIdle();
    if (!(fds[1].revents & POLLIN))
        return true;
    char buffer[4096];
    const ssize_t got = ::read(masterFd_, buffer, sizeof buffer);
    if (got <= 0)
        return true;
    // The faults as they are now, not as they were when the wait began.
    {
        auto lock = printer_.Lock();
        faults = printer_.faults;
        // A printer that is off (restarting) loses what reaches its line.
        if (printer_.Offline())
            return true;
    }
    const bool hungUp = faults.closeAfterBytes >= 0 && received_ + got >= faults.closeAfterBytes;
    size_t take = static_cast<size_t>(got);
    if (faults.closeAfterBytes >= 0 && received_ < faults.closeAfterBytes && hungUp)
        take = static_cast<size_t>(faults.closeAfterBytes - received_);
    else if (faults.closeAfterBytes >= 0 && received_ >= faults.closeAfterBytes)
        take = 0;
    received_ += got;
    const std::string reply =
        take ? printer_.Receive(std::string_view(buffer, take)) : std::string();
    if (hungUp || faults.silent || reply.empty())
        return true;
    WaitReplyDelay(faults);
    SendAll(masterFd_, ApplyReplyFaults(faults, reply), faults.trickleDelayMs, false);
    return true;
}

FifoServer::FifoServer(VirtualPrinter& printer, std::string path)
    : printer_(printer), path_(std::move(path)) {}

FifoServer::~FifoServer() {
    Stop();
}

bool FifoServer::Start(std::string* error) {
    struct stat info {};
    if (::stat(path_.c_str(), &info) != 0) {
        if (::mkfifo(path_.c_str(), 0600) != 0) {
            if (error)
                *error = std::string("mkfifo: ") + std::strerror(errno);
            return false;
        }
        created_ = true;
    }
    fd_ = ::open(path_.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        if (error)
            *error = std::string("open: ") + std::strerror(errno);
        return false;
    }
    loop_.Start([this](int wakeFd) { return Step(wakeFd); });
    return true;
}

void FifoServer::Stop() {
    loop_.Stop();
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (created_)
        ::unlink(path_.c_str());
    created_ = false;
}

bool FifoServer::Step(int wakeFd) {
    pollfd fds[2] = {{wakeFd, POLLIN, 0}, {fd_, POLLIN, 0}};
    if (::poll(fds, 2, 100) < 0)
        return errno == EINTR;
    if (fds[0].revents & POLLIN)
        loop_.DrainWake();
    if (!(fds[1].revents & POLLIN))
        loop_.NoteIdle();
    if (fds[1].revents & POLLIN) {
        char buffer[65536];
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        auto lock = printer_.Lock();
        if (got > 0 && !printer_.Offline())
            printer_.Receive(std::string_view(buffer, static_cast<size_t>(got)));
    }
    return true;
}

} // namespace sim
