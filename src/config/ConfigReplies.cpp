#include "config/ConfigReplies.h"

#include "operations/ReplyReaders.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <string>

namespace {

struct LetterCode {
    std::string_view text;
    int32_t code;
};

int32_t CodeOf(std::string_view reply, std::initializer_list<LetterCode> codes) {
    for (const LetterCode& entry : codes) {
        if (reply == entry.text)
            return entry.code;
    }
    return 0;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

float ParseReplyReal(const char* text) {
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n' || *p == '\v' || *p == '\f')
        ++p;
    std::string number;
    if (*p == '+' || *p == '-') {
        if (*p == '-')
            number.push_back('-');
        ++p;
    }
    bool digits = false;
    while (IsDigit(*p)) {
        number.push_back(*p++);
        digits = true;
    }
    if (*p == '.') {
        number.push_back(*p++);
        while (IsDigit(*p)) {
            number.push_back(*p++);
            digits = true;
        }
    }
    if (!digits)
        return 0.0f;

    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                              std::chars_format::fixed);
    (void)end;
    if (error == std::errc::result_out_of_range)
        value = number[0] == '-' ? -DBL_MAX : DBL_MAX;
    if (value > FLT_MAX)
        return FLT_MAX;
    if (value < -FLT_MAX)
        return -FLT_MAX;
    return static_cast<float>(value);
}

bool DotsPerMmForDpi(float dpi, float& dotsPerMm) {
    // Hundredths of a dot per millimetre; the factor is 1 / 25.4 as a float holds 25.4.
    const long double hundredths = static_cast<long double>(dpi) * 0.03937007933143675L * 100.0L;
    if (!std::isfinite(hundredths) || std::fabs(hundredths) > 2.0e9L)
        return false;
    long long t = static_cast<long long>(hundredths);
    if (t == 0)
        return false;
    t = ((t + 5) / 10) * 10;
    // Below 1.27 dots per inch the tenths round to nothing: no divisor for lengths.
    if (t == 0)
        return false;
    dotsPerMm = static_cast<float>(static_cast<double>(t) * 0.01);
    return true;
}

bool DSpeedFromReply(std::string_view reply, float& speed) {
    if (reply.size() != 1)
        return false;
    const char letter = reply[0];
    if (letter >= 'A' && letter <= 'V')
        speed = 1.0f + 0.5f * static_cast<float>(letter - 'A');
    else if (letter >= 'W' && letter <= 'Z')
        speed = 12.0f + static_cast<float>(letter - 'W');
    else if (letter >= 'a' && letter <= 'e')
        speed = 16.0f + static_cast<float>(letter - 'a');
    else
        return false;
    return true;
}

char DSpeedLetter(float speed) {
    const double v = speed;
    // Half steps up to 12.0 ("W"); from 12.25 on, 12 is nearer than 13.
    if (v >= 0.75 && v < 12.25)
        return static_cast<char>('A' + static_cast<int>((v - 0.75) * 2.0));
    if (v >= 12.25 && v < 12.5)
        return 'W';
    if (v >= 12.5 && v < 15.5)
        return static_cast<char>('X' + static_cast<int>(v - 12.5));
    if (v >= 15.5 && v < 20.5)
        return static_cast<char>('a' + static_cast<int>(v - 15.5));
    return 'G';
}

int32_t ZSpeedFromReply(std::string_view reply) {
    const int32_t code = CodeOf(reply, {{"A", 2}, {"B", 3}, {"C", 4}, {"D", 6}, {"E", 8}});
    if (code != 0)
        return code;
    return ParseReplyNumber(std::string(reply).c_str());
}

int32_t ZPrintModeFromReply(std::string_view reply) {
    return CodeOf(reply, {{"T", 1}, {"P", 2}, {"R", 1}, {"A", 1}, {"C", 3}, {"D", 3}});
}

int32_t ZFeedFromReply(std::string_view reply) {
    return CodeOf(reply, {{"F", 1}, {"C", 2}, {"L", 3}, {"N", 4}});
}

int32_t DSwitchFromReply(std::string_view reply) {
    return CodeOf(reply, {{"N", 1}, {"E", 2}, {"A", 2}});
}

int32_t DControlCodesFromReply(std::string_view reply) {
    return CodeOf(reply, {{"S", 1}, {"1", 2}, {"2", 3}});
}
