#include "fonts/GlyphRenderer.h"

#include "fonts/GlyphSurface.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <array>

namespace {

inline uint32_t Ink(QRgb pixel) {
    return (pixel | 0xFF000000u) != 0xFFFFFFFFu ? 1u : 0u;
}

// Eight pixels to a byte, the leftmost in the most significant bit.
inline uint8_t InkByte(const QRgb* pixels) {
#if defined(__SSE2__)
    static const std::array<uint8_t, 256> kReversed = [] {
        std::array<uint8_t, 256> table{};
        for (int value = 0; value < 256; ++value)
            for (int bit = 0; bit < 8; ++bit)
                if (value & (1 << bit))
                    table[value] = static_cast<uint8_t>(table[value] | (0x80 >> bit));
        return table;
    }();
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i white = _mm_set1_epi32(-1);
    const __m128i left =
        _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels)), alpha);
    const __m128i right =
        _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + 4)), alpha);
    const __m128i isWhite = _mm_packs_epi16(
        _mm_packs_epi32(_mm_cmpeq_epi32(left, white), _mm_cmpeq_epi32(right, white)),
        _mm_setzero_si128());
    const auto whiteBits = static_cast<uint32_t>(_mm_movemask_epi8(isWhite)) & 0xFFu;
    return kReversed[~whiteBits & 0xFFu];
#else
    uint32_t byte = 0;
    for (int k = 0; k < 8; ++k)
        byte |= Ink(pixels[k]) << (7 - k);
    return static_cast<uint8_t>(byte);
#endif
}

} // namespace

uint32_t PackInkRows(const QImage& image, int width, int height, uint8_t* out) {
    uint8_t* next = out;
    const int whole = width / 8;
    const int rest = width % 8;
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int b = 0; b < whole; ++b, line += 8)
            *next++ = InkByte(line);
        if (rest != 0) {
            uint32_t byte = 0;
            for (int k = 0; k < rest; ++k)
                byte |= Ink(line[k]) << (7 - k);
            *next++ = static_cast<uint8_t>(byte);
        }
    }
    return static_cast<uint32_t>(next - out);
}

GlyphRenderer::GlyphRenderer(GlyphSurface& surface)
    : surface_(surface), painter_(&surface.Image()), metrics_(surface.Font(), &surface.Image()),
      height_(metrics_.height()), ascent_(metrics_.ascent()) {
    painter_.setFont(surface.Font());
    painter_.setPen(Qt::black);
}

int GlyphRenderer::Advance(const QString& text) const {
    // One printable character: the glyph's own advance, without laying out a line.
    if (text.size() == 1 && text.at(0).isPrint())
        return metrics_.horizontalAdvance(text.at(0));
    return metrics_.horizontalAdvance(text);
}

RenderedGlyph GlyphRenderer::Render(uint8_t pitch, int cellWidth, int cellHeight,
                                    const QString& text, uint8_t* bitmap) {
    const int w = text.isEmpty() ? 0 : Advance(text);
    const int h = height_;
    const bool fixed = pitch == PitchFixed;
    const int left = fixed && w < cellWidth ? (cellWidth - w) / 2 : 0;
    const int top = h < cellHeight ? (cellHeight - h) / 2 : 0;
    const int width = fixed ? cellWidth : w;
    const int height = cellHeight;
    if (width > 0 && height > 0)
        painter_.fillRect(0, 0, width, height, Qt::white);
    if (!text.isEmpty())
        painter_.drawText(left, top + ascent_, text);
    // The raster engine draws straight into the image; nothing is pending here.
    const uint32_t size = PackInkRows(surface_.Image(), width, height, bitmap);
    return {width, height, size};
}
