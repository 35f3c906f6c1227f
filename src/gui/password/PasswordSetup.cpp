#include "gui/password/PasswordSetup.h"

#include "gui/kit/OperationHost.h"
#include "gui/password/TFormPasswordSetup.h"
#include "operations/OperationCode.h"

void RunPasswordSetup(OperationHost& host) {
    PasswordText current{};
    if (host.Run<Op::ReadPasswordState>(current) != LinkOk)
        return;
    current.back() = '\0';

    PasswordText next = current;
    {
        TFormPasswordSetup dialog(next, host.LanguageIndex(), host.Prompts(), host.DialogAnchor(),
                                  host.HostWindow());
        host.ExecDialog(dialog);
    }
    // Cancel, or a new password equal to the old one: nothing to send.
    if (PasswordBytes(next) == PasswordBytes(current))
        return;
    host.Run<Op::SetPassword>(next);
}
