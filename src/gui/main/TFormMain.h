#pragma once

#include "config/PrinterConfig.h"
#include "gui/kit/Captions.h"
#include "gui/kit/OperationHost.h"
#include "gui/main/MainRecords.h"
#include "gui/password/PasswordGate.h"
#include "link/LinkSettings.h"
#include "network/LanClient.h"
#include "operations/PrinterNetConfig.h"
#include "operations/PrinterStatus.h"

#include <QDateTime>
#include <QLocale>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class CommandToolPage;
class ConfigPage;
class FileManagerPage;
class FontManagerPage;
class MainPage;
class PrinterFunctionGroup;
class PrinterLink;
class ProgressWindow;
class Prompter;
class QDialog;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTimer;
class RadioGroup;

// The program's one window: language, unit and link choice along the top, the four pages,
// the status bar with the clock. Its construction runs the start-up sequence, including a
// silent read of the configuration of a printer on USB.
class TFormMain : public QWidget, public OperationHost {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    // `locale` chooses the first language and formats the clock; `clock` gives the local
    // date and time (the system clock when empty); `lan` is where the network dialog looks
    // for printers (the product's broadcast and multicast targets by default).
    TFormMain(PrinterLink& link, Prompter& prompter, const QLocale& locale, Clock clock = {},
              LanClientSettings lan = {}, QWidget* parent = nullptr);
    ~TFormMain() override;

    LinkError RunWithWindowEnabled(const LinkExchange& exchange) override;
    QPoint DialogAnchor() const override;
    int LanguageIndex() const override { return languageIndex_; }
    Prompter& Prompts() override { return prompter_; }
    QWidget* HostWindow() override { return this; }
    int ExecDialog(QDialog& dialog) override;
    QDateTime LocalDateTime() const override { return clock_(); }

    // Replaces how modal dialogs run (tests answer them in the user's place); an empty
    // runner restores QDialog::exec.
    using DialogRunner = std::function<int(QDialog&)>;
    void SetDialogRunner(DialogRunner runner) { dialogRunner_ = std::move(runner); }

    // Rewrites the captions of the main window in the language.
    void ApplyLanguage(int languageIndex);
    // The whole caption table in the order ApplyLanguage applies it: the frame's span, then
    // each page's.
    std::vector<CaptionEntry> CaptionTable() const;
    int UnitIndex() const override;
    void SelectUnit(int unitIndex) override;
    // Writes the status word of the status into the status edit, in the current language.
    void ShowPrinterStatus(const PrinterStatus& status) override;
    // Rewrites status-bar panels 0 (parallel port) and 1 (serial settings).
    void ShowLinkSummary();
    // The password gate on this window's link and dialogs.
    PasswordGateOutcome PasswordGate();

    InterfaceKind SelectedInterface() const;
    MainRecords& Records() { return records_; }
    ComSettings& Com() { return records_.Com; }
    LptPortName& Lpt() { return records_.Lpt; }
    NetSettings& Net() { return records_.Net; }
    PrinterStatus& Status() { return records_.Status; }
    PrinterConfig& StoredConfig() { return records_.StoredConfig; }
    PrinterNetConfig& NetConfig() { return records_.NetConfig; }
    PrinterLink& Link() { return link_; }
    // The working directory at start-up, the first folder of the file dialogs.
    const QString& StartupDirectory() const override { return startupDirectory_; }
    ProgressWindow* Progress() override;
    QString StatusPanelText(int panel) const;

    // Points the Ethernet link at a printer and selects it, as the user would in the
    // interface list and the network dialog.
    void UseEthernetPrinter(const QString& address, int port);

    // Event handlers.
    void ComboBoxLanguageChange();
    // Unit labels of the configuration page follow the chosen unit; the numbers are not
    // converted.
    void RadioGroupUnitClick();
    void ComboBoxInterFaceChange();
    void ButtonInterFaceClick();
    void ButtonGetStatusClick();
    void Timer1Timer();

    // Controls, named as their objectName.
    QGroupBox* GroupBoxLanguage;
    QComboBox* ComboBoxLanguage;
    RadioGroup* RadioGroupUnit;
    QGroupBox* GroupBoxInterFace;
    QComboBox* ComboBoxInterFace;
    QPushButton* ButtonInterFace;
    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
    QWidget* TabSheet4;
    QGroupBox* GroupBoxPrinterStatus;
    QLineEdit* EditPrinterStatus;
    QPushButton* ButtonGetStatus;
    QStatusBar* StatusBar1;
    QTimer* Timer1;

    // The pages, each built into its place.
    PrinterFunctionGroup* FunctionGroup;
    ConfigPage* ConfigGroup;
    FileManagerPage* FileManager;
    FontManagerPage* FontManager;
    CommandToolPage* CommandTool;

protected:
    void closeEvent(QCloseEvent* event) override;
    LinkError RunPrinterOperation(uint32_t operation, void* buffer, int32_t extra = 0) override;
    LinkError RunQuietOperation(uint32_t operation, void* buffer,
                                std::optional<QPoint> progressAt = std::nullopt) override;

private:
    void BuildWindow();
    void BuildTopRow();
    void BuildFirstPage();
    void BuildOtherPages();
    void BuildStatusBar();
    void PlaceProgressWindow();
    void ShowUnitLabels(bool applyCharset);
    void ProbeUsbPrinter();
    // How one exchange runs. Every exchange is refused while another runs, and runs with the
    // busy cursor and the cancel offer.
    struct ExchangeRun {
        // The window is disabled for the exchange, then enabled, raised and activated.
        bool disableWindow = true;
        // A failure is shown with its message.
        bool reportFailure = true;
        // A dialog's own read: the progress window shows here and the main window stays as
        // it is (nothing disabled).
        std::optional<QPoint> progressAt;
        // Runs on result 0, before the window is enabled.
        std::function<void()> succeeded;
    };
    LinkError RunExchange(const ExchangeRun& run, const LinkExchange& exchange);
    // The handler sequence of one numbered operation.
    LinkError RunSequence(uint32_t operation, void* buffer, int32_t extra,
                          const std::function<void()>& succeeded);
    void EndOperation();

    PrinterLink& link_;
    Prompter& prompter_;
    QLocale locale_;
    Clock clock_;
    int languageIndex_ = 0;
    QString startupDirectory_;
    MainRecords records_;
    LanClientSettings lan_;
    std::array<QLabel*, 4> statusPanels_{};
    // In the order their caption spans are applied.
    std::array<MainPage*, 5> pages_{};
    DialogRunner dialogRunner_;
    // An operation is running; the window may be enabled meanwhile (the command tool's
    // sends), and the link serves one operation at a time.
    bool operationRunning_ = false;
};
