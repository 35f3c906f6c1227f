#pragma once

#include "link/LinkBackend.h"

#include <memory>

class PrinterLink;
class UsbConnection;

// The printer on USB, found by vendor ID in the device list of the link.
class UsbBackend : public LinkBackend {
public:
    explicit UsbBackend(PrinterLink& link);
    ~UsbBackend() override;

    bool Open() override;
    void Close() override;
    bool WritePiece(const uint8_t* bytes, size_t length) override;
    size_t ReadDevice(uint8_t* buffer, size_t capacity) override;

private:
    PrinterLink& link_;
    std::unique_ptr<UsbConnection> connection_;
};
