#pragma once

#include "link/LinkBackend.h"
#include "link/LinkSettings.h"
#include "link/LinkTimeouts.h"
#include "link/LinkWait.h"
#include "link/ReceiveRing.h"
#include "link/UsbDeviceSource.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class ProgressWindow;

using LinkHandle = intptr_t;
constexpr LinkHandle kInvalidLinkHandle = -1;

// The two USB vendor IDs the transport looks for, first before second.
inline constexpr const char* kPrimaryUsbVendorId = "1fc8";
inline constexpr const char* kSecondaryUsbVendorId = "2e9b";

// What the transport fixes for each kind of link.
struct LinkKindTraits {
    const char* name;
    size_t writePiece;        // 0: the whole block in one write
    size_t deviceRead;        // most bytes one device read brings; 0: the link cannot be read
    bool checksConnection;    // a dropped connection fails the next piece
    bool reportsFinalHundred; // reports 100 once more after the last piece
};

const LinkKindTraits& TraitsOf(InterfaceKind kind);

// Moves bytes to and from the one printer. Holds what the transport keeps between calls:
// the receive rings, the USB device list and the open channel of each kind.
class PrinterLink {
public:
    static constexpr size_t kMaxUsbDevices = 256;

    using BackendFactory = std::function<std::unique_ptr<LinkBackend>(PrinterLink&)>;

    PrinterLink();
    ~PrinterLink();
    PrinterLink(const PrinterLink&) = delete;
    PrinterLink& operator=(const PrinterLink&) = delete;

    void SetLinkSettings(const LinkSettings& settings) { settings_ = settings; }
    const LinkSettings& Settings() const { return settings_; }

    LinkTimeouts& Timeouts() { return timeouts_; }
    const LinkTimeouts& Timeouts() const { return timeouts_; }

    // Hooks the application installs: the progress window and a call that lets
    // the window system process pending messages (between written pieces and between the
    // slices of every wait).
    void SetProgressWindow(ProgressWindow* progress) { progress_ = progress; }
    ProgressWindow* Progress() const { return progress_; }
    void SetProcessEventsHook(std::function<void()> hook) {
        waits_.SetBetweenSlices(std::move(hook));
    }

    // How the link waits, and where a wait is cancelled.
    LinkWait& Waits() { return waits_; }
    const LinkWait& Waits() const { return waits_; }

    void SetUsbDeviceSource(std::unique_ptr<UsbDeviceSource> source);
    // The USB library's context is made on first use: a link that never looks for a USB
    // printer costs the library nothing (it keeps a thread-local key per context).
    UsbDeviceSource* UsbSource() const;
    // Replaces how a kind's channel is made (tests put scripted backends here).
    void SetBackendFactory(InterfaceKind kind, BackendFactory factory);

    LinkHandle OpenLink(InterfaceKind kind);
    void CloseLink(InterfaceKind kind, LinkHandle handle);
    bool WriteBlock(LinkHandle handle, InterfaceKind kind, const uint8_t* bytes, uint32_t length);
    bool ReadByte(LinkHandle handle, InterfaceKind kind, uint8_t* byte);
    bool ReadBytes(LinkHandle handle, InterfaceKind kind, uint8_t* buffer, int count);

    // Rebuilds the USB device list and returns the path of the first device of the vendor,
    // or an empty text.
    std::string FindUsbDevice(const std::string& vendorId);
    const std::vector<UsbDeviceEntry>& UsbDeviceList() const { return usbDevices_; }

    const ReceiveRing& Ring(InterfaceKind kind) const { return rings_[kind]; }

private:
    bool ValidKind(InterfaceKind kind) const;
    bool TakeByte(InterfaceKind kind, uint8_t& byte);
    void Report(int kind, int value);

    LinkSettings settings_;
    LinkTimeouts timeouts_;
    ProgressWindow* progress_ = nullptr;
    LinkWait waits_;
    mutable std::unique_ptr<UsbDeviceSource> usbSource_;
    mutable bool usbSourceChosen_ = false;
    std::vector<UsbDeviceEntry> usbDevices_;
    std::array<BackendFactory, kInterfaceKindCount> factories_;
    std::array<std::unique_ptr<LinkBackend>, kInterfaceKindCount> open_;
    std::array<ReceiveRing, kInterfaceKindCount> rings_;
};
