#include "functions/PasswordGate.h"

#include "functions/TFormPassword.h"
#include "operations/OperationCode.h"
#include "ui/OperationHost.h"

bool PasswordGate(OperationHost& host) {
    PasswordText password{};
    if (host.RunPrinterOperation(OpReadPasswordState, password.data()) != LinkOk)
        return false;
    password.back() = '\0';
    if (password[0] == '\0')
        return true;

    TFormPassword dialog(password, host.LanguageIndex(), host.Prompts(), host.DialogAnchor(),
                         host.HostWindow());
    // The buffer alone cannot tell: a printer whose password is "pass" would be let through
    // by a dialog that was closed without OK.
    const bool accepted = host.ExecDialog(dialog) == QDialog::Accepted;
    return accepted && PasswordBytes(password) == "pass";
}
