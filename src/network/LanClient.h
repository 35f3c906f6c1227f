#pragma once

#include "network/LanProtocol.h"

#include <QByteArray>
#include <QHostAddress>

#include <memory>
#include <optional>
#include <vector>

class QUdpSocket;

// Where the LAN setup requests go and how long the client waits. The defaults are the
// product's: the limited broadcast and the multicast group on port 22368, one second of
// silence ends a discovery round, three seconds for each answer of an IP change.
struct LanClientSettings {
    std::vector<QHostAddress> broadcastTargets{QHostAddress(QStringLiteral("255.255.255.255"))};
    std::vector<QHostAddress> multicastTargets{QHostAddress(QStringLiteral("224.0.0.251"))};
    quint16 port = kLanSetupPort;
    // The local address the socket binds to (any port).
    QHostAddress bindAddress = QHostAddress(QHostAddress::AnyIPv4);
    int discoveryWaitMs = 1000;
    int answerWaitMs = 3000;
    // Bounds on one collection round, so that a chattering network cannot hold it open.
    int collectionLimitMs = 15000;
    int maxAnswersPerRound = 1024;
};

// One datagram socket with broadcast permission, for the duration of one action.
class LinkWait;

class LanClient {
public:
    explicit LanClient(LanClientSettings settings = {});
    ~LanClient();
    LanClient(const LanClient&) = delete;
    LanClient& operator=(const LanClient&) = delete;

    const LanClientSettings& Settings() const { return settings_; }
    // Given, the waits for answers are spent in its slices (the window keeps running and a
    // cancel ends them).
    void SetWaits(const LinkWait* waits) { waits_ = waits; }

    bool Open();
    void Close();
    bool IsOpen() const { return socket_ != nullptr; }

    // Send to every broadcast or multicast target; true when at least one send went out.
    bool SendBroadcast(const uint8_t* bytes, size_t length);
    bool SendMulticast(const uint8_t* bytes, size_t length);
    bool SendBroadcast(const std::vector<uint8_t>& bytes) {
        return SendBroadcast(bytes.data(), bytes.size());
    }
    bool SendMulticast(const std::vector<uint8_t>& bytes) {
        return SendMulticast(bytes.data(), bytes.size());
    }

    // Waits up to waitMs for one datagram and reads at most 2 048 bytes of it.
    std::optional<QByteArray> WaitForDatagram(int waitMs);
    // Datagrams until waitMs pass without one (or the round's bounds are reached).
    std::vector<QByteArray> CollectDatagrams(int waitMs);

private:
    bool SendTo(const std::vector<QHostAddress>& targets, const uint8_t* bytes, size_t length);
    std::optional<QByteArray> TakePending();

    LanClientSettings settings_;
    const LinkWait* waits_ = nullptr;
    std::unique_ptr<QUdpSocket> socket_;
};
