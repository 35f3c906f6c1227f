#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

// The texts the printer reports and accepts for the configuration's index fields. The
// page's combo boxes list the same texts after an empty first item.

inline constexpr std::array<const char*, 36> kCodePageTable = {
    "USA",    "BRI",    "GER",    "FRE",    "DAN",    "ITA",    "SPA",    "SWE",     "SWI",
    "437",    "850",    "852",    "857",    "860",    "863",    "865",    "1250",    "1251",
    "1252",   "1253",   "1254",   "1255",   "1256",   "1257",   "1258",   "8859-1",  "8859-2",
    "8859-3", "8859-4", "8859-5", "8859-6", "8859-7", "8859-8", "8859-9", "8859-10", "8859-15",
};

inline constexpr std::array<const char*, 22> kCountryCodeTable = {
    "001", "002", "003", "031", "032", "033", "034", "036", "038", "039", "041",
    "042", "044", "045", "046", "047", "048", "049", "055", "061", "351", "358",
};

inline constexpr std::array<const char*, 9> kBaudRateTable = {
    "0", "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200",
};

// What SET COM1 takes for the baud rate of the same index.
inline constexpr std::array<const char*, 9> kBaudCodeTable = {
    "0", "12", "24", "48", "96", "19", "38", "56", "115",
};

inline constexpr std::array<const char*, 2> kDataBitsTable = {"7", "8"};
inline constexpr std::array<const char*, 3> kParityTable = {"None", "Odd", "Even"};
inline constexpr std::array<const char*, 2> kStopBitsTable = {"1", "2"};

// The position of the first entry equal to the whole text (case-sensitive); the table's
// length when none is.
int32_t ConfigTableIndex(std::span<const char* const> table, std::string_view text);

// The entry at index, or nullptr when the index is outside the table.
const char* ConfigTableEntry(std::span<const char* const> table, int32_t index);
