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

// Not an operation's result: the window refuses to start an operation while another one
// runs. The caller sees the code of "Unknow Error", as it always has; in the program the
// refusal keeps its own name.
inline constexpr LinkError LinkRefusedWhileRunning = LinkUnknownError;

// The fixed message a caller shows for a code; empty for 0 and for codes out of range.
const char* LinkErrorText(int32_t code);
