#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One present USB device as the transport lists it. The path carries the IDs as
// "vid_xxxx&pid_xxxx" (lower-case hexadecimal) and where the device sits on the bus.
struct UsbDeviceEntry {
    std::string path;
    std::string displayName;
};

// An opened printer interface: bulk OUT for commands, bulk IN for replies.
class UsbConnection {
public:
    virtual ~UsbConnection() = default;
    // Bytes accepted within the time-out (fewer than length when it ran out), or -1 on failure.
    virtual int BulkWrite(const uint8_t* bytes, size_t length, int timeoutMs) = 0;
    // Bytes received (0 when nothing came in the time-out), or -1 on failure.
    virtual int BulkRead(uint8_t* buffer, size_t capacity, int timeoutMs) = 0;
};

// Where USB devices come from: libusb in the product, a fake in tests.
class UsbDeviceSource {
public:
    virtual ~UsbDeviceSource() = default;
    virtual std::vector<UsbDeviceEntry> Enumerate() = 0;
    virtual std::unique_ptr<UsbConnection> Open(const std::string& path) = 0;
};

// Builds the path text for a device at a bus position, e.g. "usb#vid_1a2b&pid_0c3d#1-4.2".
std::string MakeUsbDevicePath(uint16_t vendorId, uint16_t productId, const std::string& location);

// The vendor-ID rule: the first lower-case "vid" in the path, one separator skipped,
// then the next four characters compared case-sensitively with vendorId.
bool UsbPathMatchesVendor(const std::string& path, const std::string& vendorId);
