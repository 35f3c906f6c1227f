#pragma once

class OperationHost;

// Stands before every action that changes the printer: reads the printer's password and,
// when there is one, lets the action go on only after the user typed it. True when the
// action may go on; a failed read has shown its error and refuses.
bool PasswordGate(OperationHost& host);
