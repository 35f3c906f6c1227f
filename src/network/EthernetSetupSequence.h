#pragma once

#include "link/LinkSettings.h"
#include "operations/PrinterNetConfig.h"

#include <QPoint>

#include <functional>

class PrinterLink;
class Prompter;
class QWidget;
class TFormEthernetSetup;

// What the main window's "Ethernet Setup" button does: reads the printer's network settings
// over the current link, lets the user edit them, and after the password gate sends the one
// change that the user confirmed. Everything it needs from the main window comes in here.
struct EthernetSetupSequence {
    PrinterLink& link;
    InterfaceKind kind;
    // The main window's record: keeps the values read and edited until the next run.
    PrinterNetConfig& config;
    Prompter& prompter;
    int languageIndex = 0;
    // The main window's dialog anchor; the progress window and the dialog go there.
    QPoint anchor;
    QWidget* parent = nullptr;
    // Disables the main window (false) or enables it and brings it to the front (true).
    std::function<void(bool enabled)> setMainWindowEnabled;
    // The password gate: true when the change may be sent.
    std::function<bool()> passwordGate;
    // Shows the dialog; the product shows it modally.
    std::function<void(TFormEthernetSetup&)> runDialog;

    void Run();

private:
    void Enable(bool enabled);
};
