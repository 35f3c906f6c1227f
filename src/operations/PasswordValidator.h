#pragma once

#include <QValidator>

// Refuses a password edit text that would not fit the printer's 1 023-byte password.
class PasswordValidator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override;
};
