#pragma once

#include "link/LinkSettings.h"

#include <QDialog>

class QComboBox;
class QPushButton;

// The parallel link's port: "LPT1" to "LPT4". "Set" writes the choice, "Cancel" does not.
class TFormLPTSetup : public QDialog {
    Q_OBJECT
public:
    static constexpr int kLptPortCount = 4;

    TFormLPTSetup(LptPortName& port, int languageIndex, QWidget* parent = nullptr);

    void ButtonSetClick();
    void ButtonCancelClick();

    QComboBox* ComboBoxLPT;
    QPushButton* ButtonSet;
    QPushButton* ButtonCancel;

private:
    LptPortName& port_;
};
