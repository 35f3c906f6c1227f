#pragma once

#include "gui/functions/FunctionRecords.h"
#include "gui/kit/MainPage.h"

#include <functional>

class QGroupBox;
class QPushButton;

// The "Printer Function" group of the first page: one button per printer function, each
// running its operation (behind the password gate where it changes the printer).
class PrinterFunctionGroup : public MainPage {
    Q_OBJECT
public:
    PrinterFunctionGroup(OperationHost& host, FunctionRecords records, QWidget* parent);

    std::span<const CaptionEntry> Captions() const override;

    void ButtonPasswordClick();
    // Reads the printer's network settings, lets the user edit them and, behind the password
    // gate, sends the one change that was confirmed. What was read and edited stays in the
    // records for the next run.
    void ButtonEthernetClick();

    // The direct printer functions, the clock, dump text and the sensor calibration.
    void ButtonSensorCalibrateClick();
    void ButtonRTCSetTimeClick();
    void ButtonInitialClick();
    void ButtonRestPrinterClick();
    void ButtonTestPaternClick();
    void ButtonSelfTestClick();
    void ButtonDumpClick();
    void ButtonIgnoreAutoClick();
    void ButtonLineModeOutClick();

    // Collects the configuration page's label size into a copy of the stored settings, the
    // typed sizes converted with the stored resolution; false when a field did not convert
    // (the page has said why). "Print Test Page" takes the paper size from it; without one
    // it takes the stored configuration's.
    using ConfigCollector = std::function<bool(LabelSettings& into)>;
    void SetConfigCollector(ConfigCollector collector) { collectConfig_ = std::move(collector); }

    void UnitChanged(int unitIndex) override { unitIndex_ = unitIndex; }
    // Captions longer than the buttons' fixed width get a smaller font.
    void LanguageApplied(int languageIndex) override;

    QGroupBox* GroupBoxPrinterFunction;
    QPushButton* ButtonSensorCalibrate;
    QPushButton* ButtonEthernet;
    QPushButton* ButtonRTCSetTime;
    QPushButton* ButtonInitial;
    QPushButton* ButtonRestPrinter;
    QPushButton* ButtonTestPatern;
    QPushButton* ButtonSelfTest;
    QPushButton* ButtonDump;
    QPushButton* ButtonIgnoreAuto;
    QPushButton* ButtonLineModeOut;
    QPushButton* ButtonPassword;

protected:
    FunctionRecords& Records() { return records_; }

private:
    void FetchDumpFile();

    ConfigCollector collectConfig_;
    int unitIndex_ = 0; // of the main window's "Unit": 0 inch, 1 mm

    FunctionRecords records_;
};
