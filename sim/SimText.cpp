#include "SimText.h"

#include <algorithm>
#include <limits>

namespace sim {

namespace {

std::string_view Stripped(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::string_view ArgumentsAfter(std::string_view line, std::string_view word) {
    if (line.substr(0, word.size()) == word)
        line.remove_prefix(word.size());
    return Stripped(line);
}

std::string QuotedText(std::string_view text) {
    const size_t open = text.find('"');
    if (open == std::string_view::npos)
        return {};
    const size_t close = text.find('"', open + 1);
    if (close == std::string_view::npos)
        return std::string(text.substr(open + 1));
    return std::string(text.substr(open + 1, close - open - 1));
}

long LeadingNumber(std::string_view text) {
    text = Stripped(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Saturates at the limits of int, however many digits follow.
    constexpr long kLimit = std::numeric_limits<int>::max();
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        value = std::min(kLimit + 1, value * 10 + (c - '0'));
    }
    if (negative)
        return -value;
    return std::min(value, kLimit);
}

std::string CommaField(std::string_view text, int index) {
    for (int i = 0; i < index; ++i) {
        const size_t comma = text.find(',');
        if (comma == std::string_view::npos)
            return {};
        text.remove_prefix(comma + 1);
    }
    return std::string(Stripped(text.substr(0, text.find(','))));
}

} // namespace sim
