#pragma once

#include "fonts/FontParameters.h"

#include <cstdint>
#include <vector>

// An inclusive run of byte values.
struct ByteRange {
    uint8_t first;
    uint8_t last;
};

// How an Asian range font lays out its glyphs: the half-width single-byte codes first,
// then every lead byte with all its trail bytes in rising order.
struct AsianLayout {
    AsianEncoding encoding;
    const char* codePage; // the converter's name for the Windows code page
    int windowsCodePage;  // 950, 936, 949, 932
    std::vector<ByteRange> singleBytes;
    std::vector<ByteRange> leadBytes;
    std::vector<ByteRange> trailBytes;
    int progressDivisor; // last lead byte minus first lead byte, as the bar counts

    std::vector<uint8_t> SingleByteCodes() const;
    std::vector<uint8_t> LeadByteCodes() const;
    std::vector<uint8_t> TrailByteCodes() const;
    int GlyphCount() const;
};

// The layout of an encoding; null for a value outside 0 to 3.
const AsianLayout* LayoutOf(uint8_t encoding);
