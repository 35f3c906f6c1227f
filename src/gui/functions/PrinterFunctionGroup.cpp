#include "gui/functions/PrinterFunctionGroup.h"

#include "calibration/SensorMeasurement.h"
#include "gui/calibration/TFormSensorCalibrate.h"
#include "gui/functions/TFormDumpTextSetup.h"
#include "gui/functions/TFormRTCSetup.h"
#include "gui/kit/OperationHost.h"
#include "gui/kit/PlaceControl.h"
#include "gui/kit/Prompter.h"
#include "gui/kit/WindowFiles.h"
#include "gui/kit/WindowLook.h"
#include "gui/network/TFormEthernetSetup.h"
#include "gui/password/PasswordGate.h"
#include "gui/password/PasswordSetup.h"
#include "link/FixedText.h"
#include "operations/MemoryRecords.h"
#include "operations/OperationCode.h"

#include <QGroupBox>
#include <QPushButton>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr int kButtonLeft = 8;
constexpr int kButtonWidth = 97;
constexpr int kButtonHeight = 25;

// The group's span of the main window's caption table; the window applies it after the
// language group.
const CaptionEntry kCaptions[] = {
    {"GroupBoxPrinterFunction", kCaptionEntry, {"Printer Function", "印表機功能", "打印机功能"}},
    {"ButtonSensorCalibrate", kCaptionEntry, {"Calibrate Sensor", "感應器校正", "感应器校正"}},
    {"ButtonEthernet", kCaptionEntry, {"Ethernet Setup", "網路設定", "网络设定"}},
    {"ButtonRTCSetTime", kCaptionEntry, {"RTC Setup", "RTC設定", "RTC设定"}},
    {"ButtonInitial", kCaptionEntry, {"Factory Default", "印表機初始化", "打印机初始化"}},
    {"ButtonRestPrinter", kCaptionEntry, {"Reset Printer", "印表機重新啟動", "打印机重新启动"}},
    {"ButtonTestPatern", kCaptionEntry, {"Print Test Page", "列印測試頁", "打印测试页"}},
    {"ButtonSelfTest", kCaptionEntry, {"Configuration Page", "列印自測頁", "打印自测页"}},
    {"ButtonDump", kCaptionEntry, {"Dump Text", "除錯模式", "除错模式"}},
    {"ButtonIgnoreAuto", kCaptionEntry, {"Ignore AUTO.BAS", "忽略 AUTO.BAS", "忽略 AUTO.BAS"}},
    {"ButtonLineModeOut", kCaptionEntry, {"Out of Line Mode", "退出行模式", "退出行模式"}},
    {"ButtonPassword", kCaptionEntry, {"Password Setup", "密碼設定", "密码设定"}},
};

struct FunctionButton {
    QPushButton* PrinterFunctionGroup::*member;
    const char* name;
    int top;
};

// The buttons from top to bottom, every 32 pixels.
const FunctionButton kButtons[] = {
    {&PrinterFunctionGroup::ButtonSensorCalibrate, "ButtonSensorCalibrate", 24},
    {&PrinterFunctionGroup::ButtonEthernet, "ButtonEthernet", 56},
    {&PrinterFunctionGroup::ButtonRTCSetTime, "ButtonRTCSetTime", 88},
    {&PrinterFunctionGroup::ButtonInitial, "ButtonInitial", 120},
    {&PrinterFunctionGroup::ButtonRestPrinter, "ButtonRestPrinter", 152},
    {&PrinterFunctionGroup::ButtonTestPatern, "ButtonTestPatern", 184},
    {&PrinterFunctionGroup::ButtonSelfTest, "ButtonSelfTest", 216},
    {&PrinterFunctionGroup::ButtonDump, "ButtonDump", 248},
    {&PrinterFunctionGroup::ButtonIgnoreAuto, "ButtonIgnoreAuto", 280},
    {&PrinterFunctionGroup::ButtonLineModeOut, "ButtonLineModeOut", 312},
    {&PrinterFunctionGroup::ButtonPassword, "ButtonPassword", 344},
};

} // namespace

PrinterFunctionGroup::PrinterFunctionGroup(OperationHost& host, FunctionRecords records,
                                           QWidget* parent)
    : MainPage(host, parent), records_(records) {
    ControlKit kit(this, kCaptions);
    GroupBoxPrinterFunction = kit.Add<QGroupBox>(this, "GroupBoxPrinterFunction", {0, 0, 113, 385});
    for (const FunctionButton& b : kButtons)
        this->*b.member = kit.Add<QPushButton>(GroupBoxPrinterFunction, b.name,
                                               {kButtonLeft, b.top, kButtonWidth, kButtonHeight});
    connect(ButtonPassword, &QPushButton::clicked, this,
            &PrinterFunctionGroup::ButtonPasswordClick);

    const std::pair<QPushButton*, void (PrinterFunctionGroup::*)()> handlers[] = {
        {ButtonSensorCalibrate, &PrinterFunctionGroup::ButtonSensorCalibrateClick},
        {ButtonRTCSetTime, &PrinterFunctionGroup::ButtonRTCSetTimeClick},
        {ButtonInitial, &PrinterFunctionGroup::ButtonInitialClick},
        {ButtonRestPrinter, &PrinterFunctionGroup::ButtonRestPrinterClick},
        {ButtonTestPatern, &PrinterFunctionGroup::ButtonTestPaternClick},
        {ButtonSelfTest, &PrinterFunctionGroup::ButtonSelfTestClick},
        {ButtonDump, &PrinterFunctionGroup::ButtonDumpClick},
        {ButtonIgnoreAuto, &PrinterFunctionGroup::ButtonIgnoreAutoClick},
        {ButtonLineModeOut, &PrinterFunctionGroup::ButtonLineModeOutClick},
    };
    for (const auto& [button, handler] : handlers)
        connect(button, &QPushButton::clicked, this, handler);
    connect(ButtonEthernet, &QPushButton::clicked, this,
            &PrinterFunctionGroup::ButtonEthernetClick);
}

std::span<const CaptionEntry> PrinterFunctionGroup::Captions() const {
    return kCaptions;
}

void PrinterFunctionGroup::LanguageApplied(int /*languageIndex*/) {
    for (const FunctionButton& b : kButtons)
        FitButtonText(this->*b.member);
}

void PrinterFunctionGroup::ButtonPasswordClick() {
    RunPasswordSetup(Host());
}

// The direct functions: none asks for confirmation and none reports success.

void PrinterFunctionGroup::ButtonSelfTestClick() {
    Host().Run<Op::SelfTest>();
}

void PrinterFunctionGroup::ButtonRestPrinterClick() {
    Host().Run<Op::ResetPrinter>();
}

void PrinterFunctionGroup::ButtonIgnoreAutoClick() {
    Host().Run<Op::IgnoreAutoBas>();
}

void PrinterFunctionGroup::ButtonLineModeOutClick() {
    Host().Run<Op::SendLineModeExit>();
}

void PrinterFunctionGroup::ButtonInitialClick() {
    if (!GateAllows(PasswordGate(Host())))
        return;
    Host().Run<Op::InitializePrinter>();
}

void PrinterFunctionGroup::ButtonTestPaternClick() {
    const LabelSettings stored = Records().StoredSettings();
    Prompter& prompts = Host().Prompts();
    if (!stored.ResolutionRead) {
        prompts.Information(Host().HostWindow(),
                            QStringLiteral("Please read printer config first"));
        return;
    }
    LabelSettings working = stored;
    if (collectConfig_ && !collectConfig_(working))
        return;
    if (working.PaperWidth.valid != 1) {
        prompts.Information(Host().HostWindow(), QStringLiteral("Please Entry Paper Width"));
        return;
    }
    if (working.PaperHeight.valid != 1) {
        prompts.Information(Host().HostWindow(), QStringLiteral("Please Entry Paper Height"));
        return;
    }
    // The page holds the sizes in dots; the label program takes millimetres.
    TestPatternRequest request{};
    request.dotsPerInch = stored.Dpi;
    request.dotsPerMm = stored.DotsPerMm;
    request.widthMm = working.PaperWidth.value / stored.DotsPerMm;
    request.heightMm = working.PaperHeight.value / stored.DotsPerMm;
    request.sensorMode = stored.SensorMode;
    Host().Run<Op::PrintTestPattern>(request);
}

// The clock: read without a word, edited in the dialog, written behind the password.

void PrinterFunctionGroup::ButtonRTCSetTimeClick() {
    PrinterClock read{};
    // Whatever the read gives (nothing at all without a printer) is what the dialog shows.
    Host().RunQuiet<Op::ReadClock>(read);
    FunctionRecords& records = Records();
    records.Clock = read;
    {
        OperationHost& host = Host();
        TFormRTCSetup dialog(
            records.Clock, records.ClockSet, host.LanguageIndex(), host.Prompts(),
            [&host] { return host.LocalDateTime(); }, host.DialogAnchor(), host.HostWindow());
        host.ExecDialog(dialog);
    }
    if (records.ClockSet == 0)
        return;
    if (!GateAllows(PasswordGate(Host())))
        return;
    Host().Run<Op::SetClock>(records.Clock);
}

// Dump text: the mode chosen in the dialog; in "Save to File" the dump is fetched and saved.

void PrinterFunctionGroup::ButtonDumpClick() {
    DumpTextChoice choice{};
    choice.request.mode = DumpPrint;
    StoreDumpFileName(choice.request, QStringLiteral("Dump.txt"));
    {
        TFormDumpTextSetup dialog(choice, Host().Prompts(), Host().DialogAnchor(),
                                  Host().HostWindow());
        Host().ExecDialog(dialog);
    }
    if (choice.accepted == 0)
        return;
    DumpTextRequest request = choice.request;
    if (Host().Run<Op::DumpText>(request) != LinkOk)
        return;
    if (request.mode == DumpPrint || request.mode == DumpSaveToCard)
        return;
    if (!Host().Prompts().Confirm(Host().HostWindow(), QStringLiteral("Press OK to load file."),
                                  Prompter::ConfirmButtons::OkCancel))
        return;
    FetchDumpFile();
}

void PrinterFunctionGroup::FetchDumpFile() {
    std::vector<char> buffer(kDumpReadCapacity);
    PrinterFileRequest file{};
    file.capacity = kDumpReadCapacity;
    StoreFixedBytes(file.fileName, "Dump.txt");
    file.buffer = buffer.data();
    if (Host().Run<Op::ReadPrinterFile>(file) != LinkOk)
        return;

    Prompter::FileDialogOptions options;
    options.filter = QStringLiteral("*.*|*.*");
    options.filterIndex = 0;
    const std::optional<QString> path = Host().Prompts().SaveFile(Host().HostWindow(), options);
    if (!path)
        return;
    const qint64 length = std::clamp<qint64>(file.length, 0, kDumpReadCapacity);
    // A dump that cannot be stored is said so rather than lost without a word.
    SaveWholeFile(Host(), *path, QByteArray(buffer.data(), length),
                  QStringLiteral("Cannot save the file %1").arg(*path));
}

// Sensor calibration: the printer's settings read, the dialog, then the calibration itself
// behind the password.

void PrinterFunctionGroup::ButtonSensorCalibrateClick() {
    const LabelSettings stored = Records().StoredSettings();
    SensorCalibration record{};
    record.confirmed = 0;
    record.mediaType = MediaContinuous;
    record.dotsPerUnit = DotsPerUnit(unitIndex_ == 0 ? stored.Dpi : stored.DotsPerMm);
    // A failed read is reported; the dialog opens with what was read.
    Host().Run<Op::ReadSensorSetup>(record);
    {
        TFormSensorCalibrate dialog(record, Host(), Host().DialogAnchor(), Host().HostWindow());
        Host().ExecDialog(dialog);
    }
    if (record.confirmed == 0)
        return;
    if (!GateAllows(PasswordGate(Host())))
        return;
    Host().Run<Op::CalibrateSensor>(record);
}

// Network settings: read over the link, the dialog, then the one change confirmed, behind
// the password.

void PrinterFunctionGroup::ButtonEthernetClick() {
    PrinterNetConfig read{};
    SetNetConfigDefaults(read);
    if (Host().Run<Op::ReadNetSettings>(read) != LinkOk)
        return;
    // The dialog's outcome (action, apply) is not part of what the printer reports.
    PrinterNetConfig& config = Records().NetConfig;
    config.dhcp = read.dhcp;
    CopyFixedText(config.ipAddress, read.ipAddress);
    CopyFixedText(config.subnetMask, read.subnetMask);
    CopyFixedText(config.gateway, read.gateway);
    CopyFixedText(config.lastUsedIp, read.lastUsedIp);
    CopyFixedText(config.printerName, read.printerName);
    CopyFixedText(config.macAddress, read.macAddress);

    {
        const QPoint anchor = Host().DialogAnchor();
        TFormEthernetSetup dialog(anchor.x(), anchor.y(), true, config, Host().LanguageIndex(),
                                  Host().Prompts(), Host().HostWindow());
        Host().ExecDialog(dialog);
    }
    if (config.apply == 0 || !GateAllows(PasswordGate(Host())))
        return;

    PrinterNetConfig change{};
    change.dhcp = config.dhcp;
    CopyFixedText(change.ipAddress, config.ipAddress);
    CopyFixedText(change.subnetMask, config.subnetMask);
    CopyFixedText(change.gateway, config.gateway);
    CopyFixedText(change.printerName, config.printerName);
    if (config.action == 1)
        Host().Run<Op::SetNetName>(change);
    else
        Host().Run<Op::SetNetAddress>(change);
}
