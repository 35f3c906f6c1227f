#pragma once

#include "operations/LinkError.h"

#include <QPoint>
#include <QString>

#include <cstdint>

class ProgressWindow;
class Prompter;
class QDialog;
class QWidget;

// What a page or dialog needs of the main window to run printer operations: the handler
// sequence, where dialogs open, the language, the prompts and the one place where modal
// dialogs run. The main window is the product's host; tests provide their own.
class OperationHost {
public:
    virtual ~OperationHost() = default;

    // Disables the window, places the progress window, dispatches on the chosen link,
    // shows the error text of a failure, re-enables the window; returns the code.
    virtual LinkError RunPrinterOperation(uint32_t operation, void* buffer, int32_t extra = 0) = 0;
    // Top-left corner for dialogs and the progress window.
    virtual QPoint DialogAnchor() const = 0;
    virtual int LanguageIndex() const = 0;
    virtual Prompter& Prompts() = 0;
    // The window that dialogs belong to.
    virtual QWidget* HostWindow() = 0;
    // Runs a modal dialog and gives its result (QDialog::Accepted or Rejected). Every modal
    // dialog of the program is run here, so tests answer dialogs without timers.
    virtual int ExecDialog(QDialog& dialog) = 0;
    // The working directory at start-up.
    virtual const QString& StartupDirectory() const {
        static const QString none;
        return none;
    }
    // The progress window, for work that shows it without a printer operation (the font
    // maker); may be absent.
    virtual ProgressWindow* Progress() { return nullptr; }
};
