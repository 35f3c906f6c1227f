#include "dispatch/PasswordCheck.h"

#include "dispatch/Dispatch.h"
#include "operations/OperationCode.h"
#include "operations/PasswordOperations.h"

#include <array>
#include <cstring>

PasswordVerdict JudgePassword(const QByteArray& printerPassword,
                              const std::optional<QByteArray>& given) {
    if (printerPassword.isEmpty())
        return PasswordVerdict::NoPassword;
    if (given && *given == printerPassword)
        return PasswordVerdict::Accepted;
    return PasswordVerdict::Refused;
}

PasswordCheck CheckPrinterPassword(PrinterLink& link, InterfaceKind kind,
                                   const std::optional<QByteArray>& given) {
    PasswordText text{};
    PasswordCheck check;
    check.code = Dispatch<Op::ReadPasswordState>(link, kind, text);
    if (check.code != LinkOk)
        return check;
    check.verdict = JudgePassword(PasswordBytes(text), given);
    return check;
}
