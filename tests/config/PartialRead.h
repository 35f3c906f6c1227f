#pragma once

#include "config/PrinterConfig.h"

#include <cstdint>
#include <string>
#include <vector>

// Helpers of the tests that make the printer hang up at each exchange of a read in turn.

// Where each command the printer handled ends in the bytes it received.
std::vector<long> CommandEnds(const std::string& received,
                              const std::vector<std::string>& commands);

// The four keys whose silence ends a read successfully.
bool IsLateKey(const std::string& command);

// A record with 64 guard bytes on each side, filled with the defaults.
class GuardedRecord {
public:
    GuardedRecord();
    PrinterConfig* Record() { return reinterpret_cast<PrinterConfig*>(memory_.data() + 64); }
    bool GuardsIntact() const;

private:
    std::vector<uint8_t> memory_;
};

// Checks a record cut short against the full read: every byte holds its default or its
// value of the full read, and every byte an earlier, shorter read filled is still
// filled. Returns which bytes are filled, for the next, longer read.
std::vector<uint8_t> CheckPartialRecord(const PrinterConfig& got, const PrinterConfig& full,
                                        const std::vector<uint8_t>& filledBefore);
