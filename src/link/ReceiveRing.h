#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// A link's receive buffer: refilled by one device read whenever it runs empty.
class ReceiveRing {
public:
    static constexpr size_t kCapacity = 65536;

    void Clear() { writeIndex_ = readIndex_ = count_ = 0; }
    bool Empty() const { return count_ == 0; }
    size_t Count() const { return count_; }

    // Appends up to the free space; returns how many bytes were stored.
    size_t Append(const uint8_t* bytes, size_t length);
    bool Take(uint8_t& byte);

private:
    // Left uninitialised: only bytes appended are ever read, and a link that never
    // receives much touches few of its pages (thousands of links wait at once).
    std::array<uint8_t, kCapacity> bytes_;
    size_t writeIndex_ = 0;
    size_t readIndex_ = 0;
    size_t count_ = 0;
};
