#pragma once

#include "config/PrinterConfig.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The values a configuration may hold, as the configuration page lets them be chosen:
// the choices of its combo boxes (density 0 to 15, sensor mode 0 to 2, an index inside its
// table, ...), the ranges its hints give ("0 to 30", "-120 to 120", "-9999 to 9999"), valid
// flags of 0 or 1 and Z prefix characters that are no control characters. Settings the
// page takes as free numbers (lengths, offsets, intensities, speeds) only have to be
// sendable (see RealsSendable). Only settings whose flag is 1 are looked at: the others
// are never sent.
//
// Every way a configuration reaches a printer from outside the page (a .dcf file, a
// settings document) checks it with CheckConfigRanges before anything is sent, and
// refuses it whole when a value is out of range.

// The inclusive range of one whole-number setting of the page.
struct ConfigIntRange {
    const char* name; // the record's field name ("Density")
    int32_t lowest;
    int32_t highest;
};

// One value the page could not hold.
struct ConfigRangeFault {
    std::string name;    // the record's field name, or "InchUnit", "ResolutionValid"
    std::string problem; // "20 is outside 0 to 15", "flag 7 is neither 0 nor 1", ...
};

// The range of a whole-number setting by its field name; nullopt for a setting the page
// takes as a free number, a real, a character or a name that is no setting.
std::optional<ConfigIntRange> ConfigSettingRange(std::string_view name);

// Every value of the record that the page could not hold, in record order; empty when the
// record may be sent.
std::vector<ConfigRangeFault> CheckConfigRanges(const PrinterConfig& config);

// "Density 20 is outside 0 to 15": the first fault as one text, empty when there is none.
std::string ConfigRangeText(const std::vector<ConfigRangeFault>& faults);
