#include "FakeUsbDeviceSource.h"
#include "link/PrinterLink.h"
#include "VirtualPrinter.h"

#include <gtest/gtest.h>

namespace {

UsbDeviceEntry Device(const std::string& path) {
    return {path, path};
}

std::string PrimaryPath(const std::string& location) {
    return MakeUsbDevicePath(0x1fc8, 0x0001, location);
}

std::string SecondaryPath(const std::string& location) {
    return MakeUsbDevicePath(0x2e9b, 0x0001, location);
}

TEST(UsbPath, CarriesLowerCaseIdsAndTheBusPosition) {
    EXPECT_EQ(MakeUsbDevicePath(0x1A2B, 0x0C3D, "1-4.2"), "usb#vid_1a2b&pid_0c3d#1-4.2");
}

TEST(UsbPath, OnlyTheFirstLowerCaseVidCountsAndCaseMatters) {
    EXPECT_TRUE(UsbPathMatchesVendor("usb#vid_1fc8&pid_0001#1-1", "1fc8"));
    EXPECT_FALSE(UsbPathMatchesVendor("usb#VID_1fc8&PID_0001#1-1", "1fc8"));
    EXPECT_FALSE(UsbPathMatchesVendor("usb#vid_1FC8&pid_0001#1-1", "1fc8"));
    // The separator after "vid" is skipped whatever it is.
    EXPECT_TRUE(UsbPathMatchesVendor("vid#1fc8", "1fc8"));
    // A later "vid" is not looked at.
    EXPECT_FALSE(UsbPathMatchesVendor("avid_0000#vid_1fc8", "1fc8"));
    EXPECT_FALSE(UsbPathMatchesVendor("usb#vid_1fc", "1fc8"));
    EXPECT_FALSE(UsbPathMatchesVendor("", "1fc8"));
}

struct UsbLink {
    explicit UsbLink(std::vector<FakeUsbDeviceSource::Device> devices) {
        auto owned = std::make_unique<FakeUsbDeviceSource>(std::move(devices));
        source = owned.get();
        link.SetUsbDeviceSource(std::move(owned));
    }
    PrinterLink link;
    FakeUsbDeviceSource* source;
};

TEST(UsbOpen, TheFirstDeviceOfTheFirstVendorIsOpened) {
    sim::VirtualPrinter first, second, other;
    UsbLink usb({{Device(SecondaryPath("1-1")), &other},
                 {Device("usb#vid_0bda&pid_1234#1-2"), nullptr},
                 {Device(PrimaryPath("1-3")), &first},
                 {Device(PrimaryPath("1-4")), &second}});
    const LinkHandle handle = usb.link.OpenLink(InterfaceUsb);
    ASSERT_NE(handle, kInvalidLinkHandle);
    EXPECT_EQ(usb.source->opened, (std::vector<std::string>{PrimaryPath("1-3")}));
    EXPECT_EQ(usb.link.UsbDeviceList().size(), 4u);
    usb.link.CloseLink(InterfaceUsb, handle);
}

TEST(UsbOpen, TheSecondVendorIsTriedOnlyWithoutADeviceOfTheFirst) {
    sim::VirtualPrinter printer;
    UsbLink usb(
        {{Device("usb#VID_1FC8&PID_0001#1-1"), nullptr}, {Device(SecondaryPath("2-1")), &printer}});
    const LinkHandle handle = usb.link.OpenLink(InterfaceUsb);
    ASSERT_NE(handle, kInvalidLinkHandle);
    EXPECT_EQ(usb.source->opened, (std::vector<std::string>{SecondaryPath("2-1")}));

    // Bytes go to the printer behind the device and its answer comes back.
    const uint8_t query[] = {0x1B, '!', '?'};
    printer.statusByte = 0x21;
    ASSERT_TRUE(usb.link.WriteBlock(handle, InterfaceUsb, query, 3));
    uint8_t status = 0;
    ASSERT_TRUE(usb.link.ReadByte(handle, InterfaceUsb, &status));
    EXPECT_EQ(status, 0x21);
    usb.link.CloseLink(InterfaceUsb, handle);
}

TEST(UsbOpen, NoMatchingDeviceOrADeviceThatWillNotOpenFails) {
    UsbLink none({{Device("usb#vid_0bda&pid_1234#1-2"), nullptr}});
    EXPECT_EQ(none.link.OpenLink(InterfaceUsb), kInvalidLinkHandle);
    EXPECT_TRUE(none.source->opened.empty());

    UsbLink broken({{Device(PrimaryPath("1-1")), nullptr}});
    EXPECT_EQ(broken.link.OpenLink(InterfaceUsb), kInvalidLinkHandle);
    EXPECT_EQ(broken.source->opened.size(), 1u);
}

TEST(UsbOpen, DevicesPastTheListCapacityAreNotConsidered) {
    sim::VirtualPrinter printer;
    std::vector<FakeUsbDeviceSource::Device> devices;
    for (int i = 0; i < 256; ++i)
        devices.push_back({Device("usb#vid_0bda&pid_1234#1-" + std::to_string(i)), nullptr});
    devices.push_back({Device(PrimaryPath("9-9")), &printer});
    UsbLink usb(devices);
    EXPECT_EQ(usb.link.OpenLink(InterfaceUsb), kInvalidLinkHandle);
    EXPECT_EQ(usb.link.UsbDeviceList().size(), PrinterLink::kMaxUsbDevices);
}

} // namespace
