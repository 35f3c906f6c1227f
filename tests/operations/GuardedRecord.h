#pragma once

#include <cstdint>
#include <cstring>

// A record between two guard areas, to see that an operation writes nothing past it.
template <class T> struct alignas(8) GuardedRecord {
    static constexpr uint8_t kGuard = 0xA5;

    GuardedRecord() {
        std::memset(before, kGuard, sizeof before);
        std::memset(after, kGuard, sizeof after);
    }
    bool Intact() const {
        for (size_t i = 0; i < sizeof before; ++i) {
            if (before[i] != kGuard || after[i] != kGuard)
                return false;
        }
        return true;
    }

    uint8_t before[64];
    T record{};
    uint8_t after[64];
};
