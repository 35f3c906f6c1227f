#include "app/TFormMain.h"

#include "app/LinkSummary.h"
#include "app/MainCaptions.h"
#include "app/Prompter.h"
#include "app/RadioGroup.h"
#include "app/StatusWord.h"
#include "app/WindowLook.h"
#include "functions/PasswordGate.h"
#include "functions/PasswordSetup.h"
#include "link/PortNames.h"
#include "link/PrinterLink.h"
#include "link/ProgressWindow.h"
#include "link/TFormLPTSetup.h"
#include "link/TFormRs232Setup.h"
#include "network/EthernetSetupSequence.h"
#include "network/TFormNetSetup.h"
#include "operations/Dispatch.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kClientWidth = 692;
constexpr int kClientHeight = 591;
constexpr int kStatusBarHeight = 19;
constexpr int kPanelWidths[4] = {80, 200, 250, 200};
constexpr int kFunctionButtonLeft = 8;
constexpr int kFunctionButtonWidth = 97;
constexpr int kFunctionButtonHeight = 25;
constexpr int kUnitLabelCount = 9;

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, int left, int top,
                        int width, int height) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, top, width, height);
    return button;
}

QGroupBox* MakeGroup(QWidget* parent, const char* name, const QString& title, int left, int top,
                     int width, int height) {
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(QString::fromLatin1(name));
    group->setGeometry(left, top, width, height);
    return group;
}

// The system's long time format as the clock shows it: without the time zone, which Qt's
// formats carry and the clock does not show, and with the day period "B" of some locales
// (which Qt prints literally) written as Qt's AM/PM.
QString LongTimeFormat(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
        } else if (!quoted && c == QLatin1Char('t')) {
            continue;
        } else if (!quoted && c == QLatin1Char('B')) {
            result += QStringLiteral("AP");
            continue;
        }
        result += c;
    }
    result.remove(QStringLiteral("[]"));
    result.remove(QStringLiteral("()"));
    return result.simplified();
}

} // namespace

TFormMain::TFormMain(PrinterLink& link, Prompter& prompter, const QLocale& locale, Clock clock,
                     LanClientSettings lan, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      link_(link), prompter_(prompter), locale_(locale),
      clock_(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTime(); })),
      lan_(std::move(lan)) {
    // Start-up, in this order, before the window is first shown. The pages that hold data of
    // their own (command tool editors, file manager, bitmap fonts) set it up in their places
    // below: editors after BuildWindow and again before the language, the file manager and
    // font page after the link summary.
    BuildWindow();

    startupDirectory_ = QDir::toNativeSeparators(QDir::currentPath());
    move(60, 60);
    PageControl1->setCurrentIndex(0);

    SetLinkDefaults(com_, lpt_, net_);
    link_.SetLinkSettings(LinkSettings{&com_, &lpt_, &net_});
    if (ProgressWindow* progress = link_.Progress())
        progress->Reset();

    SetConfigDefaults(config_);
    ShowLinkSummary();
    PlaceProgressWindow();
    SetNetConfigDefaults(netConfig_);

    languageIndex_ = LanguageIndexForLocale(locale_);
    ComboBoxLanguage->setCurrentIndex(languageIndex_);
    ApplyLanguage(languageIndex_);
    PlaceProgressWindow();

    ProbeUsbPrinter();
}

TFormMain::~TFormMain() = default;

void TFormMain::BuildWindow() {
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QStringLiteral("Tarnvik 1.40"));
    ApplyWindowLook(this);
    setFixedSize(kClientWidth, kClientHeight);
    BuildTopRow();

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(4, 56, 685, 513);
    const char* const pageNames[] = {"TabSheet1", "TabSheet2", "TabSheet3", "TabSheet4"};
    const char* const pageCaptions[] = {"Printer Configuration", "File Manager",
                                        "Bitmap Font Manager", "Command Tool"};
    QWidget** pages[] = {&TabSheet1, &TabSheet2, &TabSheet3, &TabSheet4};
    for (int i = 0; i < 4; ++i) {
        *pages[i] = new QWidget;
        (*pages[i])->setObjectName(QString::fromLatin1(pageNames[i]));
        PageControl1->addTab(*pages[i], QString::fromLatin1(pageCaptions[i]));
    }
    BuildFirstPage();
    BuildStatusBar();
}

void TFormMain::BuildTopRow() {
    GroupBoxLanguage =
        MakeGroup(this, "GroupBoxLanguage", QStringLiteral("Language"), 7, 8, 162, 41);
    ComboBoxLanguage = new QComboBox(GroupBoxLanguage);
    ComboBoxLanguage->setObjectName(QStringLiteral("ComboBoxLanguage"));
    ComboBoxLanguage->setGeometry(8, 12, 145, 21);
    ComboBoxLanguage->addItems({QStringLiteral("English"), QStringLiteral("Traditional Chinese"),
                                QStringLiteral("Simplified Chinese")});
    connect(ComboBoxLanguage, &QComboBox::activated, this, &TFormMain::ComboBoxLanguageChange);

    RadioGroupUnit = new RadioGroup(QStringLiteral("RadioGroupUnit"),
                                    {QStringLiteral("inch"), QStringLiteral("mm")}, 2, this);
    RadioGroupUnit->setTitle(QStringLiteral("Unit"));
    RadioGroupUnit->setGeometry(176, 8, 129, 41);
    RadioGroupUnit->SetItemIndex(0);
    connect(RadioGroupUnit, &RadioGroup::Click, this, &TFormMain::RadioGroupUnitClick);

    GroupBoxInterFace =
        MakeGroup(this, "GroupBoxInterFace", QStringLiteral("Interface"), 472, 8, 209, 41);
    ComboBoxInterFace = new QComboBox(GroupBoxInterFace);
    ComboBoxInterFace->setObjectName(QStringLiteral("ComboBoxInterFace"));
    ComboBoxInterFace->setGeometry(8, 12, 105, 21);
    ComboBoxInterFace->addItems({QStringLiteral("USB"), QStringLiteral("COM"),
                                 QStringLiteral("LPT"), QStringLiteral("ETHERNET")});
    ComboBoxInterFace->setCurrentIndex(InterfaceUsb);
    connect(ComboBoxInterFace, &QComboBox::activated, this, &TFormMain::ComboBoxInterFaceChange);
    ButtonInterFace =
        MakeButton(GroupBoxInterFace, "ButtonInterFace", QStringLiteral("Setup"), 128, 12, 75, 24);
    ButtonInterFace->setEnabled(false);
    connect(ButtonInterFace, &QPushButton::clicked, this, &TFormMain::ButtonInterFaceClick);
}

void TFormMain::BuildFirstPage() {
    GroupBoxPrinterFunction = MakeGroup(TabSheet1, "GroupBoxPrinterFunction",
                                        QStringLiteral("Printer Function"), 0, 0, 113, 385);
    // The other function buttons take their places (tops 24 and 88 to 312, every 32) with
    // their handlers.
    ButtonEthernet =
        MakeButton(GroupBoxPrinterFunction, "ButtonEthernet", QStringLiteral("Ethernet Setup"),
                   kFunctionButtonLeft, 56, kFunctionButtonWidth, kFunctionButtonHeight);
    ButtonPassword =
        MakeButton(GroupBoxPrinterFunction, "ButtonPassword", QStringLiteral("Password Setup"),
                   kFunctionButtonLeft, 344, kFunctionButtonWidth, kFunctionButtonHeight);
    connect(ButtonPassword, &QPushButton::clicked, this, &TFormMain::ButtonPasswordClick);
    connect(ButtonEthernet, &QPushButton::clicked, this, &TFormMain::ButtonEthernetClick);

    GroupBoxPrinterStatus = MakeGroup(TabSheet1, "GroupBoxPrinterStatus",
                                      QStringLiteral("Printer Status"), 0, 392, 113, 89);
    EditPrinterStatus = new QLineEdit(GroupBoxPrinterStatus);
    EditPrinterStatus->setObjectName(QStringLiteral("EditPrinterStatus"));
    EditPrinterStatus->setGeometry(8, 24, 97, 21);
    EditPrinterStatus->setReadOnly(true);
    ButtonGetStatus = MakeButton(GroupBoxPrinterStatus, "ButtonGetStatus",
                                 QStringLiteral("Get Status"), 8, 58, 97, 25);
    connect(ButtonGetStatus, &QPushButton::clicked, this, &TFormMain::ButtonGetStatusClick);

    // The configuration page fills this group; its buttons sit along the bottom.
    GroupBoxPrintreConfig = MakeGroup(TabSheet1, "GroupBoxPrintreConfig",
                                      QStringLiteral("Printer Configuration"), 120, 0, 553, 481);
    ButtonRead =
        MakeButton(GroupBoxPrintreConfig, "ButtonRead", QStringLiteral("Read"), 8, 448, 75, 25);
}

void TFormMain::BuildStatusBar() {
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setGeometry(0, kClientHeight - kStatusBarHeight, kClientWidth, kStatusBarHeight);
    int left = 0;
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(StatusBar1);
        panel->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setIndent(2);
        panel->setGeometry(left, 1, kPanelWidths[i] - 2, kStatusBarHeight - 2);
        left += kPanelWidths[i];
        statusPanels_[i] = panel;
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TFormMain::Timer1Timer);
    Timer1->start();
}

QPoint TFormMain::DialogAnchor() const {
    const QRect outer = frameGeometry();
    return {outer.left() + outer.width() / 3, outer.top() + outer.height() / 3};
}

void TFormMain::PlaceProgressWindow() {
    if (ProgressWindow* progress = link_.Progress()) {
        const QPoint anchor = DialogAnchor();
        progress->SetProgressPosition(anchor.x(), anchor.y());
    }
}

InterfaceKind TFormMain::SelectedInterface() const {
    return static_cast<InterfaceKind>(ComboBoxInterFace->currentIndex());
}

QString TFormMain::StatusPanelText(int panel) const {
    return panel >= 0 && panel < 4 ? statusPanels_[panel]->text() : QString();
}

void TFormMain::ProbeUsbPrinter() {
    // Silent: whatever the printer answers, nothing is shown; only a complete read replaces
    // the stored configuration.
    if (Dispatch(link_, OpProbePort, SelectedInterface(), nullptr) != LinkOk)
        return;
    PrinterConfig scratch = DefaultPrinterConfig();
    PlaceProgressWindow();
    if (Dispatch(link_, OpSendLineModeExit, SelectedInterface(), nullptr) != LinkOk)
        return;
    if (Dispatch(link_, OpReadConfiguration, SelectedInterface(), &scratch) != LinkOk)
        return;
    config_ = scratch;
}

LinkError TFormMain::RunSequence(uint32_t operation, void* buffer, int32_t extra,
                                 const std::function<void()>& succeeded) {
    setEnabled(false);
    PlaceProgressWindow();
    const LinkError result = Dispatch(link_, operation, SelectedInterface(), buffer, extra);
    if (result != LinkOk)
        prompter_.Error(this, QString::fromLatin1(LinkErrorText(result)));
    else if (succeeded)
        succeeded();
    EndOperation();
    return result;
}

void TFormMain::EndOperation() {
    setEnabled(true);
    raise();
    activateWindow();
}

LinkError TFormMain::RunPrinterOperation(uint32_t operation, void* buffer, int32_t extra) {
    return RunSequence(operation, buffer, extra, {});
}

void TFormMain::ApplyLanguage(int languageIndex) {
    languageIndex_ = NormalizeLanguageIndex(languageIndex);
    const int charset = LanguageCharset(languageIndex_);
    for (const MainCaptionEntry& entry : MainCaptionTable()) {
        auto* control = findChild<QWidget*>(QString::fromLatin1(entry.control));
        if (!control)
            continue;
        ApplyCharset(control, charset);
        const QString text = TextFor(entry.text, languageIndex_);
        if (entry.item < 0)
            SetControlCaption(control, text);
        else
            SetControlItem(control, entry.item, text);
    }

    ShowUnitLabels(true);

    ApplyCharset(EditPrinterStatus, charset);
    EditPrinterStatus->clear();
}

void TFormMain::ShowUnitLabels(bool applyCharset) {
    const QString unit = RadioGroupUnit->ItemText(RadioGroupUnit->ItemIndex());
    for (int i = 1; i <= kUnitLabelCount; ++i) {
        if (auto* label = findChild<QLabel*>(QStringLiteral("LabelUnit%1").arg(i))) {
            if (applyCharset)
                ApplyCharset(label, LanguageCharset(languageIndex_));
            label->setText(unit);
        }
    }
}

void TFormMain::RadioGroupUnitClick() {
    ShowUnitLabels(false);
}

void TFormMain::ShowPrinterStatus(const PrinterStatus& status) {
    EditPrinterStatus->setText(TextFor(StatusWordCaption(StatusWordFor(status)), languageIndex_));
}

void TFormMain::ShowLinkSummary() {
    statusPanels_[0]->setText(FieldText(lpt_.text, sizeof lpt_.text));
    statusPanels_[1]->setText(ComSettingsSummary(com_));
}

bool TFormMain::PasswordGate() {
    return ::PasswordGate(*this).Pass();
}

void TFormMain::UseEthernetPrinter(const QString& address, int port) {
    const QByteArray text = address.toUtf8().left(sizeof net_.address - 1);
    std::memset(net_.address, 0, sizeof net_.address);
    std::memcpy(net_.address, text.constData(), static_cast<size_t>(text.size()));
    net_.port = port;
    ComboBoxInterFace->setCurrentIndex(InterfaceEthernet);
    ComboBoxInterFaceChange();
}

void TFormMain::ComboBoxLanguageChange() {
    ApplyLanguage(ComboBoxLanguage->currentIndex());
}

void TFormMain::ComboBoxInterFaceChange() {
    const InterfaceKind kind = SelectedInterface();
    ButtonInterFace->setEnabled(kind != InterfaceUsb);
    ButtonGetStatus->setEnabled(kind != InterfaceLpt);
    ButtonRead->setEnabled(kind != InterfaceLpt);
}

void TFormMain::ButtonInterFaceClick() {
    switch (SelectedInterface()) {
    case InterfaceCom: {
        TFormRs232Setup dialog(com_, languageIndex_, this);
        dialog.exec();
        break;
    }
    case InterfaceLpt: {
        TFormLPTSetup dialog(lpt_, languageIndex_, this);
        dialog.exec();
        break;
    }
    case InterfaceEthernet: {
        TFormNetSetup dialog(net_, languageIndex_, prompter_, lan_, this);
        dialog.Prepare();
        dialog.exec();
        break;
    }
    case InterfaceUsb:
        break;
    }
    ShowLinkSummary();
}

void TFormMain::ButtonGetStatusClick() {
    // The query fills its buffer as the answers come; a query that fails half-way must not
    // leave a mixed status behind, so it runs on a copy.
    PrinterStatus queried = status_;
    RunSequence(OpQueryStatus, &queried, 0, [this, &queried] {
        status_ = queried;
        ShowPrinterStatus(status_);
    });
}

void TFormMain::ButtonPasswordClick() {
    RunPasswordSetup(*this);
}

void TFormMain::ButtonEthernetClick() {
    EthernetSetupSequence sequence{link_, SelectedInterface(), netConfig_, prompter_};
    sequence.languageIndex = languageIndex_;
    sequence.anchor = DialogAnchor();
    sequence.parent = this;
    sequence.setMainWindowEnabled = [this](bool enabled) {
        if (enabled)
            EndOperation();
        else
            setEnabled(false);
    };
    sequence.passwordGate = [this] { return PasswordGate(); };
    sequence.Run();
}

void TFormMain::Timer1Timer() {
    const QDateTime now = clock_();
    statusPanels_[3]->setText(locale_.toString(now.date(), QLocale::ShortFormat) +
                              QLatin1Char(' ') +
                              locale_.toString(now.time(), LongTimeFormat(locale_)));
}
