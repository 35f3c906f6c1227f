#include "SimText.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace sim {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::string_view ArgumentsAfter(std::string_view line, std::string_view word) {
    if (line.substr(0, word.size()) == word)
        line.remove_prefix(word.size());
    return Trimmed(line);
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
    text = Trimmed(text);
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

std::optional<long> WholeNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+')
        return std::nullopt;
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string CommaField(std::string_view text, int index) {
    for (int i = 0; i < index; ++i) {
        const size_t comma = text.find(',');
        if (comma == std::string_view::npos)
            return {};
        text.remove_prefix(comma + 1);
    }
    return std::string(Trimmed(text.substr(0, text.find(','))));
}

} // namespace sim
