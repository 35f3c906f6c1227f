#pragma once

class OperationHost;

// How a run of the gate ended.
enum class PasswordGateOutcome {
    NoPassword, // the printer has none: no dialog was shown
    Accepted,   // the user typed the printer's password
    Cancelled,  // the user gave up in the dialog
    ReadFailed, // the printer's password could not be read; its error was shown
};

// Whether the guarded action may go on after that outcome.
constexpr bool GateAllows(PasswordGateOutcome outcome) {
    return outcome == PasswordGateOutcome::NoPassword || outcome == PasswordGateOutcome::Accepted;
}

// Stands before every action that changes the printer: reads the printer's password and,
// when there is one, lets the action go on only after the user typed it.
PasswordGateOutcome PasswordGate(OperationHost& host);
