#pragma once

#include "ui/MainPage.h"

class QGroupBox;
class QPushButton;

// The "Printer Function" group of the first page: one button per printer function, each
// running its operation (behind the password gate where it changes the printer).
class PrinterFunctionGroup : public MainPage {
    Q_OBJECT
public:
    PrinterFunctionGroup(OperationHost& host, MainRecords& records, QWidget* parent);

    void ButtonPasswordClick();
    // Reads the printer's network settings, lets the user edit them and, behind the password
    // gate, sends the one change that was confirmed. What was read and edited stays in the
    // records for the next run.
    void ButtonEthernetClick();

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
};
