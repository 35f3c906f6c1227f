#pragma once

#include "link/UsbDeviceSource.h"

namespace sim {
class VirtualPrinter;
}

// A USB bus with the virtual printer attached (or nothing, when `attached` is false): what
// the transport writes goes to the printer, what it answers comes back on the reads.
class SimUsbDeviceSource : public UsbDeviceSource {
public:
    explicit SimUsbDeviceSource(sim::VirtualPrinter& printer) : printer_(printer) {}

    std::vector<UsbDeviceEntry> Enumerate() override;
    std::unique_ptr<UsbConnection> Open(const std::string& path) override;

    bool attached = true;
    int opens = 0;

private:
    sim::VirtualPrinter& printer_;
};
