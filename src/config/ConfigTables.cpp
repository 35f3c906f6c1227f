#include "config/ConfigTables.h"

int32_t ConfigTableIndex(std::span<const char* const> table, std::string_view text) {
    for (size_t i = 0; i < table.size(); ++i) {
        if (text == table[i])
            return static_cast<int32_t>(i);
    }
    return static_cast<int32_t>(table.size());
}

const char* ConfigTableEntry(std::span<const char* const> table, int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= table.size())
        return nullptr;
    return table[static_cast<size_t>(index)];
}
