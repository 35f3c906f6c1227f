#include "fonts/AsianLayout.h"

#include <array>

namespace {

std::vector<uint8_t> Expand(const std::vector<ByteRange>& ranges) {
    std::vector<uint8_t> codes;
    for (const ByteRange& range : ranges)
        for (int code = range.first; code <= range.last; ++code)
            codes.push_back(static_cast<uint8_t>(code));
    return codes;
}

const std::array<AsianLayout, kAsianEncodingCount>& Layouts() {
    static const std::array<AsianLayout, kAsianEncodingCount> layouts = {{
        {AsianTraditionalChinese,
         "CP950",
         950,
         {{0x20, 0x7F}},
         {{0xA1, 0xFE}},
         {{0x40, 0x7E}, {0xA1, 0xFE}},
         93},
        {AsianSimplifiedChinese, "CP936", 936, {{0x20, 0x7F}}, {{0x81, 0xFE}}, {{0x40, 0xFE}}, 125},
        {AsianKorean, "CP949", 949, {{0x20, 0x7F}}, {{0xA1, 0xFE}}, {{0xA0, 0xFE}}, 93},
        {AsianJapanese,
         "CP932",
         932,
         {{0x20, 0x7F}, {0xA0, 0xDF}},
         {{0x81, 0x9F}, {0xE0, 0xFC}},
         {{0x40, 0xFC}},
         123},
    }};
    return layouts;
}

} // namespace

std::vector<uint8_t> AsianLayout::SingleByteCodes() const {
    return Expand(singleBytes);
}

std::vector<uint8_t> AsianLayout::LeadByteCodes() const {
    return Expand(leadBytes);
}

std::vector<uint8_t> AsianLayout::TrailByteCodes() const {
    return Expand(trailBytes);
}

int AsianLayout::GlyphCount() const {
    return static_cast<int>(SingleByteCodes().size() +
                            LeadByteCodes().size() * TrailByteCodes().size());
}

const AsianLayout* LayoutOf(uint8_t encoding) {
    if (encoding >= kAsianEncodingCount)
        return nullptr;
    return &Layouts()[encoding];
}
