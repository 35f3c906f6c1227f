#pragma once

#include "link/LinkSettings.h"
#include "operations/LinkError.h"
#include "operations/TypedOperations.h"

#include <QDateTime>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

class PrinterLink;
class ProgressWindow;
class Prompter;
class QDialog;
struct PrinterStatus;
class QWidget;

// What a page or dialog needs of the main window to run printer operations: the handler
// sequence, where dialogs open, the language, the prompts and the one place where modal
// dialogs run. The main window is the product's host; tests provide their own.
class OperationHost {
public:
    virtual ~OperationHost() = default;

    // The typed handler sequence: the operation's tag picks its code and the buffer it takes,
    // so a call with the wrong record does not compile.
    //   PrinterClock clock{};
    //   Host().Run<Op::SetClock>(clock);
    template <class O, class... Args> LinkError Run(Args&&... args) {
        const OperationCall call = CallOf<O>(std::forward<Args>(args)...);
        return RunPrinterOperation(call.operation, call.buffer, call.extra);
    }
    // The quiet form (RunQuietOperation) for the reads whose outcome the caller judges itself.
    template <PlainRecordOperation O>
    LinkError RunQuiet(typename O::Buffer& buffer,
                       std::optional<QPoint> progressAt = std::nullopt) {
        const OperationCall call = CallOf<O>(buffer);
        return RunQuietOperation(call.operation, call.buffer, progressAt);
    }

    // An exchange with the printer on the chosen link: a dispatched operation, or the
    // command tool's send that also collects the printer's answers.
    using LinkExchange = std::function<LinkError(PrinterLink& link, InterfaceKind kind)>;
    // Runs the exchange as RunPrinterOperation runs an operation (progress window placed,
    // failure text shown) but leaves the window enabled: the command tool's sends. While
    // any operation runs, a second one is refused with 5 and nothing shown. A host that
    // reaches no link (a test's) refuses every exchange the same way.
    virtual LinkError RunWithWindowEnabled(const LinkExchange& /*exchange*/) {
        return LinkUnknownError;
    }
    // Top-left corner for dialogs and the progress window.
    virtual QPoint DialogAnchor() const = 0;
    virtual int LanguageIndex() const = 0;
    virtual Prompter& Prompts() = 0;
    // The window that dialogs belong to.
    virtual QWidget* HostWindow() = 0;
    // Runs a modal dialog and gives its result (QDialog::Accepted or Rejected). Every modal
    // dialog of the program is run here, so tests answer dialogs without timers.
    virtual int ExecDialog(QDialog& dialog) = 0;

    // The "Unit" choice of the window: 0 inch, 1 mm. Hosts without one work in inch.
    virtual int UnitIndex() const { return 0; }
    // Selects a unit as a click on it does (the unit labels follow).
    virtual void SelectUnit(int /*unitIndex*/) {}
    // Writes the status word of the status where the window shows it.
    virtual void ShowPrinterStatus(const PrinterStatus& /*status*/) {}

    // The PC's local date and time.
    virtual QDateTime LocalDateTime() const { return QDateTime::currentDateTime(); }
    // The working directory at start-up.
    virtual const QString& StartupDirectory() const {
        static const QString none;
        return none;
    }
    // The progress window, for work that shows it without a printer operation (the font
    // maker); may be absent.
    virtual ProgressWindow* Progress() { return nullptr; }

protected:
    // Disables the window, places the progress window, dispatches on the chosen link,
    // shows the error text of a failure, re-enables the window; returns the code. Pages and
    // dialogs call it through Run.
    virtual LinkError RunPrinterOperation(uint32_t operation, void* buffer, int32_t extra = 0) = 0;
    // Runs an operation whose outcome the caller judges itself: as RunPrinterOperation, but a
    // failure shows nothing. Given a position, the progress window goes there and the window
    // is left as it is (the reads a dialog makes on its own). Hosts without a quiet way fall
    // back to RunPrinterOperation. Called through RunQuiet.
    virtual LinkError RunQuietOperation(uint32_t operation, void* buffer,
                                        std::optional<QPoint> progressAt = std::nullopt) {
        (void)progressAt;
        return RunPrinterOperation(operation, buffer);
    }
};
