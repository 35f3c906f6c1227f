#pragma once

#include "link/LinkBackend.h"

#include <memory>

// Wraps a real backend and fails once a number of bytes has gone through it: the piece
// that would pass the limit is refused, and from then on reads find nothing, as with a
// printer that was unplugged mid-operation.
class FailingBackend : public LinkBackend {
public:
    FailingBackend(std::unique_ptr<LinkBackend> inner, size_t bytesBeforeFailure)
        : inner_(std::move(inner)), budget_(bytesBeforeFailure) {}

    bool Open() override { return inner_->Open(); }
    void Close() override { inner_->Close(); }
    bool WritePiece(const uint8_t* bytes, size_t length) override {
        if (failed_ || length > budget_) {
            failed_ = true;
            return false;
        }
        budget_ -= length;
        return inner_->WritePiece(bytes, length);
    }
    size_t ReadDevice(uint8_t* buffer, size_t capacity) override {
        return failed_ ? 0 : inner_->ReadDevice(buffer, capacity);
    }
    bool IsConnected() const override { return !failed_ && inner_->IsConnected(); }
    intptr_t Handle() const override { return inner_->Handle(); }

private:
    std::unique_ptr<LinkBackend> inner_;
    size_t budget_;
    bool failed_ = false;
};
