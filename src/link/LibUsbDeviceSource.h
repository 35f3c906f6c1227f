#pragma once

#include "link/UsbDeviceSource.h"

struct libusb_context;

// The present USB devices through libusb-1.0. Every device is listed; only devices of
// the two printer vendors are opened to read their product names, the others are listed
// under their paths. Opening claims the printer-class interface; the kernel's printer
// driver is detached while it is held and given back when the connection closes. A
// stalled endpoint is cleared, so the next operation finds it usable.
class LibUsbDeviceSource : public UsbDeviceSource {
public:
    LibUsbDeviceSource();
    ~LibUsbDeviceSource() override;
    LibUsbDeviceSource(const LibUsbDeviceSource&) = delete;
    LibUsbDeviceSource& operator=(const LibUsbDeviceSource&) = delete;

    std::vector<UsbDeviceEntry> Enumerate() override;
    std::unique_ptr<UsbConnection> Open(const std::string& path) override;

private:
    libusb_context* context_ = nullptr;
};
