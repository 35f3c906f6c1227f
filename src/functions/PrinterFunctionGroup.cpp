#include "functions/PrinterFunctionGroup.h"

#include "functions/PasswordSetup.h"
#include "ui/PlaceControl.h"

#include <QGroupBox>
#include <QPushButton>

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
}

void PrinterFunctionGroup::ButtonPasswordClick() {
    RunPasswordSetup(Host());
}
