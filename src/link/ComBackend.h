#pragma once

#include "link/LinkBackend.h"
#include "link/LinkSettings.h"
#include "link/LinkTimeouts.h"

#include <memory>

class LinkWait;
class QSerialPort;

// A serial port, set up from the serial settings at every open.
class ComBackend : public LinkBackend {
public:
    ComBackend(const ComSettings& settings, const LinkTimeouts& timeouts, const LinkWait& wait);
    ~ComBackend() override;

    bool Open() override;
    void Close() override;
    bool WritePiece(const uint8_t* bytes, size_t length) override;
    size_t ReadDevice(uint8_t* buffer, size_t capacity) override;
    intptr_t Handle() const override;

private:
    void ApplySettings();

    const ComSettings& settings_;
    const LinkTimeouts& timeouts_;
    const LinkWait& wait_;
    std::unique_ptr<QSerialPort> port_;
};
