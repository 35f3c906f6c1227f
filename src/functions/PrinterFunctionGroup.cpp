#include "functions/PrinterFunctionGroup.h"

#include "functions/PasswordGate.h"
#include "functions/PasswordSetup.h"
#include "network/TFormEthernetSetup.h"
#include "operations/OperationCode.h"
#include "ui/MainRecords.h"
#include "ui/OperationHost.h"
#include "ui/PlaceControl.h"

#include <QGroupBox>
#include <QPushButton>

#include <cstring>

namespace {

constexpr int kButtonLeft = 8;
constexpr int kButtonWidth = 97;
constexpr int kButtonHeight = 25;

struct FunctionButton {
    QPushButton* PrinterFunctionGroup::*member;
    const char* name;
    const char* caption;
    int top;
};

// The buttons from top to bottom, every 32 pixels.
const FunctionButton kButtons[] = {
    {&PrinterFunctionGroup::ButtonSensorCalibrate, "ButtonSensorCalibrate", "Calibrate Sensor", 24},
    {&PrinterFunctionGroup::ButtonEthernet, "ButtonEthernet", "Ethernet Setup", 56},
    {&PrinterFunctionGroup::ButtonRTCSetTime, "ButtonRTCSetTime", "RTC Setup", 88},
    {&PrinterFunctionGroup::ButtonInitial, "ButtonInitial", "Factory Default", 120},
    {&PrinterFunctionGroup::ButtonRestPrinter, "ButtonRestPrinter", "Reset Printer", 152},
    {&PrinterFunctionGroup::ButtonTestPatern, "ButtonTestPatern", "Print Test Page", 184},
    {&PrinterFunctionGroup::ButtonSelfTest, "ButtonSelfTest", "Configuration Page", 216},
    {&PrinterFunctionGroup::ButtonDump, "ButtonDump", "Dump Text", 248},
    {&PrinterFunctionGroup::ButtonIgnoreAuto, "ButtonIgnoreAuto", "Ignore AUTO.BAS", 280},
    {&PrinterFunctionGroup::ButtonLineModeOut, "ButtonLineModeOut", "Out of Line Mode", 312},
    {&PrinterFunctionGroup::ButtonPassword, "ButtonPassword", "Password Setup", 344},
};

} // namespace

PrinterFunctionGroup::PrinterFunctionGroup(OperationHost& host, MainRecords& records,
                                           QWidget* parent)
    : MainPage(host, records, parent) {
    setObjectName(QStringLiteral("PrinterFunctionGroup"));
    GroupBoxPrinterFunction =
        PlaceControl<QGroupBox>(this, "GroupBoxPrinterFunction", 0, 0, 113, 385);
    GroupBoxPrinterFunction->setTitle(QStringLiteral("Printer Function"));
    for (const FunctionButton& b : kButtons) {
        QPushButton* button = PlaceControl<QPushButton>(
            GroupBoxPrinterFunction, b.name, kButtonLeft, b.top, kButtonWidth, kButtonHeight);
        button->setText(QString::fromLatin1(b.caption));
        this->*b.member = button;
    }
    connect(ButtonPassword, &QPushButton::clicked, this,
            &PrinterFunctionGroup::ButtonPasswordClick);
    connect(ButtonEthernet, &QPushButton::clicked, this,
            &PrinterFunctionGroup::ButtonEthernetClick);
}

void PrinterFunctionGroup::ButtonPasswordClick() {
    RunPasswordSetup(Host());
}

void PrinterFunctionGroup::ButtonEthernetClick() {
    PrinterNetConfig read{};
    SetNetConfigDefaults(read);
    if (Host().RunPrinterOperation(OpReadNetSettings, &read) != LinkOk)
        return;
    // The dialog's outcome (action, apply) is not part of what the printer reports.
    PrinterNetConfig& config = Records().NetConfig;
    config.dhcp = read.dhcp;
    std::memcpy(config.ipAddress, read.ipAddress, sizeof config.ipAddress);
    std::memcpy(config.subnetMask, read.subnetMask, sizeof config.subnetMask);
    std::memcpy(config.gateway, read.gateway, sizeof config.gateway);
    std::memcpy(config.lastUsedIp, read.lastUsedIp, sizeof config.lastUsedIp);
    std::memcpy(config.printerName, read.printerName, sizeof config.printerName);
    std::memcpy(config.macAddress, read.macAddress, sizeof config.macAddress);

    {
        const QPoint anchor = Host().DialogAnchor();
        TFormEthernetSetup dialog(anchor.x(), anchor.y(), true, config, Host().LanguageIndex(),
                                  Host().HostWindow());
        Host().ExecDialog(dialog);
    }
    if (config.apply == 0 || !PasswordGate(Host()))
        return;

    PrinterNetConfig change{};
    change.dhcp = config.dhcp;
    std::memcpy(change.ipAddress, config.ipAddress, sizeof change.ipAddress);
    std::memcpy(change.subnetMask, config.subnetMask, sizeof change.subnetMask);
    std::memcpy(change.gateway, config.gateway, sizeof change.gateway);
    std::memcpy(change.printerName, config.printerName, sizeof change.printerName);
    Host().RunPrinterOperation(config.action == 1 ? OpSetNetName : OpSetNetAddress, &change);
}
