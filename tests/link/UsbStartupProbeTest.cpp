// The main window's silent start-up read through real libusb and an emulated printer.
#include "EmulatedUsbBus.h"
#include "gui/main/TFormMain.h"
#include "link/PrinterLink.h"
#include "link/ProgressWindow.h"
#include "network/LanClient.h"
#include "ScriptedPrompter.h"
#include "StandardPrinter.h"
#include "VirtualPrinter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>

namespace {

class UsbStartUp : public ::testing::Test {
protected:
    UsbStartUp() {
        sim::InstallStandardModules(printer);
        lan.broadcastTargets = {QHostAddress(QHostAddress::LocalHost)};
        lan.multicastTargets = {};
        lan.bindAddress = QHostAddress(QHostAddress::LocalHost);
        lan.discoveryWaitMs = 50;
        lan.answerWaitMs = 50;
        progress.hidePause = std::chrono::milliseconds(0);
    }

    ~UsbStartUp() override {
        window.reset();
        if (link)
            link->SetProgressWindow(nullptr);
    }

    void SetUp() override {
        ASSERT_TRUE(EmulatedUsbBus::Active())
            << "run with libumockdev-preload.so.0 in LD_PRELOAD (ctest sets it)";
    }

    // Starts libusb on the bus as it is and creates the main window, which probes it.
    void Start() {
        link = std::make_unique<PrinterLink>();
        link->Timeouts().usbReadMs = link->Timeouts().usbWriteMs = 200;
        link->SetProgressWindow(&progress);
        window = std::make_unique<TFormMain>(
            *link, prompter, QLocale(QLocale::English, QLocale::UnitedStates),
            [this] { return now; }, lan);
    }

    sim::VirtualPrinter printer;
    EmulatedUsbBus bus;
    std::unique_ptr<PrinterLink> link;
    LanClientSettings lan;
    ProgressWindow progress;
    ScriptedPrompter prompter;
    QDateTime now{QDate(2026, 3, 4), QTime(5, 6, 7)};
    std::unique_ptr<TFormMain> window;
};

TEST_F(UsbStartUp, ReadsTheConfigurationOfTheEmulatedPrinterBeforeTheWindowShows) {
    bus.Add({"1-1", 2, 0x1fc8, 0x0001, "Label Printer", true, false, &printer});
    Start();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(prompter.prompts.empty());
    // Line mode was left before the read.
    const std::vector<std::string> commands = printer.Commands();
    EXPECT_TRUE(std::any_of(commands.begin(), commands.end(),
                            [](const std::string& c) { return c.rfind("\x1bZ", 0) == 0; }));
    const PrinterConfig& config = window->StoredConfig();
    EXPECT_EQ(config.ResolutionValid, 1);
    EXPECT_FLOAT_EQ(config.Dpi, 203.0f);
    const EmulatedUsbBus::Trace trace = bus.TraceOf("1-1");
    EXPECT_FALSE(trace.claimed);
    EXPECT_TRUE(trace.driverBound);
}

TEST_F(UsbStartUp, ShowsNothingAndKeepsTheDefaultsWithoutAPrinter) {
    bus.Add({"1-1", 2, 0x0bda, 0x5411, "Card Reader", false, false, nullptr});
    Start();
    EXPECT_TRUE(prompter.prompts.empty());
    const PrinterConfig defaults = DefaultPrinterConfig();
    EXPECT_EQ(std::memcmp(&window->StoredConfig(), &defaults, sizeof defaults), 0);
    EXPECT_EQ(bus.TraceOf("1-1").opens, 0);
}

} // namespace
