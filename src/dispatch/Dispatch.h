#pragma once

#include "link/LinkSettings.h"
#include "operations/LinkError.h"
#include "operations/OperationCode.h"
#include "operations/TypedOperations.h"

#include <cstdint>
#include <utility>

class PrinterLink;

// The one entry point of every printer exchange: runs the numbered operation over the
// chosen link with the caller's buffer and returns its code. Numbers above 25 give 5, and
// so does a missing buffer for an operation that needs one.
LinkError Dispatch(PrinterLink& link, uint32_t operation, InterfaceKind kind, void* buffer,
                   int32_t extra = 0);

// The typed form of the same call, checked at compile time against the operation's buffer:
//   PrinterClock clock{};
//   Dispatch<Op::ReadClock>(link, kind, clock);
template <class O, class... Args>
LinkError Dispatch(PrinterLink& link, InterfaceKind kind, Args&&... args) {
    const OperationCall call = CallOf<O>(std::forward<Args>(args)...);
    return Dispatch(link, call.operation, kind, call.buffer, call.extra);
}

// An operation: opens the link, exchanges, closes, returns its code.
using OperationFunction = LinkError (*)(PrinterLink& link, InterfaceKind kind, void* buffer,
                                        int32_t extra);

// How the dispatcher wraps an operation in the progress window.
enum class ProgressWrap {
    None,
    Always,
    WhenExtraIsOne,
};

// Whether an operation works on the caller's buffer. Without one it is refused with 5
// before anything is opened.
enum class BufferUse {
    None,
    Always,
    // Only when extra counts bytes in it (SendData).
    WhenExtraIsPositive,
};

struct OperationEntry {
    const char* name;
    OperationFunction run;
    ProgressWrap progress;
    BufferUse buffer;
};

// The table Dispatch runs from, indexed by operation number.
const OperationEntry& OperationAt(uint32_t operation);
