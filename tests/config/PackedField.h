#pragma once

// The value of a field of a packed record. Comparisons take their arguments by reference,
// and a reference to a packed field would be misaligned; a copy is not.
template <class T> T Copy(T value) {
    return value;
}
