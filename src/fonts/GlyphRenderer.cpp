#include "fonts/GlyphRenderer.h"

#include "fonts/GlyphSurface.h"

uint32_t PackInkRows(const QImage& image, int width, int height, uint8_t* out) {
    uint8_t* next = out;
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uint8_t byte = 0;
        int bits = 0;
        for (int x = 0; x < width; ++x) {
            byte = static_cast<uint8_t>((byte << 1) | ((line[x] | 0xFF000000u) != 0xFFFFFFFFu));
            if (++bits == 8) {
                *next++ = byte;
                byte = 0;
                bits = 0;
            }
        }
        if (bits != 0)
            *next++ = static_cast<uint8_t>(byte << (8 - bits));
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
