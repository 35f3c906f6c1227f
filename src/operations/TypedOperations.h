#pragma once

#include "operations/OperationCode.h"
#include "operations/PasswordText.h"

#include <concepts>
#include <cstdint>
#include <limits>
#include <span>

struct DownloadRequest;
struct DumpTextRequest;
struct MemoryInfo;
struct PrinterClock;
struct PrinterConfig;
struct PrinterFileRequest;
struct PrinterNetConfig;
struct PrinterStatus;
struct SensorCalibration;
struct SensorLevels;
struct TestPatternRequest;

// Buffer kinds of the operation list that are not records.
struct NoBuffer;  // the operation takes no buffer
struct ByteBlock; // bytes and their count (the count travels as extra)
// The memory a stored command works on (0 DRAM, 1 FLASH, 2 CARD).
using MemoryIndex = int32_t;

enum class OperationExtra { NoExtra, ExtraValue };

// One tag per operation, carrying its code and the buffer it takes:
// Op::ReadClock::kCode is OpReadClock and Op::ReadClock::Buffer is PrinterClock.
namespace Op {
#define TARNVIK_OPERATION_TAG(name, number, buffer, extra, progress)                               \
    struct name {                                                                                  \
        static constexpr OperationCode kCode = Op##name;                                           \
        using Buffer = buffer;                                                                     \
        static constexpr OperationExtra kExtra = OperationExtra::extra;                            \
    };
TARNVIK_OPERATIONS(TARNVIK_OPERATION_TAG)
#undef TARNVIK_OPERATION_TAG
} // namespace Op

template <class O>
concept BufferlessOperation = std::same_as<typename O::Buffer, NoBuffer>;
template <class O>
concept ByteOperation = std::same_as<typename O::Buffer, ByteBlock>;
template <class O>
concept RecordOperation = !BufferlessOperation<O> && !ByteOperation<O>;
template <class O>
concept PlainRecordOperation = RecordOperation<O> && O::kExtra == OperationExtra::NoExtra;
template <class O>
concept RecordWithExtraOperation = RecordOperation<O> && O::kExtra == OperationExtra::ExtraValue;

// What the dispatcher takes for one typed call. Only the typed calls below make one, so the
// buffer always has the type the operation reads and writes.
struct OperationCall {
    OperationCode operation;
    void* buffer;
    int32_t extra;
};

template <BufferlessOperation O> OperationCall CallOf() {
    return {O::kCode, nullptr, 0};
}

template <PlainRecordOperation O> OperationCall CallOf(typename O::Buffer& buffer) {
    return {O::kCode, &buffer, 0};
}

template <RecordWithExtraOperation O>
OperationCall CallOf(typename O::Buffer& buffer, int32_t extra = 0) {
    return {O::kCode, &buffer, extra};
}

// The bytes are only read. A block whose count does not fit the extra integer goes out as a
// negative count, which the operation refuses before anything is opened.
template <ByteOperation O> OperationCall CallOf(std::span<const char> bytes) {
    const int32_t count = bytes.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())
                              ? -1
                              : static_cast<int32_t>(bytes.size());
    return {O::kCode, const_cast<char*>(bytes.data()), count};
}
