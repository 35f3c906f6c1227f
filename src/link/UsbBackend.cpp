#include "link/UsbBackend.h"

#include "link/LinkWait.h"
#include "link/PrinterLink.h"

#include <algorithm>

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
    bool failed = false;
    // The piece goes out in transfers of one slice each; what a slice took is not sent again.
    size_t done = 0;
    const LinkWait::Outcome outcome =
        link_.Waits().Until(link_.Timeouts().usbWriteMs, [&](int sliceMs) {
            const int wrote = connection_->BulkWrite(bytes + done, length - done, sliceMs);
            if (wrote < 0) {
                failed = true;
                return true;
            }
            done += static_cast<size_t>(wrote);
            return done >= length;
        });
    return outcome == LinkWait::Outcome::Ready && !failed;
}

size_t UsbBackend::ReadDevice(uint8_t* buffer, size_t capacity) {
    if (!connection_)
        return 0;
    int got = 0;
    link_.Waits().Until(link_.Timeouts().usbReadMs, [&](int sliceMs) {
        got = connection_->BulkRead(buffer, capacity, std::max(sliceMs, 1));
        return got != 0;
    });
    return got > 0 ? static_cast<size_t>(got) : 0;
}
