#pragma once

#include "link/LinkSettings.h"
#include "operations/ClockRecords.h"
#include "operations/LinkError.h"

#include <QDateTime>

#include <cstdint>
#include <string>

class PrinterLink;

// 8: the six clock lines of a PrinterClock in one block, no reply.
LinkError SetClock(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);
// 9: announcement, then YEAR to SECOND into a PrinterClock; each field is stored as soon
// as its reply has come.
LinkError ReadClock(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);

// A date and time of the PC as the printer's clock takes it.
PrinterClock ClockOf(const QDateTime& time);

// The block SetClock sends: the year modulo 100, the other fields as they are.
std::string ClockCommands(const PrinterClock& clock);
