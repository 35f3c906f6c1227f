#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace sim {
class VirtualPrinter;
}

// USB devices emulated below libusb: a umockdev test bed holds their sysfs entries and
// descriptors, and answers the usbdevfs requests on their device nodes (interface claim
// and release, the kernel driver, URBs submitted, reaped and discarded). A device may have
// a virtual printer behind its bulk endpoints. The process must run with
// libumockdev-preload.so.0 loaded (see tests/link/CMakeLists.txt); Active() says whether
// it does.
//
// Create the bus and its devices before the PrinterLink whose libusb context should see
// them: libusb lists the devices present when it starts.
class EmulatedUsbBus {
public:
    struct Device {
        std::string name; // sysfs name and bus position, e.g. "1-3"
        int address = 0;  // device number on bus 1
        uint16_t vendorId = 0;
        uint16_t productId = 0;
        std::string product; // the product string; empty: none
        bool printer = true; // a printer-class interface; else a vendor-specific one
        // The device node has no permissions for anyone: only a process that may override
        // file permissions (root, unless DropFileAccessOverride) opens it.
        bool denied = false;
        sim::VirtualPrinter* peer = nullptr; // answers the bulk OUT data through bulk IN
    };

    // What goes wrong at the USB level (changed with SetFaults while nothing runs).
    struct Faults {
        int vanishAtOutPiece = -1;       // the device is gone from this bulk OUT (0-based) on
        bool vanishWhileReading = false; // gone while a bulk IN waits for data
        bool outNeverCompletes = false;  // bulk OUT pieces are taken but never finished
        bool stallIn = false;            // the bulk IN endpoint answers with a stall
        bool stallOut = false;           // the bulk OUT endpoint answers with a stall
    };

    // What the device side saw, in order.
    struct Trace {
        std::vector<int> outPieces; // bulk OUT lengths
        std::vector<int> inReads;   // bulk IN lengths asked for
        std::string outBytes;       // every byte the bulk OUT pieces carried
        int opens = 0;              // device node opened
        int productReads = 0;       // product string descriptors asked for
        int discarded = 0;          // URBs cancelled
        int clearedHalts = 0;
        bool claimed = false;     // the printer interface is claimed now
        bool driverBound = true;  // the kernel's printer driver holds the interface now
        int claimsWhileBound = 0; // claims refused because the driver held the interface
    };

    static constexpr uint8_t kBulkOut = 0x01;
    static constexpr uint8_t kBulkIn = 0x82;
    static constexpr int kMaxPacket = 64;

    EmulatedUsbBus();
    ~EmulatedUsbBus();
    EmulatedUsbBus(const EmulatedUsbBus&) = delete;
    EmulatedUsbBus& operator=(const EmulatedUsbBus&) = delete;

    // True when the preload library redirects this process to the test bed.
    static bool Active();

    void Add(const Device& device);
    void SetFaults(const std::string& name, const Faults& faults);
    Trace TraceOf(const std::string& name) const;

    // Device paths as the link lists them, e.g. "usb#vid_1fc8&pid_0001#1-3".
    static std::string PathOf(const Device& device);

    // Takes away the file-permission override that root has, on this thread, so that a
    // denied device node fails to open as it does for an ordinary user; false gives it back.
    static void DropFileAccessOverride(bool drop);

    struct Emulation;

private:
    std::unique_ptr<Emulation> emulation_;
};
