#include "gui/main/TFormMain.h"

#include "gui/command/CommandToolPage.h"
#include "gui/config/ConfigPage.h"
#include "gui/files/FileManagerPage.h"
#include "gui/fonts/FontManagerPage.h"
#include "gui/functions/PrinterFunctionGroup.h"

#include "dispatch/Dispatch.h"
#include "gui/config/ConfigCaptions.h"
#include "gui/kit/BusyCursor.h"
#include "gui/kit/CancelOffer.h"
#include "gui/kit/PlaceControl.h"
#include "gui/kit/Prompter.h"
#include "gui/kit/RadioGroup.h"
#include "gui/kit/WindowLook.h"
#include "gui/link/TFormLPTSetup.h"
#include "gui/link/TFormRs232Setup.h"
#include "gui/main/MainCaptions.h"
#include "gui/network/TFormEthernetSetup.h"
#include "gui/network/TFormNetSetup.h"
#include "gui/password/PasswordGate.h"
#include "gui/password/PasswordSetup.h"
#include "link/FixedText.h"
#include "link/LinkSummary.h"
#include "link/PrinterLink.h"
#include "link/ProgressWindow.h"
#include "operations/StatusWord.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
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
const char* const kPanelNames[4] = {"StatusBar1Panel0", "StatusBar1Panel1", "StatusBar1Panel2",
                                    "StatusBar1Panel3"};
constexpr int kUnitLabelCount = 9;
// The client area of a page of PageControl1.
constexpr int kPageWidth = 677;
constexpr int kPageHeight = 485;

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

    SetLinkDefaults(records_.Com, records_.Lpt, records_.Net);
    link_.SetLinkSettings(LinkSettings{&records_.Com, &records_.Lpt, &records_.Net});
    if (ProgressWindow* progress = link_.Progress())
        progress->Reset();

    SetConfigDefaults(records_.StoredConfig);
    ConfigGroup->ShowConfig(records_.StoredConfig);
    ShowLinkSummary();
    PlaceProgressWindow();
    SetNetConfigDefaults(records_.NetConfig);

    languageIndex_ = LanguageIndexForLocale(locale_);
    ComboBoxLanguage->setCurrentIndex(languageIndex_);
    ApplyLanguage(languageIndex_);
    PlaceProgressWindow();

    ProbeUsbPrinter();
    for (MainPage* page : pages_)
        page->StartupDone();
}

TFormMain::~TFormMain() = default;

void TFormMain::BuildWindow() {
    ControlKit kit(this, "FormMain", MainCaptionTable());
    setWindowTitle(QStringLiteral("Tarnvik 1.40"));
    ApplyWindowLook(this);
    setFixedSize(kClientWidth, kClientHeight);
    BuildTopRow();

    PageControl1 = kit.Add<QTabWidget>(this, "PageControl1", {4, 56, 685, 513});
    TabSheet1 = kit.AddPage(PageControl1, "TabSheet1");
    TabSheet2 = kit.AddPage(PageControl1, "TabSheet2");
    TabSheet3 = kit.AddPage(PageControl1, "TabSheet3");
    TabSheet4 = kit.AddPage(PageControl1, "TabSheet4");
    BuildFirstPage();
    BuildOtherPages();
    BuildStatusBar();
    kit.OrderTabs();
}

void TFormMain::BuildTopRow() {
    // The unit choice is captioned in the configuration group's span.
    const std::span<const CaptionEntry> frame = MainCaptionTable();
    const std::span<const CaptionEntry> config = ConfigCaptionTable();
    std::vector<CaptionEntry> captions(frame.begin(), frame.end());
    captions.insert(captions.end(), config.begin(), config.end());
    ControlKit kit(this, captions);

    GroupBoxLanguage = kit.Add<QGroupBox>(this, "GroupBoxLanguage", {7, 8, 162, 41});
    ComboBoxLanguage = kit.Add<QComboBox>(GroupBoxLanguage, "ComboBoxLanguage", {8, 12, 145, 21});
    connect(ComboBoxLanguage, &QComboBox::activated, this, &TFormMain::ComboBoxLanguageChange);

    RadioGroupUnit = kit.Add<RadioGroup>(this, "RadioGroupUnit", {176, 8, 129, 41}, 2);
    RadioGroupUnit->SetItemIndex(0);
    connect(RadioGroupUnit, &RadioGroup::Click, this, &TFormMain::RadioGroupUnitClick);

    GroupBoxInterFace = kit.Add<QGroupBox>(this, "GroupBoxInterFace", {472, 8, 209, 41});
    ComboBoxInterFace =
        kit.Add<QComboBox>(GroupBoxInterFace, "ComboBoxInterFace", {8, 12, 105, 21});
    ComboBoxInterFace->addItems({QStringLiteral("USB"), QStringLiteral("COM"),
                                 QStringLiteral("LPT"), QStringLiteral("ETHERNET")});
    ComboBoxInterFace->setCurrentIndex(InterfaceUsb);
    connect(ComboBoxInterFace, &QComboBox::activated, this, &TFormMain::ComboBoxInterFaceChange);
    ButtonInterFace = kit.Add<QPushButton>(GroupBoxInterFace, "ButtonInterFace", {128, 12, 75, 24});
    ButtonInterFace->setEnabled(false);
    connect(ButtonInterFace, &QPushButton::clicked, this, &TFormMain::ButtonInterFaceClick);
}

void TFormMain::BuildFirstPage() {
    ControlKit kit(this, MainCaptionTable());
    FunctionGroup = kit.Add<PrinterFunctionGroup>(
        TabSheet1, "PrinterFunctionGroup", {0, 0, 113, 385}, *this, records_.ForFunctionGroup());

    GroupBoxPrinterStatus =
        kit.Add<QGroupBox>(TabSheet1, "GroupBoxPrinterStatus", {0, 392, 113, 89});
    EditPrinterStatus =
        kit.Add<QLineEdit>(GroupBoxPrinterStatus, "EditPrinterStatus", {8, 24, 97, 21});
    EditPrinterStatus->setReadOnly(true);
    ButtonGetStatus =
        kit.Add<QPushButton>(GroupBoxPrinterStatus, "ButtonGetStatus", {8, 58, 97, 25});
    connect(ButtonGetStatus, &QPushButton::clicked, this, &TFormMain::ButtonGetStatusClick);

    ConfigGroup = kit.Add<ConfigPage>(TabSheet1, "ConfigPage", {120, 0, 553, 481}, *this,
                                      records_.ForConfigPage());
    // "Print Test Page" sizes its label from what the configuration page shows.
    FunctionGroup->SetConfigCollector([this](LabelSettings& into) {
        PrinterConfig collected = records_.StoredConfig;
        if (!ConfigGroup->CollectConfig(collected))
            return false;
        into = MainRecords::LabelSettingsOf(collected);
        return true;
    });
}

void TFormMain::BuildOtherPages() {
    ControlKit kit(this);
    const QRect page(0, 0, kPageWidth, kPageHeight);
    FileManager = kit.Add<FileManagerPage>(TabSheet2, "FileManagerPage", page, *this,
                                           records_.ForFileManager());
    FontManager =
        kit.Add<FontManagerPage>(TabSheet3, "FontManagerPage", page, *this, records_.ForFontPage());
    CommandTool =
        kit.Add<CommandToolPage>(TabSheet4, "CommandToolPage", page, *this, records_.Editors);
    pages_ = {FunctionGroup, ConfigGroup, FileManager, FontManager, CommandTool};
}

void TFormMain::BuildStatusBar() {
    ControlKit kit(this);
    StatusBar1 = kit.Add<QStatusBar>(
        this, "StatusBar1", {0, kClientHeight - kStatusBarHeight, kClientWidth, kStatusBarHeight});
    StatusBar1->setSizeGripEnabled(false);
    int left = 0;
    for (int i = 0; i < 4; ++i) {
        auto* panel = kit.Add<QLabel>(StatusBar1, kPanelNames[i],
                                      {left, 1, kPanelWidths[i] - 2, kStatusBarHeight - 2});
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setIndent(2);
        left += kPanelWidths[i];
        statusPanels_[i] = panel;
    }

    Timer1 = new QTimer(this);
    NameControl(Timer1, QStringLiteral("Timer1"));
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
    if (Dispatch<Op::ProbePort>(link_, SelectedInterface()) != LinkOk)
        return;
    PrinterConfig scratch = DefaultPrinterConfig();
    PlaceProgressWindow();
    if (Dispatch<Op::SendLineModeExit>(link_, SelectedInterface()) != LinkOk)
        return;
    if (Dispatch<Op::ReadConfiguration>(link_, SelectedInterface(), scratch, 0) != LinkOk)
        return;
    records_.StoredConfig = scratch;
}

LinkError TFormMain::RunExchange(const ExchangeRun& run, const LinkExchange& exchange) {
    if (operationRunning_)
        return LinkRefusedWhileRunning;
    const bool disable = run.disableWindow && !run.progressAt;
    if (disable)
        setEnabled(false);
    if (!run.progressAt) {
        PlaceProgressWindow();
    } else if (ProgressWindow* progress = link_.Progress()) {
        progress->SetProgressPosition(run.progressAt->x(), run.progressAt->y());
    }
    operationRunning_ = true;
    LinkError result;
    {
        const BusyCursor busy;
        const CancelOffer offer(link_.Waits(), link_.Progress(), languageIndex_);
        result = exchange(link_, SelectedInterface());
    }
    operationRunning_ = false;
    if (result != LinkOk && run.reportFailure)
        prompter_.Error(this, QString::fromLatin1(LinkErrorText(result)));
    else if (result == LinkOk && run.succeeded)
        run.succeeded();
    if (disable)
        EndOperation();
    return result;
}

LinkError TFormMain::RunSequence(uint32_t operation, void* buffer, int32_t extra,
                                 const std::function<void()>& succeeded) {
    return RunExchange({.succeeded = succeeded}, [&](PrinterLink& link, InterfaceKind kind) {
        return Dispatch(link, operation, kind, buffer, extra);
    });
}

void TFormMain::closeEvent(QCloseEvent* event) {
    // Closing the window during an exchange ends its wait instead of waiting it out.
    if (operationRunning_)
        link_.Waits().Cancel();
    QWidget::closeEvent(event);
}

void TFormMain::EndOperation() {
    setEnabled(true);
    raise();
    activateWindow();
}

ProgressWindow* TFormMain::Progress() {
    return link_.Progress();
}

int TFormMain::ExecDialog(QDialog& dialog) {
    return dialogRunner_ ? dialogRunner_(dialog) : dialog.exec();
}

LinkError TFormMain::RunPrinterOperation(uint32_t operation, void* buffer, int32_t extra) {
    return RunSequence(operation, buffer, extra, {});
}

LinkError TFormMain::RunQuietOperation(uint32_t operation, void* buffer,
                                       std::optional<QPoint> progressAt) {
    return RunExchange({.reportFailure = false, .progressAt = progressAt},
                       [&](PrinterLink& link, InterfaceKind kind) {
                           return Dispatch(link, operation, kind, buffer);
                       });
}

LinkError TFormMain::RunWithWindowEnabled(const LinkExchange& exchange) {
    return RunExchange({.disableWindow = false}, exchange);
}

std::vector<CaptionEntry> TFormMain::CaptionTable() const {
    // The documented order: the language group, the printer function group, the rest of the
    // frame, then the other pages.
    const std::span<const CaptionEntry> frame = MainCaptionTable();
    std::vector<CaptionEntry> table(frame.begin(), frame.begin() + kLanguageCaptions);
    const auto append = [&table](std::span<const CaptionEntry> span) {
        table.insert(table.end(), span.begin(), span.end());
    };
    append(FunctionGroup->Captions());
    append(frame.subspan(kLanguageCaptions));
    for (const MainPage* page : pages_)
        if (page != FunctionGroup)
            append(page->Captions());
    return table;
}

void TFormMain::ApplyLanguage(int languageIndex) {
    languageIndex_ = NormalizeLanguageIndex(languageIndex);
    ApplyCaptions(this, CaptionTable(), languageIndex_);

    ShowUnitLabels(true);

    ApplyCharset(EditPrinterStatus, LanguageCharset(languageIndex_));
    EditPrinterStatus->clear();
    for (MainPage* page : pages_)
        page->LanguageApplied(languageIndex_);
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
    for (MainPage* page : pages_)
        page->UnitChanged(RadioGroupUnit->ItemIndex());
}

int TFormMain::UnitIndex() const {
    return RadioGroupUnit->ItemIndex();
}

void TFormMain::SelectUnit(int unitIndex) {
    RadioGroupUnit->SetItemIndex(unitIndex);
    RadioGroupUnitClick();
}

void TFormMain::ShowPrinterStatus(const PrinterStatus& status) {
    EditPrinterStatus->setText(TextFor(StatusWordCaption(StatusWordFor(status)), languageIndex_));
    // A word longer than the edit reads from its start ("Ribbon Encode Error").
    EditPrinterStatus->setCursorPosition(0);
}

void TFormMain::ShowLinkSummary() {
    statusPanels_[0]->setText(FixedText(records_.Lpt.text, FixedTextKind::Local));
    // The panel keeps its width; the whole summary is its tool tip.
    statusPanels_[1]->setText(ComSettingsSummary(records_.Com));
    statusPanels_[1]->setToolTip(statusPanels_[1]->text());
}

PasswordGateOutcome TFormMain::PasswordGate() {
    return ::PasswordGate(*this);
}

void TFormMain::UseEthernetPrinter(const QString& address, int port) {
    // A discovered printer's address is an IPv4 text, which always fits.
    [[maybe_unused]] const FixedTextResult stored =
        StoreFixedText(records_.Net.address, address, FixedTextKind::Local);
    Q_ASSERT(stored == FixedTextResult::Stored);
    records_.Net.port = port;
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
    for (MainPage* page : pages_)
        page->InterfaceChanged(kind);
}

void TFormMain::ButtonInterFaceClick() {
    switch (SelectedInterface()) {
    case InterfaceCom: {
        TFormRs232Setup dialog(records_.Com, languageIndex_, this);
        ExecDialog(dialog);
        break;
    }
    case InterfaceLpt: {
        TFormLPTSetup dialog(records_.Lpt, languageIndex_, this);
        ExecDialog(dialog);
        break;
    }
    case InterfaceEthernet: {
        TFormNetSetup dialog(records_.Net, languageIndex_, prompter_, lan_, this);
        dialog.SetEthernetDialogRunner(
            [this](TFormEthernetSetup& ethernet) { ExecDialog(ethernet); });
        dialog.Prepare();
        ExecDialog(dialog);
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
    PrinterStatus queried = records_.Status;
    RunSequence(OpQueryStatus, &queried, 0, [this, &queried] {
        records_.Status = queried;
        ShowPrinterStatus(records_.Status);
    });
}

void TFormMain::Timer1Timer() {
    const QDateTime now = clock_();
    statusPanels_[3]->setText(locale_.toString(now.date(), QLocale::ShortFormat) +
                              QLatin1Char(' ') +
                              locale_.toString(now.time(), LongTimeFormat(locale_)));
}
