#include "dispatch/Dispatch.h"

#include "config/ConfigOperations.h"
#include "link/PrinterLink.h"
#include "link/ProgressWindow.h"
#include "operations/ClockOperations.h"
#include "operations/MaintenanceOperations.h"
#include "operations/MemoryOperations.h"
#include "operations/NetworkOperations.h"
#include "operations/PasswordOperations.h"
#include "operations/SensorOperations.h"
#include "operations/StatusOperations.h"

#include <type_traits>

namespace {

template <class Buffer> constexpr BufferUse BufferUseOf() {
    if constexpr (std::is_same_v<Buffer, NoBuffer>)
        return BufferUse::None;
    else if constexpr (std::is_same_v<Buffer, ByteBlock>)
        return BufferUse::WhenExtraIsPositive;
    else
        return BufferUse::Always;
}

const OperationEntry kOperations[kOperationCount] = {
#define TARNVIK_OPERATION_ENTRY(name, number, buffer, extra, progress)                             \
    {#name, name, ProgressWrap::progress, BufferUseOf<buffer>()},
    TARNVIK_OPERATIONS(TARNVIK_OPERATION_ENTRY)
#undef TARNVIK_OPERATION_ENTRY
};

// The table is indexed by operation number, so the list must give the numbers in order.
constexpr uint32_t kListedNumbers[] = {
#define TARNVIK_OPERATION_NUMBER(name, number, buffer, extra, progress) number,
    TARNVIK_OPERATIONS(TARNVIK_OPERATION_NUMBER)
#undef TARNVIK_OPERATION_NUMBER
};

constexpr bool ListedInOrder() {
    for (uint32_t i = 0; i < kOperationCount; ++i)
        if (kListedNumbers[i] != i)
            return false;
    return true;
}
static_assert(ListedInOrder(), "the operation list must be numbered 0, 1, 2, ... in order");

bool Wrapped(const OperationEntry& entry, int32_t extra) {
    switch (entry.progress) {
    case ProgressWrap::Always:
        return true;
    case ProgressWrap::WhenExtraIsOne:
        return extra == 1;
    case ProgressWrap::None:
        break;
    }
    return false;
}

bool MissingBuffer(const OperationEntry& entry, const void* buffer, int32_t extra) {
    if (buffer)
        return false;
    switch (entry.buffer) {
    case BufferUse::Always:
        return true;
    case BufferUse::WhenExtraIsPositive:
        return extra > 0;
    case BufferUse::None:
        break;
    }
    return false;
}

} // namespace

const OperationEntry& OperationAt(uint32_t operation) {
    return kOperations[operation];
}

LinkError Dispatch(PrinterLink& link, uint32_t operation, InterfaceKind kind, void* buffer,
                   int32_t extra) {
    if (operation >= kOperationCount)
        return LinkUnknownError;
    const OperationEntry& entry = kOperations[operation];
    if (MissingBuffer(entry, buffer, extra))
        return LinkUnknownError;

    // Nothing can be read over the parallel port.
    if (kind == InterfaceLpt) {
        if (operation == OpQueryStatus || operation == OpReadConfiguration)
            return LinkReceivingError;
        if (operation == OpReadPasswordState) {
            static_cast<char*>(buffer)[0] = '\0';
            return LinkOk;
        }
    }

    ProgressWindow* progress = link.Progress();
    const bool wrapped = progress && Wrapped(entry, extra);
    if (wrapped)
        progress->ShowProgress(ProgressStep, 3, 3);
    const LinkError result = entry.run(link, kind, buffer, extra);
    if (wrapped)
        progress->HideProgress(&link.Waits());
    return result;
}
