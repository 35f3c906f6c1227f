#pragma once

class OperationHost;

// The "Password Setup" button: reads the printer's password, lets the user change it after
// typing the old one, and sends the new one when it differs.
void RunPasswordSetup(OperationHost& host);
