#include "PartialRead.h"

#include <gtest/gtest.h>

#include <cstring>

std::vector<long> CommandEnds(const std::string& received,
                              const std::vector<std::string>& commands) {
    std::vector<long> ends;
    size_t at = 0;
    for (const std::string& command : commands) {
        at = received.find(command, at);
        EXPECT_NE(at, std::string::npos) << command;
        if (at == std::string::npos)
            break;
        at = received.find('\n', at) + 1;
        ends.push_back(static_cast<long>(at));
    }
    EXPECT_EQ(ends.empty() ? 0u : static_cast<size_t>(ends.back()), received.size());
    return ends;
}

bool IsLateKey(const std::string& command) {
    return command == "DIAGNOSTIC REPORT REPRINT" || command == "DIAGNOSTIC REPORT SHIFTX" ||
           command == "DIAGNOSTIC REPORT SHIFTXBASE" || command == "DIAGNOSTIC REPORT EDITION";
}

GuardedRecord::GuardedRecord() : memory_(sizeof(PrinterConfig) + 128, 0xA5) {
    const PrinterConfig defaults = DefaultPrinterConfig();
    std::memcpy(Record(), &defaults, sizeof defaults);
}

bool GuardedRecord::GuardsIntact() const {
    for (size_t i = 0; i < 64; ++i) {
        if (memory_[i] != 0xA5 || memory_[64 + sizeof(PrinterConfig) + i] != 0xA5)
            return false;
    }
    return true;
}

std::vector<uint8_t> CheckPartialRecord(const PrinterConfig& got, const PrinterConfig& full,
                                        const std::vector<uint8_t>& filledBefore) {
    const PrinterConfig defaults = DefaultPrinterConfig();
    const auto* value = reinterpret_cast<const uint8_t*>(&got);
    const auto* complete = reinterpret_cast<const uint8_t*>(&full);
    const auto* base = reinterpret_cast<const uint8_t*>(&defaults);
    std::vector<uint8_t> filled(sizeof(PrinterConfig), 0);
    for (size_t i = 0; i < sizeof(PrinterConfig); ++i) {
        EXPECT_TRUE(value[i] == base[i] || value[i] == complete[i]) << "offset " << i;
        filled[i] = value[i] != base[i];
    }
    for (size_t i = 0; i < filledBefore.size(); ++i)
        EXPECT_TRUE(!filledBefore[i] || filled[i]) << "offset " << i << " lost";
    return filled;
}
