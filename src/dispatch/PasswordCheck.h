#pragma once

#include "link/LinkSettings.h"
#include "operations/LinkError.h"

#include <QByteArray>

#include <optional>

class PrinterLink;

// How a password given for a change fares against the printer's own one.
enum class PasswordVerdict {
    NoPassword, // the printer has none: the change may go on without one
    Accepted,   // the given password equals the printer's, byte for byte
    Refused,    // none given, a different one given, or the printer could not be asked
};

// The guard's decision on the printer's current password (empty: it has none) and the
// password given (nullopt: none). Case-sensitive, byte for byte.
PasswordVerdict JudgePassword(const QByteArray& printerPassword,
                              const std::optional<QByteArray>& given);

struct PasswordCheck {
    LinkError code = LinkOk; // the code of the password read; not 0: refused
    PasswordVerdict verdict = PasswordVerdict::Refused;

    bool Allows() const { return verdict != PasswordVerdict::Refused; }
};

// Reads the printer's password with operation 2 and judges the given one against it.
PasswordCheck CheckPrinterPassword(PrinterLink& link, InterfaceKind kind,
                                   const std::optional<QByteArray>& given);
