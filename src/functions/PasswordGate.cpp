#include "functions/PasswordGate.h"

#include "app/OperationHost.h"
#include "functions/TFormPassword.h"
#include "operations/OperationCode.h"

bool PasswordGate::Pass() {
    PasswordText password{};
    if (host_.RunPrinterOperation(OpReadPasswordState, password.data()) != LinkOk)
        return false;
    password.back() = '\0';
    if (password[0] == '\0')
        return true;

    TFormPassword dialog(password, host_.LanguageIndex(), host_.Prompts(), host_.DialogAnchor(),
                         host_.HostWindow());
    // The buffer alone cannot tell: a printer whose password is "pass" would be let through
    // by a dialog that was closed without OK.
    const bool accepted = dialog.exec() == QDialog::Accepted;
    return accepted && PasswordBytes(password) == "pass";
}
