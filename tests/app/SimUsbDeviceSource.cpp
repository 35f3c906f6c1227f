#include "SimUsbDeviceSource.h"

#include "link/PrinterLink.h"
#include "VirtualPrinter.h"

#include <algorithm>
#include <cstring>

namespace {

class SimUsbConnection : public UsbConnection {
public:
    explicit SimUsbConnection(sim::VirtualPrinter& printer) : printer_(printer) {}

    int BulkWrite(const uint8_t* bytes, size_t length, int) override {
        pending_ +=
            printer_.Receive(std::string_view(reinterpret_cast<const char*>(bytes), length));
        return static_cast<int>(length);
    }

    // A printer with nothing to say times out at once.
    int BulkRead(uint8_t* buffer, size_t capacity, int) override {
        const size_t count = std::min(capacity, pending_.size());
        std::memcpy(buffer, pending_.data(), count);
        pending_.erase(0, count);
        return static_cast<int>(count);
    }

private:
    sim::VirtualPrinter& printer_;
    std::string pending_;
};

} // namespace

std::vector<UsbDeviceEntry> SimUsbDeviceSource::Enumerate() {
    if (!attached)
        return {};
    return {{MakeUsbDevicePath(0x1fc8, 0x0001, "1-1"), "Virtual label printer"}};
}

std::unique_ptr<UsbConnection> SimUsbDeviceSource::Open(const std::string&) {
    if (!attached)
        return nullptr;
    ++opens;
    return std::make_unique<SimUsbConnection>(printer_);
}
