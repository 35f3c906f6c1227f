#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sim {

// Small parsers the modules share for the arguments of command lines.

// The text without the blanks and tabs before it and the blanks, tabs and CR after it.
std::string_view Trimmed(std::string_view text);
// The text after a command word, with blanks around it removed.
std::string_view ArgumentsAfter(std::string_view line, std::string_view word);
// The first text between double quotes; empty when there is none.
std::string QuotedText(std::string_view text);
// Leading number of a text (blanks skipped, optional sign, digits); 0 when none. It
// saturates at the range of int.
long LeadingNumber(std::string_view text);
// The whole text as a decimal number (optional sign, digits, nothing else); none when it
// is not one or does not fit.
std::optional<long> WholeNumber(std::string_view text);
// The comma-separated fields of a text, each without surrounding blanks.
std::string CommaField(std::string_view text, int index);

} // namespace sim
