#pragma once

#include "operations/PasswordText.h"

#include <QDialog>

class Prompter;
class QLabel;
class QLineEdit;
class QPushButton;

// Changes the printer's password: the buffer holds the current password on opening and the
// new one after OK with the right old password. Cancel leaves it as it was.
class TFormPasswordSetup : public QDialog {
    Q_OBJECT
public:
    TFormPasswordSetup(PasswordText& buffer, int languageIndex, Prompter& prompter,
                       const QPoint& position, QWidget* parent = nullptr);

    void ButtonOKClick();
    void ButtonCancelClick();

    QLabel* LabelOldPassword;
    QLabel* LabelNewPassword;
    QLineEdit* EditOldPassword;
    QLineEdit* EditNewPassword;
    QPushButton* ButtonOK;
    QPushButton* ButtonCancel;

private:
    PasswordText& buffer_;
    Prompter& prompter_;
};
