#include "link/UsbBackend.h"

#include "link/PrinterLink.h"

UsbBackend::UsbBackend(PrinterLink& link) : link_(link) {}

UsbBackend::~UsbBackend() {
    Close();
}

bool UsbBackend::Open() {
    UsbDeviceSource* source = link_.UsbSource();
    if (!source)
        return false;
    std::string path = link_.FindUsbDevice(kPrimaryUsbVendorId);
    if (path.empty())
        path = link_.FindUsbDevice(kSecondaryUsbVendorId);
    if (path.empty())
        return false;
    connection_ = source->Open(path);
    return connection_ != nullptr;
}

void UsbBackend::Close() {
    connection_.reset();
}

bool UsbBackend::WritePiece(const uint8_t* bytes, size_t length) {
    if (!connection_)
        return false;
    if (length == 0)
        return true;
    const int wrote = connection_->BulkWrite(bytes, length, link_.Timeouts().usbWriteMs);
    return wrote == static_cast<int>(length);
}

size_t UsbBackend::ReadDevice(uint8_t* buffer, size_t capacity) {
    if (!connection_)
        return 0;
    const int got = connection_->BulkRead(buffer, capacity, link_.Timeouts().usbReadMs);
    return got > 0 ? static_cast<size_t>(got) : 0;
}
