#include "DirectBackend.h"

#include <algorithm>
#include <cstring>

bool DirectBackend::Open() {
    ++line_->opens;
    line_->hungUp = false;
    line_->received = 0;
    line_->unread.clear();
    return !line_->openFails;
}

void DirectBackend::Close() {
    ++line_->closes;
}

bool DirectBackend::WritePiece(const uint8_t* bytes, size_t length) {
    if (line_->hungUp)
        return false;
    size_t take = length;
    if (line_->hangUpAfterBytes >= 0 &&
        line_->received + static_cast<long>(length) >= line_->hangUpAfterBytes) {
        take = static_cast<size_t>(std::max<long>(0, line_->hangUpAfterBytes - line_->received));
        line_->hungUp = true;
    }
    line_->received += static_cast<long>(take);
    line_->pieces.emplace_back(reinterpret_cast<const char*>(bytes), take);
    const std::string reply =
        line_->printer.Receive(std::string_view(reinterpret_cast<const char*>(bytes), take));
    if (line_->hungUp)
        return take == length;
    line_->unread += reply;
    return true;
}

size_t DirectBackend::ReadDevice(uint8_t* buffer, size_t capacity) {
    const size_t n = std::min(capacity, line_->unread.size());
    std::memcpy(buffer, line_->unread.data(), n);
    line_->unread.erase(0, n);
    return n;
}

std::shared_ptr<DirectLine> ConnectDirect(PrinterLink& link, sim::VirtualPrinter& printer) {
    auto line = std::make_shared<DirectLine>(printer);
    for (int kind = 0; kind < kInterfaceKindCount; ++kind) {
        link.SetBackendFactory(static_cast<InterfaceKind>(kind), [line](PrinterLink&) {
            return std::make_unique<DirectBackend>(line);
        });
    }
    return line;
}
