#include "functions/PasswordValidator.h"

#include "functions/PasswordText.h"

QValidator::State PasswordValidator::validate(QString& input, int&) const {
    return input.toUtf8().size() <= kPasswordMaxLength ? Acceptable : Invalid;
}
