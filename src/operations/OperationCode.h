#pragma once

#include "operations/OperationList.h"

#include <cstdint>

// The numbered printer operations; Dispatch takes the number.
enum OperationCode : uint32_t {
#define TARNVIK_OPERATION_CODE(name, number, buffer, extra, progress) Op##name = number,
    TARNVIK_OPERATIONS(TARNVIK_OPERATION_CODE)
#undef TARNVIK_OPERATION_CODE
};

#define TARNVIK_OPERATION_COUNT(name, number, buffer, extra, progress) +1
constexpr uint32_t kOperationCount = 0 TARNVIK_OPERATIONS(TARNVIK_OPERATION_COUNT);
#undef TARNVIK_OPERATION_COUNT
