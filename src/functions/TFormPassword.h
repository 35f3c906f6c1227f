#pragma once

#include "functions/PasswordText.h"

#include <QDialog>

class Prompter;
class QLineEdit;
class QPushButton;

// Asks for the printer's password. Writes "pass" into the buffer when the typed text equals
// the password it holds, "fail" when the user gives up.
class TFormPassword : public QDialog {
    Q_OBJECT
public:
    TFormPassword(PasswordText& buffer, int languageIndex, Prompter& prompter,
                  const QPoint& position, QWidget* parent = nullptr);

    void ButtonOKClick();
    void ButtonCancelClick();

    QLineEdit* EditPassword;
    QPushButton* ButtonOK;
    QPushButton* ButtonCancel;

protected:
    // Escape gives up as Cancel does.
    void reject() override;

private:
    PasswordText& buffer_;
    Prompter& prompter_;
};
