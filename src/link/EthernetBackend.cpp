#include "link/EthernetBackend.h"

#include "link/PortNames.h"

#include <QTcpSocket>

EthernetBackend::EthernetBackend(const NetSettings& settings, const LinkTimeouts& timeouts)
    : settings_(settings), timeouts_(timeouts) {}

EthernetBackend::~EthernetBackend() {
    Close();
}

bool EthernetBackend::Open() {
    const QString address = FieldText(settings_.address, sizeof settings_.address);
    if (address.isEmpty() || settings_.port <= 0 || settings_.port > 65535)
        return false;
    socket_ = std::make_unique<QTcpSocket>();
    socket_->connectToHost(address, static_cast<quint16>(settings_.port));
    if (!socket_->waitForConnected(timeouts_.netConnectMs)) {
        socket_.reset();
        return false;
    }
    return IsConnected();
}

void EthernetBackend::Close() {
    if (!socket_)
        return;
    socket_->abort();
    socket_.reset();
}

bool EthernetBackend::IsConnected() const {
    return socket_ && socket_->state() == QAbstractSocket::ConnectedState;
}

bool EthernetBackend::WritePiece(const uint8_t* bytes, size_t length) {
    if (!IsConnected())
        return false;
    if (length == 0)
        return true;
    if (socket_->write(reinterpret_cast<const char*>(bytes), static_cast<qint64>(length)) !=
        static_cast<qint64>(length))
        return false;
    // Each wait is one offer of the piece; a stream that takes nothing within the wait
    // is offered the rest again, a bounded number of times.
    int offers = 0;
    while (socket_->bytesToWrite() > 0) {
        if (socket_->waitForBytesWritten(timeouts_.netMs))
            continue;
        if (socket_->error() != QAbstractSocket::SocketTimeoutError || !IsConnected())
            return false;
        if (++offers >= timeouts_.netMaxOffers)
            return false;
    }
    return true;
}

size_t EthernetBackend::ReadDevice(uint8_t* buffer, size_t capacity) {
    if (!socket_)
        return 0;
    if (socket_->bytesAvailable() == 0 && !socket_->waitForReadyRead(timeouts_.netMs))
        return 0;
    const qint64 got =
        socket_->read(reinterpret_cast<char*>(buffer), static_cast<qint64>(capacity));
    return got > 0 ? static_cast<size_t>(got) : 0;
}
