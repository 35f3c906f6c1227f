#pragma once

#include "link/LinkSettings.h"

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;
class QPushButton;

// The serial link's settings. Lists "COM1" to "COM30", then the serial devices present on
// this machine; "Set" writes the choice into the record, "Cancel" leaves it alone.
class TFormRs232Setup : public QDialog {
    Q_OBJECT
public:
    static constexpr int kComPortCount = 30;

    // `devices`: device paths offered after the COM names, as SerialDevicesPresent gives.
    TFormRs232Setup(ComSettings& settings, int languageIndex, QWidget* parent = nullptr,
                    const QStringList& devices = SerialDevicesPresent());

    // The serial devices of this machine (ttyUSB, ttyACM, ttyS), by path, whose path fits the
    // port name record.
    static QStringList SerialDevicesPresent();

    void ButtonSetClick();
    void ButtonCancelClick();

    QLabel* LabelComPort;
    QLabel* LabelBaudRate;
    QLabel* LabelDataBits;
    QLabel* LabelParityCheck;
    QLabel* LabelStopBits;
    QLabel* LabelHardwareS;
    QLabel* LabelSoftwareS;
    QComboBox* ComboBoxComPort;
    QComboBox* ComboBoxBaudRate;
    QComboBox* ComboBoxDataBit;
    QComboBox* ComboBoxParity;
    QComboBox* ComboBoxStopBit;
    QComboBox* ComboBoxHdShak;
    QComboBox* ComboBoxSWShak;
    QPushButton* ButtonSet;
    QPushButton* ButtonCancel;

private:
    void ShowSettings();

    ComSettings& settings_;
    QStringList devices_;
};
