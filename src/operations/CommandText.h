#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Helpers for building command text from caller records.

// Whether a text can stand between the double quotes of a command: a quote would end the
// argument early and a CR or LF would start a command of its own.
bool QuotableText(std::string_view text);

// printf-style formatting into a string.
std::string FormatCommand(const char* format, ...) __attribute__((format(printf, 1, 2)));
