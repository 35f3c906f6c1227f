#pragma once

#include "link/LinkSettings.h"
#include "operations/LinkError.h"
#include "operations/MaintenanceRecords.h"

#include <cstdint>
#include <string>

class PrinterLink;

// Commands that expect no answer; each works on every link, the parallel port included.

// 5: "INITIALPRINTER", the printer's factory default.
LinkError InitializePrinter(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);
// 6: one DUMP_TEXT command from a DumpTextRequest.
LinkError DumpText(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);
// 7: "SELFTEST", the printer prints its configuration page.
LinkError SelfTest(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);
// 11: ESC ! R.
LinkError ResetPrinter(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);
// 14: extra bytes of buffer unchanged, inside the progress window in percent mode.
LinkError SendData(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);
// 16: a framed test label sized from a TestPatternRequest.
LinkError PrintTestPattern(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);
// 17: ESC ! C, the printer skips AUTO.BAS at its next start.
LinkError IgnoreAutoBas(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);
// 25: ESC Z CR LF.
LinkError SendLineModeExit(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);

// The DUMP_TEXT command for a request; it ends with the comma, no line end follows.
std::string DumpTextCommand(const DumpTextRequest& request);
// The whole test label program, from CLS to PRINT 1.
std::string TestPatternProgram(const TestPatternRequest& request);
