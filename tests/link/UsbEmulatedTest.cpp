// The USB link through real libusb-1.0 against devices emulated at the kernel interface.
#include "config/PrinterConfig.h"
#include "dispatch/Dispatch.h"
#include "EmulatedUsbBus.h"
#include "link/PrinterLink.h"
#include "operations/OperationCode.h"
#include "operations/PrinterStatus.h"
#include "SimPeer.h"
#include "StandardPrinter.h"
#include "VirtualPrinter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iterator>
#include <map>
#include <thread>

namespace {

constexpr int kShortWaitMs = 200;

// Open file descriptors of this process: the device node's is gone once the link closed.
long OpenDescriptors() {
    const std::filesystem::directory_iterator fds("/proc/self/fd");
    return std::distance(std::filesystem::begin(fds), std::filesystem::end(fds));
}

class EmulatedUsb : public ::testing::Test {
protected:
    EmulatedUsb() {
        sim::InstallStandardModules(printer);
        primary = {"1-3", 4, 0x1fc8, 0x0001, "Label Printer", true, false, &printer};
        secondary = {"1-2", 3, 0x2e9b, 0x0002, "Second Printer", true, false, &printer};
        unrelated = {"1-1", 2, 0x0bda, 0x5411, "Card Reader", false, false, nullptr};
    }

    void SetUp() override {
        ASSERT_TRUE(EmulatedUsbBus::Active())
            << "run with libumockdev-preload.so.0 in LD_PRELOAD (ctest sets it)";
    }

    // Starts libusb on the devices added so far.
    void Connect() {
        link = std::make_unique<PrinterLink>();
        LinkTimeouts& t = link->Timeouts();
        t.usbReadMs = t.usbWriteMs = kShortWaitMs;
        t.listFramePauseMs = 1;
    }

    std::map<std::string, std::string> NamesByPath() const {
        std::map<std::string, std::string> names;
        for (const UsbDeviceEntry& entry : link->UsbDeviceList())
            names[entry.path] = entry.displayName;
        return names;
    }

    // The device node's descriptor is closed (other threads may hold one of their own for a
    // moment, so the count is given a short time to settle).
    static void ExpectClosedAgain(long descriptors) {
        EXPECT_TRUE(WaitUntil([&] { return OpenDescriptors() == descriptors; },
                              std::chrono::milliseconds(1000)))
            << OpenDescriptors() << " descriptors open, " << descriptors << " before";
    }

    // After an operation the interface is released and the kernel's driver has it back.
    void ExpectGivenBack(const EmulatedUsbBus::Device& device) {
        const EmulatedUsbBus::Trace trace = bus.TraceOf(device.name);
        EXPECT_FALSE(trace.claimed);
        EXPECT_TRUE(trace.driverBound);
    }

    sim::VirtualPrinter printer;
    EmulatedUsbBus bus;
    EmulatedUsbBus::Device primary, secondary, unrelated;
    std::unique_ptr<PrinterLink> link;
};

TEST_F(EmulatedUsb, ListsEveryDeviceAndReadsNamesOnlyOfThePrinterVendors) {
    EmulatedUsbBus::Device another = primary;
    another.name = "1-4";
    another.address = 5;
    another.product = "Other Label Printer";
    another.peer = nullptr;
    for (const auto& device : {unrelated, secondary, primary, another})
        bus.Add(device);
    Connect();

    const std::string found = link->FindUsbDevice("1fc8");
    const std::map<std::string, std::string> names = NamesByPath();
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names.at(EmulatedUsbBus::PathOf(primary)), "Label Printer");
    EXPECT_EQ(names.at(EmulatedUsbBus::PathOf(another)), "Other Label Printer");
    EXPECT_EQ(names.at(EmulatedUsbBus::PathOf(secondary)), "Second Printer");
    // The unrelated device is never opened: it is listed under its path.
    EXPECT_EQ(names.at(EmulatedUsbBus::PathOf(unrelated)), EmulatedUsbBus::PathOf(unrelated));
    EXPECT_EQ(bus.TraceOf(unrelated.name).opens, 0);

    // The first device of the first vendor in the order libusb lists them.
    std::string first;
    for (const UsbDeviceEntry& entry : link->UsbDeviceList()) {
        if (first.empty() && UsbPathMatchesVendor(entry.path, "1fc8"))
            first = entry.path;
    }
    EXPECT_EQ(found, first);
    EXPECT_EQ(link->FindUsbDevice("2e9b"), EmulatedUsbBus::PathOf(secondary));
    EXPECT_EQ(link->FindUsbDevice("abcd"), "");
}

TEST_F(EmulatedUsb, TheSecondVendorIsOpenedOnlyWithoutADeviceOfTheFirst) {
    bus.Add(unrelated);
    bus.Add(secondary);
    Connect();
    const long descriptors = OpenDescriptors();
    const LinkHandle handle = link->OpenLink(InterfaceUsb);
    ASSERT_NE(handle, kInvalidLinkHandle);
    EXPECT_TRUE(bus.TraceOf(secondary.name).claimed);
    link->CloseLink(InterfaceUsb, handle);
    ExpectClosedAgain(descriptors);
    ExpectGivenBack(secondary);
}

TEST_F(EmulatedUsb, ADeviceThatMayNotBeOpenedIsListedUnderItsPath) {
    EmulatedUsbBus::Device denied = primary;
    denied.name = "1-5";
    denied.address = 6;
    denied.product = "Locked Printer";
    denied.denied = true;
    denied.peer = nullptr;
    bus.Add(denied);
    bus.Add(secondary);
    Connect();

    // As root the file permissions would not apply; the list is read as a user would.
    EmulatedUsbBus::DropFileAccessOverride(true);
    const std::string found = link->FindUsbDevice("2e9b");
    EmulatedUsbBus::DropFileAccessOverride(false);

    EXPECT_EQ(found, EmulatedUsbBus::PathOf(secondary));
    const std::map<std::string, std::string> names = NamesByPath();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names.at(EmulatedUsbBus::PathOf(denied)), EmulatedUsbBus::PathOf(denied));
    EXPECT_EQ(bus.TraceOf(denied.name).productReads, 0);
    EXPECT_EQ(names.at(EmulatedUsbBus::PathOf(secondary)), "Second Printer");
}

TEST_F(EmulatedUsb, QueriesStatusAndReadsTheConfigurationOverBulkEndpoints) {
    bus.Add(unrelated);
    bus.Add(primary);
    Connect();

    // While the link is open the interface is claimed, the kernel's driver detached.
    int piecesWhileHeld = 0;
    link->SetProcessEventsHook([&] {
        const EmulatedUsbBus::Trace trace = bus.TraceOf(primary.name);
        piecesWhileHeld += trace.claimed && !trace.driverBound;
    });

    const long descriptors = OpenDescriptors();
    printer.statusByte = 0x05;
    printer.extendedStatus[4] = 0x04;
    PrinterStatus status{};
    ASSERT_EQ(Dispatch(*link, OpQueryStatus, InterfaceUsb, &status), LinkOk);
    EXPECT_EQ(status.flags[StatusHeadOpen], 1);
    EXPECT_EQ(status.flags[StatusOutOfPaper], 1);
    EXPECT_EQ(status.flags[StatusOutOfRibbon], 1);
    EXPECT_EQ(piecesWhileHeld, 2);
    ExpectClosedAgain(descriptors);
    ExpectGivenBack(primary);

    PrinterConfig config = DefaultPrinterConfig();
    ASSERT_EQ(Dispatch(*link, OpReadConfiguration, InterfaceUsb, &config), LinkOk);
    EXPECT_EQ(config.ResolutionValid, 1);
    EXPECT_FLOAT_EQ(config.Dpi, 203.0f);
    ExpectClosedAgain(descriptors);
    ExpectGivenBack(primary);

    // A long block goes in 64-byte pieces.
    const LinkHandle handle = link->OpenLink(InterfaceUsb);
    ASSERT_NE(handle, kInvalidLinkHandle);
    const std::string blankLines(130, '\n');
    ASSERT_TRUE(link->WriteBlock(handle, InterfaceUsb,
                                 reinterpret_cast<const uint8_t*>(blankLines.data()), 130));
    link->CloseLink(InterfaceUsb, handle);
    ExpectClosedAgain(descriptors);

    const EmulatedUsbBus::Trace trace = bus.TraceOf(primary.name);
    EXPECT_EQ(trace.claimsWhileBound, 0);
    EXPECT_EQ(trace.outBytes, printer.Received());
    // The status query's two commands, ESC ! ? and ESC ! S CR LF.
    EXPECT_EQ(std::vector<int>(trace.outPieces.begin(), trace.outPieces.begin() + 2),
              (std::vector<int>{3, 5}));
    ASSERT_GE(trace.outPieces.size(), 3u);
    EXPECT_EQ(std::vector<int>(trace.outPieces.end() - 3, trace.outPieces.end()),
              (std::vector<int>{64, 64, 2}));
    EXPECT_TRUE(std::all_of(trace.outPieces.begin(), trace.outPieces.end(),
                            [](int n) { return n > 0 && n <= 64; }));
    // Each device read asks for one 64-byte packet.
    EXPECT_FALSE(trace.inReads.empty());
    EXPECT_TRUE(
        std::all_of(trace.inReads.begin(), trace.inReads.end(), [](int n) { return n == 64; }));
    ExpectGivenBack(primary);
}

TEST_F(EmulatedUsb, ACancelEndsAReadOfTheProductsLengthWithTheLinkClosed) {
    primary.peer = nullptr;
    bus.Add(primary);
    Connect();
    link->Timeouts().usbReadMs = 3000;
    const long descriptors = OpenDescriptors();
    std::thread canceller([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        link->Waits().Cancel();
    });
    PrinterStatus status{};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Dispatch(*link, OpQueryStatus, InterfaceUsb, &status), LinkReceivingError);
    const auto took = std::chrono::steady_clock::now() - start;
    canceller.join();
    EXPECT_LT(took, std::chrono::milliseconds(2500));
    ExpectClosedAgain(descriptors);
    ExpectGivenBack(primary);
}

struct FaultCase {
    const char* name;
    uint32_t operation;
    EmulatedUsbBus::Faults faults;
    bool silent; // no printer behind the endpoints
    LinkError expected;
};

class EmulatedUsbFault : public EmulatedUsb, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(EmulatedUsbFault, GivesItsCodeWithTheLinkClosed) {
    const FaultCase& c = GetParam();
    if (c.silent)
        primary.peer = nullptr;
    bus.Add(primary);
    bus.SetFaults(primary.name, c.faults);
    Connect();

    PrinterStatus status{};
    PrinterConfig config = DefaultPrinterConfig();
    void* buffer = c.operation == OpQueryStatus ? static_cast<void*>(&status) : &config;
    const long descriptors = OpenDescriptors();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Dispatch(*link, c.operation, InterfaceUsb, buffer), c.expected);
    const auto took = std::chrono::steady_clock::now() - start;

    ExpectClosedAgain(descriptors);
    const EmulatedUsbBus::Trace trace = bus.TraceOf(primary.name);
    if (c.faults.outNeverCompletes || c.silent) {
        // The pending transfer was cancelled when its wait ran out.
        EXPECT_GE(trace.discarded, 1);
        EXPECT_GE(took, std::chrono::milliseconds(kShortWaitMs));
    }
    if (c.faults.stallIn || c.faults.stallOut) {
        EXPECT_GE(trace.clearedHalts, 1);
    }
    if (c.faults.vanishAtOutPiece < 0 && !c.faults.vanishWhileReading) {
        ExpectGivenBack(primary);
    }
}

EmulatedUsbBus::Faults VanishAt(int piece) {
    EmulatedUsbBus::Faults f;
    f.vanishAtOutPiece = piece;
    return f;
}
EmulatedUsbBus::Faults VanishReading() {
    EmulatedUsbBus::Faults f;
    f.vanishWhileReading = true;
    return f;
}
EmulatedUsbBus::Faults OutStuck() {
    EmulatedUsbBus::Faults f;
    f.outNeverCompletes = true;
    return f;
}
EmulatedUsbBus::Faults InStall() {
    EmulatedUsbBus::Faults f;
    f.stallIn = true;
    return f;
}
EmulatedUsbBus::Faults OutStall() {
    EmulatedUsbBus::Faults f;
    f.stallOut = true;
    return f;
}

INSTANTIATE_TEST_SUITE_P(
    UsbFaults, EmulatedUsbFault,
    ::testing::Values(
        FaultCase{"VanishesWhileWriting", OpReadConfiguration, VanishAt(3), false,
                  LinkTransmissionError},
        FaultCase{"VanishesWhileReading", OpQueryStatus, VanishReading(), false,
                  LinkReceivingError},
        FaultCase{"OutPieceNeverCompletes", OpQueryStatus, OutStuck(), false,
                  LinkTransmissionError},
        FaultCase{"InTimesOut", OpQueryStatus, {}, true, LinkReceivingError},
        FaultCase{"InStalls", OpReadConfiguration, InStall(), false, LinkReceivingError},
        FaultCase{"OutStalls", OpQueryStatus, OutStall(), false, LinkTransmissionError}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return info.param.name; });

} // namespace
