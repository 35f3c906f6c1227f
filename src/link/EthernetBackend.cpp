#include "link/EthernetBackend.h"

#include "link/FixedText.h"
#include "link/LinkWait.h"

#include <string>

EthernetBackend::EthernetBackend(const NetSettings& settings, const LinkTimeouts& timeouts,
                                 const LinkWait& wait)
    : settings_(settings), timeouts_(timeouts), wait_(wait) {}

EthernetBackend::~EthernetBackend() {
    Close();
}

bool EthernetBackend::Open() {
    const std::string address = FixedBytes(settings_.address);
    if (address.empty() || settings_.port <= 0 || settings_.port > 65535)
        return false;
    connected_ = socket_.Connect(address, settings_.port, timeouts_.netConnectMs, wait_);
    return connected_;
}

void EthernetBackend::Close() {
    socket_.Close();
    connected_ = false;
}

bool EthernetBackend::IsConnected() const {
    return socket_.IsOpen() && connected_;
}

bool EthernetBackend::WritePiece(const uint8_t* bytes, size_t length) {
    if (!IsConnected())
        return false;
    // Each wait is one offer of the rest of the piece; a stream that takes nothing within
    // the stream wait is offered it again, a bounded number of times.
    int offers = 0;
    size_t done = 0;
    while (done < length) {
        size_t sent = 0;
        switch (socket_.Send(bytes + done, length - done, sent)) {
        case StreamSocket::Io::Done:
            done += sent;
            continue;
        case StreamSocket::Io::WouldBlock:
            if (socket_.WaitWritable(timeouts_.netMs, wait_))
                continue;
            if (wait_.Cancelled() || ++offers >= timeouts_.netMaxOffers)
                return false;
            continue;
        case StreamSocket::Io::Closed:
            break;
        }
        connected_ = false;
        return false;
    }
    return true;
}

size_t EthernetBackend::ReadDevice(uint8_t* buffer, size_t capacity) {
    if (!socket_.IsOpen())
        return 0;
    for (bool waited = false;; waited = true) {
        size_t got = 0;
        switch (socket_.Receive(buffer, capacity, got)) {
        case StreamSocket::Io::Done:
            return got;
        case StreamSocket::Io::WouldBlock:
            // Nothing within the stream wait (or a cancel) ends the read.
            if (waited || !socket_.WaitReadable(timeouts_.netMs, wait_))
                return 0;
            continue;
        case StreamSocket::Io::Closed:
            connected_ = false;
            return 0;
        }
    }
}
