#pragma once

#include "link/UsbDeviceSource.h"

#include <string>
#include <vector>

namespace sim {
class VirtualPrinter;
}

// A USB bus made up by the test: listed devices, and a printer behind any of them that
// answers through an in-process virtual printer.
class FakeUsbDeviceSource : public UsbDeviceSource {
public:
    struct Device {
        UsbDeviceEntry entry;
        sim::VirtualPrinter* printer = nullptr; // null: the device cannot be opened
    };

    explicit FakeUsbDeviceSource(std::vector<Device> devices) : devices_(std::move(devices)) {}

    std::vector<UsbDeviceEntry> Enumerate() override;
    std::unique_ptr<UsbConnection> Open(const std::string& path) override;

    // Paths opened, in order.
    std::vector<std::string> opened;

private:
    std::vector<Device> devices_;
};
