#include "link/PortNames.h"
#include "LoopbackLink.h"
#include "PtyServer.h"
#include "SimPeer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

const uint8_t kStatusQuery[] = {0x1B, '!', '?'};

TEST(EthernetLink, ExchangesBytesWithThePrinterOverLoopback) {
    SimPeer peer;
    peer.printer.statusByte = 0x42;
    const LinkHandle handle = peer.link.OpenLink(InterfaceEthernet);
    ASSERT_EQ(handle, 1);
    ASSERT_TRUE(peer.link.WriteBlock(handle, InterfaceEthernet, kStatusQuery, 3));
    uint8_t status = 0;
    ASSERT_TRUE(peer.link.ReadByte(handle, InterfaceEthernet, &status));
    EXPECT_EQ(status, 0x42);
    peer.link.CloseLink(InterfaceEthernet, handle);
    EXPECT_TRUE(WaitUntil([&] { return peer.printer.Received() == "\x1b!?"; }));
}

TEST(EthernetLink, RefusedConnectionEmptyAddressAndBadPortFailTheOpen) {
    SimPeer peer;
    peer.SetFaults([](sim::Faults& f) { f.refuse = true; });
    ASSERT_TRUE(WaitUntil([&] {
        const LinkHandle h = peer.link.OpenLink(InterfaceEthernet);
        peer.link.CloseLink(InterfaceEthernet, h);
        return h == kInvalidLinkHandle;
    }));
    peer.net.address[0] = '\0';
    EXPECT_EQ(peer.link.OpenLink(InterfaceEthernet), kInvalidLinkHandle);
    std::snprintf(peer.net.address, sizeof peer.net.address, "127.0.0.1");
    peer.net.port = 0;
    EXPECT_EQ(peer.link.OpenLink(InterfaceEthernet), kInvalidLinkHandle);
}

TEST(EthernetLink, ASilentPrinterFailsTheReadAfterTheWait) {
    SimPeer peer(300);
    peer.SetFaults([](sim::Faults& f) { f.silent = true; });
    const LinkHandle handle = peer.link.OpenLink(InterfaceEthernet);
    ASSERT_EQ(handle, 1);
    ASSERT_TRUE(peer.link.WriteBlock(handle, InterfaceEthernet, kStatusQuery, 3));
    const auto start = Clock::now();
    uint8_t status = 0;
    EXPECT_FALSE(peer.link.ReadByte(handle, InterfaceEthernet, &status));
    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(250));
    EXPECT_LT(waited, std::chrono::milliseconds(3000));
    peer.link.CloseLink(InterfaceEthernet, handle);
}

TEST(EthernetLink, ACancelEndsTheWaitAndEveryLaterOneAndAShorterWaitAppliesAtOnce) {
    SimPeer peer(30000);
    peer.SetFaults([](sim::Faults& f) { f.silent = true; });
    const LinkHandle handle = peer.link.OpenLink(InterfaceEthernet);
    ASSERT_EQ(handle, 1);
    ASSERT_TRUE(peer.link.WriteBlock(handle, InterfaceEthernet, kStatusQuery, 3));
    // A wait shortened after the connection stands applies to the next read.
    peer.link.Timeouts().netMs = 100;
    uint8_t status = 0;
    auto start = Clock::now();
    EXPECT_FALSE(peer.link.ReadByte(handle, InterfaceEthernet, &status));
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(15000));

    peer.link.Timeouts().netMs = 30000;
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        peer.link.Waits().Cancel();
    });
    start = Clock::now();
    EXPECT_FALSE(peer.link.ReadByte(handle, InterfaceEthernet, &status));
    canceller.join();
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(15000));
    EXPECT_FALSE(peer.link.WriteBlock(handle, InterfaceEthernet, kStatusQuery, 3));
    peer.link.CloseLink(InterfaceEthernet, handle);
    EXPECT_EQ(peer.link.OpenLink(InterfaceEthernet), kInvalidLinkHandle);
    peer.link.Waits().Clear();
    EXPECT_EQ(peer.link.OpenLink(InterfaceEthernet), 1);
}

TEST(EthernetLink, APrinterThatHangsUpFailsTheRead) {
    SimPeer peer;
    peer.SetFaults([](sim::Faults& f) { f.closeAfterBytes = 3; });
    const LinkHandle handle = peer.link.OpenLink(InterfaceEthernet);
    ASSERT_TRUE(peer.link.WriteBlock(handle, InterfaceEthernet, kStatusQuery, 3));
    uint8_t status = 0;
    EXPECT_FALSE(peer.link.ReadByte(handle, InterfaceEthernet, &status));
    peer.link.CloseLink(InterfaceEthernet, handle);
}

TEST(EthernetLink, APrinterThatStopsReadingFailsTheBlockWithinTheBoundedOffers) {
    sim::VirtualPrinter printer;
    printer.faults.stopReading = true;
    sim::TcpServer server(printer);
    server.SetReceiveBufferBytes(4096);
    ASSERT_TRUE(server.Start());
    LoopbackLink target(static_cast<uint16_t>(server.Port()));
    PrinterLink& link = target.link;
    link.Timeouts().netMs = 200;
    link.Timeouts().netMaxOffers = 2;

    const LinkHandle handle = link.OpenLink(InterfaceEthernet);
    ASSERT_EQ(handle, 1);
    const std::vector<uint8_t> block(64 * 1024 * 1024, 'x');
    const auto start = Clock::now();
    EXPECT_FALSE(link.WriteBlock(handle, InterfaceEthernet, block.data(),
                                 static_cast<uint32_t>(block.size())));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(20));
    link.CloseLink(InterfaceEthernet, handle);
}

TEST(SerialLink, ComNamesMapToSerialDevicesAndOtherNamesPassUnchanged) {
#if !defined(Q_OS_WIN)
    EXPECT_EQ(SerialDeviceForPortName("COM1"), "/dev/ttyS0");
    EXPECT_EQ(SerialDeviceForPortName("COM12"), "/dev/ttyS11");
    EXPECT_EQ(SerialDeviceForPortName("ttyUSB0"), "ttyUSB0");
    // A port number must be at least 1: "COM0" is no serial port and is opened as named.
    EXPECT_EQ(SerialDeviceForPortName("COM0"), "COM0");
    EXPECT_EQ(SerialDeviceForPortName("COM1x"), "COM1x");
    EXPECT_EQ(SerialDeviceForPortName("/dev/ttyACM0"), "/dev/ttyACM0");
    EXPECT_EQ(ParallelDeviceForPortName("LPT1"), "/dev/lp0");
    EXPECT_EQ(ParallelDeviceForPortName("LPT3"), "/dev/lp2");
    EXPECT_EQ(ParallelDeviceForPortName("/tmp/printer.fifo"), "/tmp/printer.fifo");
#endif
}

// Starts the server and gives the device its clients open.
std::string StartedDevice(sim::PtyServer& server) {
    std::string error;
    EXPECT_TRUE(server.Start(&error)) << error;
    return server.SlavePath();
}

struct PtyPeer {
    PtyPeer() {
        link.Timeouts().comReadMs = 300;
        link.Timeouts().comWriteConstantMs = 1000;
    }
    sim::VirtualPrinter printer;
    sim::PtyServer server{printer};
    LoopbackLink target{0, StartedDevice(server)};
    PrinterLink& link = target.link;
    ComSettings& com = target.com;
};

TEST(SerialLink, ExchangesBytesOverAPseudoTerminalWithEverySettingCombination) {
    PtyPeer peer;
    // Not 0x11 or 0x13: with XON/XOFF on, the line would take those as flow control.
    peer.printer.statusByte = 0x25;
    for (int baud = 0; baud < 8; ++baud) {
        peer.com.baudIndex = baud;
        peer.com.dataBitsIndex = baud % 2;
        peer.com.parityIndex = baud % 3;
        peer.com.stopBitsIndex = baud % 3;
        // Flow control has no meaning on a pseudo-terminal; the open must still work.
        peer.com.hardwareIndex = 0;
        peer.com.softwareIndex = baud % 2;
        const LinkHandle handle = peer.link.OpenLink(InterfaceCom);
        ASSERT_NE(handle, kInvalidLinkHandle) << baud;
        ASSERT_TRUE(peer.link.WriteBlock(handle, InterfaceCom, kStatusQuery, 3));
        uint8_t status = 0;
        ASSERT_TRUE(peer.link.ReadByte(handle, InterfaceCom, &status)) << baud;
        EXPECT_EQ(status, 0x25);
        peer.link.CloseLink(InterfaceCom, handle);
    }
}

TEST(SerialLink, ASilentPrinterFailsTheReadAfterAboutTheComWait) {
    PtyPeer peer;
    {
        auto lock = peer.printer.Lock();
        peer.printer.faults.silent = true;
    }
    const LinkHandle handle = peer.link.OpenLink(InterfaceCom);
    ASSERT_NE(handle, kInvalidLinkHandle);
    ASSERT_TRUE(peer.link.WriteBlock(handle, InterfaceCom, kStatusQuery, 3));
    const auto start = Clock::now();
    uint8_t status = 0;
    EXPECT_FALSE(peer.link.ReadByte(handle, InterfaceCom, &status));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(250));
    peer.link.CloseLink(InterfaceCom, handle);
}

TEST(SerialLink, AMissingPortFailsTheOpen) {
    ComSettings com{};
    LptPortName lpt{};
    NetSettings net{};
    SetLinkDefaults(com, lpt, net);
    std::snprintf(com.portName, sizeof com.portName, "/dev/tarnvik-none");
    PrinterLink link;
    link.SetLinkSettings({&com, &lpt, &net});
    EXPECT_EQ(link.OpenLink(InterfaceCom), kInvalidLinkHandle);
    com.portName[0] = '\0';
    EXPECT_EQ(link.OpenLink(InterfaceCom), kInvalidLinkHandle);
}

TEST(ParallelLink, BlocksWrittenIntoAFifoReachThePrinterAndReadsFailAtOnce) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = QDir(dir.path()).filePath("lpt.fifo").toStdString();
    sim::VirtualPrinter printer;
    sim::FifoServer server(printer, path);
    ASSERT_TRUE(server.Start());

    LoopbackLink target;
    target.UseParallelDevice(path);
    PrinterLink& link = target.link;

    const LinkHandle handle = link.OpenLink(InterfaceLpt);
    ASSERT_NE(handle, kInvalidLinkHandle);
    const std::string text = "SELFTEST\r\n";
    ASSERT_TRUE(link.WriteBlock(handle, InterfaceLpt, reinterpret_cast<const uint8_t*>(text.data()),
                                static_cast<uint32_t>(text.size())));
    const auto start = Clock::now();
    uint8_t byte = 0;
    EXPECT_FALSE(link.ReadByte(handle, InterfaceLpt, &byte));
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(100));
    link.CloseLink(InterfaceLpt, handle);
    EXPECT_TRUE(WaitUntil([&] { return printer.Received() == text; }));
}

TEST(ParallelLink, APortThatDoesNotExistIsNotCreated) {
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("missing");
    LoopbackLink target;
    target.UseParallelDevice(path.toStdString());
    PrinterLink& link = target.link;
    EXPECT_EQ(link.OpenLink(InterfaceLpt), kInvalidLinkHandle);
    EXPECT_FALSE(QFile::exists(path));
}

} // namespace
