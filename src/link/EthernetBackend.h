#pragma once

#include "link/LinkBackend.h"
#include "link/LinkSettings.h"
#include "link/LinkTimeouts.h"

// TCP to the printer's address and port over a plain socket: connected without blocking
// (bounded by the connect wait), then used with the stream wait as its send and receive
// time-out. A piece costs one send when the kernel can take it, a read one recv when bytes
// are there; only otherwise does a call wait, for at most one stream wait.
class EthernetBackend : public LinkBackend {
public:
    EthernetBackend(const NetSettings& settings, const LinkTimeouts& timeouts);
    ~EthernetBackend() override;

    bool Open() override;
    void Close() override;
    bool WritePiece(const uint8_t* bytes, size_t length) override;
    size_t ReadDevice(uint8_t* buffer, size_t capacity) override;
    bool IsConnected() const override;

private:
    bool Connect(const void* address, unsigned addressLength, int family);
    // Waits for the socket to become writable (connected); false on time-out or error.
    bool Wait(short events, int ms);

    const NetSettings& settings_;
    const LinkTimeouts& timeouts_;
    int fd_ = -1;
    // False once the peer closed the connection or the socket reported an error.
    bool connected_ = false;
};
