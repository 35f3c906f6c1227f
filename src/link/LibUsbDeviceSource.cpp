#include "link/LibUsbDeviceSource.h"

#include "link/PrinterLink.h"

#include <libusb.h>

#include <string>

namespace {

constexpr uint8_t kPrinterClass = 7;

std::string LocationOf(libusb_device* device) {
    uint8_t ports[8];
    const int depth = libusb_get_port_numbers(device, ports, sizeof ports);
    std::string location = std::to_string(libusb_get_bus_number(device));
    for (int i = 0; i < depth; ++i)
        location += (i == 0 ? "-" : ".") + std::to_string(ports[i]);
    if (depth <= 0)
        location += "-" + std::to_string(libusb_get_device_address(device));
    return location;
}

std::string PathOf(libusb_device* device) {
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(device, &descriptor) != 0)
        return {};
    return MakeUsbDevicePath(descriptor.idVendor, descriptor.idProduct, LocationOf(device));
}

// Only devices of the two vendors are opened for their names: opening the others would
// slow the list down on a busy bus and trip over devices this user may not open.
bool OfSupportedVendor(const std::string& path) {
    return UsbPathMatchesVendor(path, kPrimaryUsbVendorId) ||
           UsbPathMatchesVendor(path, kSecondaryUsbVendorId);
}

// libusb waits without end for a time-out of 0; every wait here is bounded.
unsigned BoundedTimeout(int timeoutMs) {
    return static_cast<unsigned>(timeoutMs > 0 ? timeoutMs : 1);
}

std::string ProductName(libusb_device* device) {
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(device, &descriptor) != 0 || descriptor.iProduct == 0)
        return {};
    libusb_device_handle* handle = nullptr;
    if (libusb_open(device, &handle) != 0)
        return {};
    unsigned char text[256] = {};
    const int length =
        libusb_get_string_descriptor_ascii(handle, descriptor.iProduct, text, sizeof text - 1);
    libusb_close(handle);
    return length > 0 ? std::string(reinterpret_cast<char*>(text), static_cast<size_t>(length))
                      : std::string();
}

struct PrinterInterface {
    int number = -1;
    uint8_t outEndpoint = 0;
    uint8_t inEndpoint = 0;
};

// The printer-class interface with its bulk endpoints; failing that, the first
// interface that has a bulk OUT endpoint.
PrinterInterface FindPrinterInterface(libusb_device* device) {
    PrinterInterface fallback;
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) != 0 &&
        libusb_get_config_descriptor(device, 0, &config) != 0)
        return fallback;
    PrinterInterface found;
    for (int i = 0; i < config->bNumInterfaces && found.number < 0; ++i) {
        const libusb_interface& interface = config->interface[i];
        for (int a = 0; a < interface.num_altsetting && found.number < 0; ++a) {
            const libusb_interface_descriptor& setting = interface.altsetting[a];
            PrinterInterface candidate;
            candidate.number = setting.bInterfaceNumber;
            for (int e = 0; e < setting.bNumEndpoints; ++e) {
                const libusb_endpoint_descriptor& endpoint = setting.endpoint[e];
                if ((endpoint.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) !=
                    LIBUSB_TRANSFER_TYPE_BULK)
                    continue;
                if (endpoint.bEndpointAddress & LIBUSB_ENDPOINT_IN)
                    candidate.inEndpoint = endpoint.bEndpointAddress;
                else
                    candidate.outEndpoint = endpoint.bEndpointAddress;
            }
            if (candidate.outEndpoint == 0)
                continue;
            if (setting.bInterfaceClass == kPrinterClass)
                found = candidate;
            else if (fallback.number < 0)
                fallback = candidate;
        }
    }
    libusb_free_config_descriptor(config);
    return found.number >= 0 ? found : fallback;
}

class LibUsbConnection : public UsbConnection {
public:
    LibUsbConnection(libusb_device_handle* handle, PrinterInterface interface)
        : handle_(handle), interface_(interface) {}
    ~LibUsbConnection() override {
        libusb_release_interface(handle_, interface_.number);
        libusb_close(handle_);
    }

    int BulkWrite(const uint8_t* bytes, size_t length, int timeoutMs) override {
        int transferred = 0;
        const int result =
            libusb_bulk_transfer(handle_, interface_.outEndpoint, const_cast<uint8_t*>(bytes),
                                 static_cast<int>(length), &transferred, BoundedTimeout(timeoutMs));
        if (result == LIBUSB_ERROR_PIPE)
            libusb_clear_halt(handle_, interface_.outEndpoint);
        if (result != 0 && result != LIBUSB_ERROR_TIMEOUT)
            return -1;
        return transferred;
    }

    int BulkRead(uint8_t* buffer, size_t capacity, int timeoutMs) override {
        if (interface_.inEndpoint == 0)
            return -1;
        int transferred = 0;
        const int result =
            libusb_bulk_transfer(handle_, interface_.inEndpoint, buffer, static_cast<int>(capacity),
                                 &transferred, BoundedTimeout(timeoutMs));
        // A stalled endpoint stays halted until cleared; the next operation finds it usable.
        if (result == LIBUSB_ERROR_PIPE)
            libusb_clear_halt(handle_, interface_.inEndpoint);
        if (result != 0 && result != LIBUSB_ERROR_TIMEOUT)
            return -1;
        return transferred;
    }

private:
    libusb_device_handle* handle_;
    PrinterInterface interface_;
};

} // namespace

LibUsbDeviceSource::LibUsbDeviceSource() {
    if (libusb_init(&context_) != 0)
        context_ = nullptr;
}

LibUsbDeviceSource::~LibUsbDeviceSource() {
    if (context_)
        libusb_exit(context_);
}

std::vector<UsbDeviceEntry> LibUsbDeviceSource::Enumerate() {
    std::vector<UsbDeviceEntry> entries;
    if (!context_)
        return entries;
    libusb_device** devices = nullptr;
    const ssize_t count = libusb_get_device_list(context_, &devices);
    for (ssize_t i = 0; i < count; ++i) {
        UsbDeviceEntry entry;
        entry.path = PathOf(devices[i]);
        if (entry.path.empty())
            continue;
        if (OfSupportedVendor(entry.path))
            entry.displayName = ProductName(devices[i]);
        if (entry.displayName.empty())
            entry.displayName = entry.path.substr(0, 256);
        entries.push_back(std::move(entry));
    }
    if (count >= 0)
        libusb_free_device_list(devices, 1);
    return entries;
}

std::unique_ptr<UsbConnection> LibUsbDeviceSource::Open(const std::string& path) {
    if (!context_)
        return nullptr;
    libusb_device** devices = nullptr;
    const ssize_t count = libusb_get_device_list(context_, &devices);
    std::unique_ptr<UsbConnection> connection;
    for (ssize_t i = 0; i < count && !connection; ++i) {
        if (PathOf(devices[i]) != path)
            continue;
        const PrinterInterface interface = FindPrinterInterface(devices[i]);
        if (interface.number < 0)
            break;
        libusb_device_handle* handle = nullptr;
        if (libusb_open(devices[i], &handle) != 0)
            break;
        // Hand the interface back to the kernel's printer driver when it is released.
        libusb_set_auto_detach_kernel_driver(handle, 1);
        if (libusb_claim_interface(handle, interface.number) != 0) {
            libusb_close(handle);
            break;
        }
        connection = std::make_unique<LibUsbConnection>(handle, interface);
    }
    if (count >= 0)
        libusb_free_device_list(devices, 1);
    return connection;
}
