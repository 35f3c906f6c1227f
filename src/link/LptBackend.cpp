#include "link/LptBackend.h"

#include "link/FixedText.h"
#include "link/LinkWait.h"
#include "link/PortNames.h"

#include <QFileInfo>

#if !defined(Q_OS_WIN)
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#endif

LptBackend::LptBackend(const LptPortName& name, const LinkTimeouts& timeouts, const LinkWait& wait)
    : name_(name), timeouts_(timeouts), wait_(wait) {}

LptBackend::~LptBackend() {
    Close();
}

bool LptBackend::Open() {
    const QString name = FixedText(name_.text, FixedTextKind::Local);
    if (name.isEmpty())
        return false;
    const QString device = ParallelDeviceForPortName(name);
    // An existing device or file only: opening never creates one.
    if (!QFile::exists(device))
        return false;
    file_.setFileName(device);
    // Read-write, as a FIFO opened write-only would wait for a reader.
    // A plain file collects what is sent after what it already holds.
    QIODevice::OpenMode mode = QIODevice::ReadWrite | QIODevice::Unbuffered;
    if (QFileInfo(device).isFile())
        mode |= QIODevice::Append;
    if (!file_.open(mode))
        return false;
#if !defined(Q_OS_WIN)
    const int fd = file_.handle();
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
#endif
    return true;
}

void LptBackend::Close() {
    if (file_.isOpen())
        file_.close();
}

intptr_t LptBackend::Handle() const {
    return file_.isOpen() ? file_.handle() : -1;
}

bool LptBackend::WritePiece(const uint8_t* bytes, size_t length) {
    if (!file_.isOpen())
        return false;
#if defined(Q_OS_WIN)
    if (length == 0)
        return file_.write(reinterpret_cast<const char*>(bytes), 0) == 0;
    return file_.write(reinterpret_cast<const char*>(bytes), static_cast<qint64>(length)) ==
           static_cast<qint64>(length);
#else
    // One write of the whole block as far as the device goes; a device that stops taking
    // data for the write wait fails the block instead of holding the program.
    const int fd = file_.handle();
    size_t done = 0;
    do {
        const ssize_t wrote = ::write(fd, bytes + done, length - done);
        if (wrote >= 0) {
            done += static_cast<size_t>(wrote);
            continue;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return false;
        const LinkWait::Outcome outcome = wait_.Until(timeouts_.lptWriteMs, [fd](int sliceMs) {
            pollfd waiter{fd, POLLOUT, 0};
            return ::poll(&waiter, 1, sliceMs) > 0;
        });
        if (outcome != LinkWait::Outcome::Ready)
            return false;
    } while (done < length);
    return true;
#endif
}
