#pragma once

#include "link/LinkBackend.h"
#include "link/LinkSettings.h"
#include "link/LinkTimeouts.h"
#include "link/StreamSocket.h"

class LinkWait;

// TCP to the printer's address and port. A piece costs one send when the kernel can take
// it, a read one recv when bytes are there; only otherwise does a call wait, for at most one
// stream wait, spent in the link's slices.
class EthernetBackend : public LinkBackend {
public:
    EthernetBackend(const NetSettings& settings, const LinkTimeouts& timeouts,
                    const LinkWait& wait);
    ~EthernetBackend() override;

    bool Open() override;
    void Close() override;
    bool WritePiece(const uint8_t* bytes, size_t length) override;
    size_t ReadDevice(uint8_t* buffer, size_t capacity) override;
    bool IsConnected() const override;

private:
    const NetSettings& settings_;
    const LinkTimeouts& timeouts_;
    const LinkWait& wait_;
    StreamSocket socket_;
    // False once the peer closed the connection or the socket reported an error.
    bool connected_ = false;
};
