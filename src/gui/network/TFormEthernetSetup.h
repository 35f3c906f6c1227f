#pragma once

#include "operations/PrinterNetConfig.h"

#include <QDialog>

class Prompter;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Ethernet Setup": edits one printer's network settings in the caller's PrinterNetConfig
// and reports which change the user confirmed (action 0 "Set IP", 1 "Set Printer Name";
// apply 1). It sends nothing itself.
class TFormEthernetSetup : public QDialog {
    Q_OBJECT

public:
    // Shown at (left, top) on the caller's record, which it updates in place. The captions
    // follow languageIndex (0 English, 1 Traditional Chinese, 2 Simplified Chinese). Texts
    // the printer cannot take are refused through the prompter, and the dialog stays open.
    TFormEthernetSetup(int left, int top, bool showNameAndMac, PrinterNetConfig& config,
                       int languageIndex, Prompter& prompter, QWidget* parent = nullptr);

    void RadioGroupDHCPClick();
    void ButtonSetIPClick();
    void ButtonSetPrinterNameClick();
    void ButtonCancelClick();

    // The radio group's item index: 0 "DHCP", 1 "Static IP".
    int DhcpItemIndex() const;
    void SetDhcpItemIndex(int index);

    // The most a printer name may have.
    static constexpr int kPrinterNameLength = 15;

private:
    void BuildControls();
    void EnableAddressEdits();
    // Stores an edit's text in its field of the record; a text the field cannot hold whole
    // is refused with a message naming the field (the label's caption).
    bool StoreTyped(char* field, size_t capacity, const QLineEdit* edit, const QLabel* label);

    PrinterNetConfig& config_;
    PrinterNetConfig working_;
    Prompter& prompter_;
    int languageIndex_;

    QGroupBox* RadioGroupDHCP = nullptr;
    QButtonGroup* dhcpItems_ = nullptr;
    QRadioButton* dhcpItem_ = nullptr;
    QRadioButton* staticItem_ = nullptr;
    QLabel* LabelIP = nullptr;
    QLineEdit* EditIP = nullptr;
    QLabel* LabelMask = nullptr;
    QLineEdit* EditMask = nullptr;
    QLabel* LabelGateWay = nullptr;
    QLineEdit* EditGateWay = nullptr;
    QLabel* LabelPrinterName = nullptr;
    QLineEdit* EditPrinterName = nullptr;
    QLabel* LabelMACAddr = nullptr;
    QLineEdit* EditMACAddr = nullptr;
    QPushButton* ButtonSetIP = nullptr;
    QPushButton* ButtonSetPrinterName = nullptr;
    QPushButton* ButtonCancel = nullptr;
};
