#pragma once

#include "operations/PasswordText.h"

#include <QDialog>

class Prompter;
class QLineEdit;
class QPushButton;

// What the password dialog ended with.
enum class PasswordEntry {
    Open,      // not closed by OK or Cancel
    Accepted,  // OK with the printer's password
    Cancelled, // Cancel or Escape
};

// Asks for the printer's password and keeps the dialog open until the typed text is the
// password or the user gives up.
class TFormPassword : public QDialog {
    Q_OBJECT
public:
    TFormPassword(const PasswordText& printerPassword, int languageIndex, Prompter& prompter,
                  const QPoint& position, QWidget* parent = nullptr);

    PasswordEntry Outcome() const { return outcome_; }

    void ButtonOKClick();
    void ButtonCancelClick();

    QLineEdit* EditPassword;
    QPushButton* ButtonOK;
    QPushButton* ButtonCancel;

protected:
    // Escape gives up as Cancel does.
    void reject() override;

private:
    const PasswordText& printerPassword_;
    Prompter& prompter_;
    PasswordEntry outcome_ = PasswordEntry::Open;
};
