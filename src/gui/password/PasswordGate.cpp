#include "gui/password/PasswordGate.h"

#include "dispatch/PasswordCheck.h"
#include "gui/kit/OperationHost.h"
#include "gui/password/TFormPassword.h"

PasswordGateOutcome PasswordGate(OperationHost& host) {
    PasswordText password{};
    if (host.Run<Op::ReadPasswordState>(password) != LinkOk)
        return PasswordGateOutcome::ReadFailed;
    if (JudgePassword(PasswordBytes(password), std::nullopt) == PasswordVerdict::NoPassword)
        return PasswordGateOutcome::NoPassword;

    TFormPassword dialog(password, host.LanguageIndex(), host.Prompts(), host.DialogAnchor(),
                         host.HostWindow());
    // A dialog closed any other way than by OK after the right password lets nothing through.
    const bool accepted = host.ExecDialog(dialog) == QDialog::Accepted;
    return accepted && dialog.Outcome() == PasswordEntry::Accepted ? PasswordGateOutcome::Accepted
                                                                   : PasswordGateOutcome::Cancelled;
}
