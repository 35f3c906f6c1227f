#include "operations/PasswordValidator.h"

#include "operations/PasswordText.h"

QValidator::State PasswordValidator::validate(QString& input, int&) const {
    return input.toUtf8().size() <= kPasswordMaxLength ? Acceptable : Invalid;
}
