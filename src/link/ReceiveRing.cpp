#include "link/ReceiveRing.h"

size_t ReceiveRing::Append(const uint8_t* bytes, size_t length) {
    size_t stored = 0;
    while (stored < length && count_ < kCapacity) {
        bytes_[writeIndex_] = bytes[stored++];
        writeIndex_ = (writeIndex_ + 1) % kCapacity;
        ++count_;
    }
    return stored;
}

bool ReceiveRing::Take(uint8_t& byte) {
    if (count_ == 0)
        return false;
    byte = bytes_[readIndex_];
    readIndex_ = (readIndex_ + 1) % kCapacity;
    --count_;
    return true;
}
