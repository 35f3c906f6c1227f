#include "link/PrinterLink.h"

#include "link/ComBackend.h"
#include "link/EthernetBackend.h"
#include "link/LibUsbDeviceSource.h"
#include "link/LptBackend.h"
#include "link/ProgressWindow.h"
#include "link/UsbBackend.h"

#include <algorithm>

namespace {

const LinkKindTraits kTraits[kInterfaceKindCount] = {
    {"USB", 64, 64, false, false},
    {"COM", 64, 1, false, false},
    {"LPT", 0, 0, false, false},
    {"ETHERNET", 512, 4096, true, true},
};

} // namespace

const LinkKindTraits& TraitsOf(InterfaceKind kind) {
    return kTraits[kind];
}

PrinterLink::PrinterLink() {
    factories_[InterfaceUsb] = [](PrinterLink& link) { return std::make_unique<UsbBackend>(link); };
    factories_[InterfaceCom] = [](PrinterLink& link) -> std::unique_ptr<LinkBackend> {
        if (!link.Settings().com)
            return nullptr;
        return std::make_unique<ComBackend>(*link.Settings().com, link.Timeouts(), link.Waits());
    };
    factories_[InterfaceLpt] = [](PrinterLink& link) -> std::unique_ptr<LinkBackend> {
        if (!link.Settings().lpt)
            return nullptr;
        return std::make_unique<LptBackend>(*link.Settings().lpt, link.Timeouts(), link.Waits());
    };
    factories_[InterfaceEthernet] = [](PrinterLink& link) -> std::unique_ptr<LinkBackend> {
        if (!link.Settings().net)
            return nullptr;
        return std::make_unique<EthernetBackend>(*link.Settings().net, link.Timeouts(),
                                                 link.Waits());
    };
}

UsbDeviceSource* PrinterLink::UsbSource() const {
    if (!usbSourceChosen_) {
        usbSource_ = std::make_unique<LibUsbDeviceSource>();
        usbSourceChosen_ = true;
    }
    return usbSource_.get();
}

PrinterLink::~PrinterLink() {
    for (auto& backend : open_) {
        if (backend)
            backend->Close();
    }
}

void PrinterLink::SetUsbDeviceSource(std::unique_ptr<UsbDeviceSource> source) {
    usbSource_ = std::move(source);
    usbSourceChosen_ = true;
}

void PrinterLink::SetBackendFactory(InterfaceKind kind, BackendFactory factory) {
    if (ValidKind(kind))
        factories_[kind] = std::move(factory);
}

bool PrinterLink::ValidKind(InterfaceKind kind) const {
    return kind >= 0 && kind < kInterfaceKindCount;
}

std::string PrinterLink::FindUsbDevice(const std::string& vendorId) {
    usbDevices_.clear();
    if (UsbDeviceSource* source = UsbSource()) {
        usbDevices_ = source->Enumerate();
        // The list holds 256 devices; the ones enumerated after that are not considered.
        if (usbDevices_.size() > kMaxUsbDevices)
            usbDevices_.resize(kMaxUsbDevices);
    }
    for (const UsbDeviceEntry& entry : usbDevices_) {
        if (UsbPathMatchesVendor(entry.path, vendorId))
            return entry.path;
    }
    return {};
}

LinkHandle PrinterLink::OpenLink(InterfaceKind kind) {
    if (!ValidKind(kind))
        return kInvalidLinkHandle;
    if (open_[kind]) {
        open_[kind]->Close();
        open_[kind].reset();
    }
    // A cancelled operation opens nothing more.
    if (waits_.Cancelled())
        return kInvalidLinkHandle;
    std::unique_ptr<LinkBackend> backend = factories_[kind] ? factories_[kind](*this) : nullptr;
    if (!backend || !backend->Open())
        return kInvalidLinkHandle;
    rings_[kind].Clear();
    open_[kind] = std::move(backend);
    return open_[kind]->Handle();
}

void PrinterLink::CloseLink(InterfaceKind kind, LinkHandle) {
    if (!ValidKind(kind) || !open_[kind])
        return;
    open_[kind]->Close();
    open_[kind].reset();
}

void PrinterLink::Report(int kind, int value) {
    if (progress_)
        progress_->ReportProgress(kind, value);
}

bool PrinterLink::WriteBlock(LinkHandle, InterfaceKind kind, const uint8_t* bytes,
                             uint32_t length) {
    if (!ValidKind(kind))
        return false;
    Report(0, 0);
    LinkBackend* backend = open_[kind].get();
    const LinkKindTraits& traits = TraitsOf(kind);

    if (traits.writePiece == 0) {
        if (!backend || waits_.Cancelled() || !backend->WritePiece(bytes, length))
            return false;
        Report(1, 100);
        waits_.LetWindowRun();
        return true;
    }

    uint32_t remaining = length;
    while (remaining > 0) {
        if (!backend || waits_.Cancelled())
            return false;
        if (traits.checksConnection && !backend->IsConnected())
            return false;
        const uint32_t piece = std::min<uint32_t>(remaining, traits.writePiece);
        if (!backend->WritePiece(bytes + (length - remaining), piece))
            return false;
        remaining -= piece;
        Report(1, static_cast<int>(static_cast<uint64_t>(length - remaining) * 100u / length));
        waits_.LetWindowRun();
    }
    if (traits.reportsFinalHundred)
        Report(1, 100);
    return true;
}

bool PrinterLink::TakeByte(InterfaceKind kind, uint8_t& byte) {
    ReceiveRing& ring = rings_[kind];
    if (ring.Empty()) {
        LinkBackend* backend = open_[kind].get();
        const size_t capacity = TraitsOf(kind).deviceRead;
        if (!backend || capacity == 0 || waits_.Cancelled())
            return false;
        uint8_t chunk[4096];
        const size_t got = backend->ReadDevice(chunk, std::min(capacity, sizeof chunk));
        ring.Append(chunk, got);
    }
    return ring.Take(byte);
}

bool PrinterLink::ReadBytes(LinkHandle, InterfaceKind kind, uint8_t* buffer, int count) {
    if (!ValidKind(kind) || TraitsOf(kind).deviceRead == 0)
        return false;
    for (int i = 0; i < count; ++i) {
        if (!TakeByte(kind, buffer[i]))
            return false;
    }
    return true;
}

bool PrinterLink::ReadByte(LinkHandle handle, InterfaceKind kind, uint8_t* byte) {
    return ReadBytes(handle, kind, byte, 1);
}
