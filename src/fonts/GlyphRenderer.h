#pragma once

#include "fonts/FontParameters.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>

#include <cstdint>

class GlyphSurface;

struct RenderedGlyph {
    int32_t width;  // pixels, the glyph width the record carries
    int32_t height; // pixels, always the cell height
    uint32_t size;  // bytes of the packed bitmap
};

// Packs the top-left width x height pixels of an RGB32 image into rows of bits, most
// significant bit leftmost, 1 where the pixel is anything but pure white. Returns the
// bytes written.
uint32_t PackInkRows(const QImage& image, int width, int height, uint8_t* out);

// Draws one character at a time on the surface and packs it. Holds the painter for the
// whole run, so the surface must outlive it and must not be painted on elsewhere meanwhile.
class GlyphRenderer {
public:
    explicit GlyphRenderer(GlyphSurface& surface);

    // The advance width of a text in the surface's font.
    int Advance(const QString& text) const;

    // Fixed pitch: the glyph is cellWidth wide and centred when narrower, clipped when
    // wider. Variable pitch: the glyph is as wide as its advance. The caller guarantees
    // that the glyph fits the surface and the bitmap capacity.
    RenderedGlyph Render(uint8_t pitch, int cellWidth, int cellHeight, const QString& text,
                         uint8_t* bitmap);

private:
    GlyphSurface& surface_;
    QPainter painter_;
    QFontMetrics metrics_;
    int height_;
    int ascent_;
};
