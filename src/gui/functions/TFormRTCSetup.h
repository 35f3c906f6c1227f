#pragma once

#include "operations/ClockRecords.h"

#include <QDateTime>
#include <QDialog>

#include <cstdint>
#include <functional>

class Prompter;
class QLabel;
class QLineEdit;
class QPushButton;

// Shows the printer clock for editing. Writes into the caller's clock and set flag directly:
// "Get System Time" puts the PC's local time there at once, "Set" stores each edit as it
// converts and raises the flag, "Cancel" lowers it. Only "Set" and "Cancel" close it.
class TFormRTCSetup : public QDialog {
    Q_OBJECT
public:
    using LocalClock = std::function<QDateTime()>;

    TFormRTCSetup(PrinterClock& clock, uint8_t& setFlag, int languageIndex, Prompter& prompter,
                  LocalClock localClock, const QPoint& position, QWidget* parent = nullptr);

    void ButtonSetSysTimeClick();
    void ButtonSetClick();
    void ButtonCancelClick();

    QLabel* LabelYear;
    QLabel* LabelMonth;
    QLabel* LabelDate;
    QLabel* LabelHour;
    QLabel* LabelMinute;
    QLabel* LabelSecond;
    QLineEdit* EditYear;
    QLineEdit* EditMonth;
    QLineEdit* EditDate;
    QLineEdit* EditHour;
    QLineEdit* EditMinute;
    QLineEdit* EditSecond;
    QPushButton* ButtonSetSysTime;
    QPushButton* ButtonSet;
    QPushButton* ButtonCancel;

protected:
    // Neither Escape nor the window manager closes it.
    void reject() override {}

private:
    void ShowClock();

    PrinterClock& clock_;
    uint8_t& setFlag_;
    Prompter& prompter_;
    LocalClock localClock_;
};
