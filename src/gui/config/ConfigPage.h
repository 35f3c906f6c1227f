#pragma once

#include "config/PrinterConfig.h"
#include "gui/config/ConfigPageRecords.h"
#include "gui/kit/MainPage.h"

#include <QString>

#include <vector>

class QGroupBox;
class QPushButton;
class QTabWidget;

// The "Printer Configuration" group of the first page: the printer information, the four
// tabs of settings and the Read, Set, Clear, Save and Load buttons. The page is a view of
// the stored configuration: Read, Clear and Load replace and show it, Set sends the page
// for the active tab, Save keeps the page in a ".dcf" file.
//
// One table of field, control and rule (kFields, in the record's order) connects the record
// with its controls; ShowConfig and CollectConfig walk it. Number texts are those of
// numbers/NumberText in the session's locale; the speed edit also takes "," as the decimal
// separator. Lengths kept in whole dots are collected to the nearest dot, so writing back an
// untouched page does not move them. Edits with a typing limit show longer texts in full:
// the limit follows a longer shown text down as the user edits it.
class ConfigPage : public MainPage {
    Q_OBJECT
public:
    ConfigPage(OperationHost& host, ConfigPageRecords records, QWidget* parent);

    std::span<const CaptionEntry> Captions() const override;
    void InterfaceChanged(InterfaceKind kind) override;
    void StartupDone() override;

    // Writes the record into the controls, lengths in the chosen unit with the record's
    // own resolution.
    void ShowConfig(const PrinterConfig& config);
    // Reads the controls of all four tabs into the record (which must already hold a
    // resolution: the stored configuration or a copy of it) and sets InchUnit from the
    // unit choice. Stops at the first edit that does not convert, shows the conversion
    // message and returns false; fields before it are already changed.
    bool CollectConfig(PrinterConfig& into);

    // Event handlers.
    void ButtonReadClick();
    void ButtonConfigSetClick();
    void ButtonClearClick();
    void ButtonSaveClick();
    void ButtonLoadClick();

    QGroupBox* GroupBoxPrintreConfig;
    QGroupBox* GroupBoxPrinterInfo;
    QTabWidget* PageControl2;
    QWidget* TabSheet5; // "Common"
    QWidget* TabSheet6; // "Z"
    QWidget* TabSheet7; // "D"
    QWidget* TabSheet8; // "Interface"
    QPushButton* ButtonRead;
    QPushButton* ButtonConfigSet;
    QPushButton* ButtonClear;
    QPushButton* ButtonSave;
    QPushButton* ButtonLoad;

protected:
    ConfigPageRecords& Records() { return records_; }

private:
    void BuildInformation();
    void BuildCommonTab();
    void BuildZTab();
    void BuildDTab();
    void BuildInterfaceTab();
    // The record's dots per inch or per millimetre, by the unit choice.
    double UnitFactor(const PrinterConfig& config);

    // The control of each entry of the field table, in table order.
    std::vector<QWidget*> fieldControls_;
    // The name the save dialog proposes: the last one chosen.
    QString lastSaveName_;

    ConfigPageRecords records_;
};
