#pragma once

#include "link/LinkBackend.h"
#include "link/LinkSettings.h"
#include "link/LinkTimeouts.h"

#include <QFile>

// A parallel port: written in one call, never read.
class LinkWait;

class LptBackend : public LinkBackend {
public:
    LptBackend(const LptPortName& name, const LinkTimeouts& timeouts, const LinkWait& wait);
    ~LptBackend() override;

    bool Open() override;
    void Close() override;
    bool WritePiece(const uint8_t* bytes, size_t length) override;
    size_t ReadDevice(uint8_t*, size_t) override { return 0; }
    intptr_t Handle() const override;

private:
    const LptPortName& name_;
    const LinkTimeouts& timeouts_;
    const LinkWait& wait_;
    QFile file_;
};
