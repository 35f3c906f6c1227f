#include "network/LanClient.h"

#include "link/LinkWait.h"

#include <QDeadlineTimer>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <QVariant>

LanClient::LanClient(LanClientSettings settings) : settings_(std::move(settings)) {}

LanClient::~LanClient() {
    Close();
}

bool LanClient::Open() {
    Close();
    auto socket = std::make_unique<QUdpSocket>();
    if (!socket->bind(settings_.bindAddress, 0))
        return false;
    socket->setSocketOption(QAbstractSocket::MulticastTtlOption, QVariant(1));
    socket_ = std::move(socket);
    return true;
}

void LanClient::Close() {
    if (socket_)
        socket_->close();
    socket_.reset();
}

bool LanClient::SendTo(const std::vector<QHostAddress>& targets, const uint8_t* bytes,
                       size_t length) {
    if (!socket_)
        return false;
    bool sent = false;
    const QByteArray datagram(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(length));
    for (const QHostAddress& target : targets) {
        if (socket_->writeDatagram(datagram, target, settings_.port) == static_cast<qint64>(length))
            sent = true;
    }
    return sent;
}

bool LanClient::SendBroadcast(const uint8_t* bytes, size_t length) {
    return SendTo(settings_.broadcastTargets, bytes, length);
}

bool LanClient::SendMulticast(const uint8_t* bytes, size_t length) {
    return SendTo(settings_.multicastTargets, bytes, length);
}

std::optional<QByteArray> LanClient::TakePending() {
    if (!socket_->hasPendingDatagrams())
        return std::nullopt;
    QNetworkDatagram datagram = socket_->receiveDatagram(kLanAnswerCapacity);
    if (!datagram.isValid())
        return std::nullopt;
    return datagram.data();
}

std::optional<QByteArray> LanClient::WaitForDatagram(int waitMs) {
    if (!socket_)
        return std::nullopt;
    if (auto pending = TakePending())
        return pending;
    if (waits_) {
        std::optional<QByteArray> taken;
        waits_->Until(waitMs, [&](int sliceMs) {
            socket_->waitForReadyRead(sliceMs);
            taken = TakePending();
            return taken.has_value();
        });
        return taken;
    }
    QDeadlineTimer deadline(waitMs);
    while (!deadline.hasExpired()) {
        if (!socket_->waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return std::nullopt;
        if (auto pending = TakePending())
            return pending;
    }
    return std::nullopt;
}

std::vector<QByteArray> LanClient::CollectDatagrams(int waitMs) {
    std::vector<QByteArray> datagrams;
    QDeadlineTimer roundLimit(settings_.collectionLimitMs);
    while (static_cast<int>(datagrams.size()) < settings_.maxAnswersPerRound &&
           !roundLimit.hasExpired()) {
        const int wait = static_cast<int>(std::min<qint64>(waitMs, roundLimit.remainingTime()));
        auto datagram = WaitForDatagram(wait);
        if (!datagram)
            break;
        datagrams.push_back(std::move(*datagram));
    }
    return datagrams;
}
