#pragma once

#include <cstdint>

// The result of every printer operation.
enum LinkError : int32_t {
    LinkOk = 0,
    LinkPortOpenError = 1,
    LinkTransmissionError = 2,
    LinkReceivingError = 3,
    LinkFileOpenError = 4,
    LinkUnknownError = 5,
};

// The fixed message a caller shows for a code; empty for 0 and for codes out of range.
const char* LinkErrorText(int32_t code);
