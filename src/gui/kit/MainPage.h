#pragma once

#include "gui/kit/Captions.h"
#include "link/LinkSettings.h"

#include <QWidget>

#include <span>

class OperationHost;

// A part of the main window with controls and handlers of its own: the configuration
// group, the file manager, the bitmap font manager, the command tool, the printer function
// group. The main window builds each into its place, hands it the host and the records it needs,
// and applies its span of the caption table after its own, in the documented order.
class MainPage : public QWidget {
    Q_OBJECT
public:
    MainPage(OperationHost& host, QWidget* parent);

    // This page's entries of the main window's caption table, in order.
    virtual std::span<const CaptionEntry> Captions() const { return {}; }
    // Called by ApplyLanguage after the whole caption table was applied, for what a table
    // cannot say (labels that follow another control, edits that are cleared).
    virtual void LanguageApplied(int /*languageIndex*/) {}
    // Called when the "Unit" choice of the main window changed (0 inch, 1 mm).
    virtual void UnitChanged(int /*unitIndex*/) {}
    // Called when another link kind was chosen in the interface list.
    virtual void InterfaceChanged(InterfaceKind /*kind*/) {}
    // Called once the window's start-up has filled the records (defaults, the silent USB
    // read), so the page can show them.
    virtual void StartupDone() {}

protected:
    OperationHost& Host() { return host_; }

private:
    OperationHost& host_;
};
