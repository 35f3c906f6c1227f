#pragma once

#include "link/LinkBackend.h"
#include "link/LinkSettings.h"
#include "link/LinkTimeouts.h"

#include <memory>

class QTcpSocket;

// TCP to the printer's address and port. The connection lives from Open to Close.
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
    const NetSettings& settings_;
    const LinkTimeouts& timeouts_;
    std::unique_ptr<QTcpSocket> socket_;
};
