#pragma once

#include "link/LinkSettings.h"
#include "operations/LinkError.h"
#include "operations/OperationCode.h"

#include <cstdint>

class PrinterLink;

// The one entry point of every printer exchange: runs the numbered operation over the
// chosen link with the caller's buffer and returns its code. Numbers above 25 give 5.
LinkError Dispatch(PrinterLink& link, uint32_t operation, InterfaceKind kind, void* buffer,
                   int32_t extra = 0);

// An operation: opens the link, exchanges, closes, returns its code.
using OperationFunction = LinkError (*)(PrinterLink& link, InterfaceKind kind, void* buffer,
                                        int32_t extra);

// How the dispatcher wraps an operation in the progress window.
enum class ProgressWrap {
    None,
    Always,
    WhenExtraIsOne,
};

struct OperationEntry {
    const char* name;
    OperationFunction run;
    ProgressWrap progress;
};

// The table Dispatch runs from, indexed by operation number.
const OperationEntry& OperationAt(uint32_t operation);
