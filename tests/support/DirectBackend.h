#pragma once

#include "link/LinkBackend.h"
#include "link/LinkSettings.h"
#include "link/PrinterLink.h"
#include "VirtualPrinter.h"

#include <memory>
#include <string>
#include <vector>

// What a direct link to an in-process printer saw; shared with the test, since the link
// destroys the backend at every close.
struct DirectLine {
    explicit DirectLine(sim::VirtualPrinter& p) : printer(p) {}

    sim::VirtualPrinter& printer;
    bool openFails = false;
    // The printer hangs up once it has received this many bytes; negative: never.
    long hangUpAfterBytes = -1;
    long received = 0;
    bool hungUp = false;
    std::string unread;
    // Every piece the link wrote, in order.
    std::vector<std::string> pieces;
    int opens = 0;
    int closes = 0;
};

// A link backend that hands every piece straight to the printer and reads its answers
// back without waiting: a printer that does not answer times out at once.
class DirectBackend : public LinkBackend {
public:
    explicit DirectBackend(std::shared_ptr<DirectLine> line) : line_(std::move(line)) {}

    bool Open() override;
    void Close() override;
    bool WritePiece(const uint8_t* bytes, size_t length) override;
    size_t ReadDevice(uint8_t* buffer, size_t capacity) override;
    bool IsConnected() const override { return !line_->hungUp; }

private:
    std::shared_ptr<DirectLine> line_;
};

// Routes every link kind of link to the printer through one DirectLine.
std::shared_ptr<DirectLine> ConnectDirect(PrinterLink& link, sim::VirtualPrinter& printer);
