#pragma once

#include <cstdlib>

// A property every input must keep; a broken one ends the run so the fuzzer keeps the input.
inline void Check(bool condition) {
    if (!condition)
        std::abort();
}
