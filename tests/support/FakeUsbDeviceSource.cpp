#include "FakeUsbDeviceSource.h"

#include "VirtualPrinter.h"

#include <algorithm>
#include <cstring>

namespace {

class PrinterConnection : public UsbConnection {
public:
    explicit PrinterConnection(sim::VirtualPrinter& printer) : printer_(printer) {}

    int BulkWrite(const uint8_t* bytes, size_t length, int) override {
        pending_ +=
            printer_.Receive(std::string_view(reinterpret_cast<const char*>(bytes), length));
        return static_cast<int>(length);
    }

    int BulkRead(uint8_t* buffer, size_t capacity, int) override {
        const size_t n = std::min(capacity, pending_.size());
        std::memcpy(buffer, pending_.data(), n);
        pending_.erase(0, n);
        return static_cast<int>(n);
    }

private:
    sim::VirtualPrinter& printer_;
    std::string pending_;
};

} // namespace

std::vector<UsbDeviceEntry> FakeUsbDeviceSource::Enumerate() {
    std::vector<UsbDeviceEntry> entries;
    for (const Device& device : devices_)
        entries.push_back(device.entry);
    return entries;
}

std::unique_ptr<UsbConnection> FakeUsbDeviceSource::Open(const std::string& path) {
    for (const Device& device : devices_) {
        if (device.entry.path != path)
            continue;
        opened.push_back(path);
        if (!device.printer)
            return nullptr;
        return std::make_unique<PrinterConnection>(*device.printer);
    }
    return nullptr;
}
