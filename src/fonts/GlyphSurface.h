#pragma once

#include <QFont>
#include <QImage>

// The hidden 2048 x 2048 drawing surface the font page measures on and the font maker
// draws every glyph on, with the font the user chose.
class GlyphSurface {
public:
    static constexpr int kSize = 2048;
    // 96 dots per inch, so point sizes turn into the same pixels on every machine.
    static constexpr int kDotsPerMeter = 3780;

    GlyphSurface();

    QImage& Image() { return image_; }
    const QImage& Image() const { return image_; }

    void SetFont(const QFont& font) { font_ = font; }
    const QFont& Font() const { return font_; }

    void Clear();

    // Width and height of a text in the surface's font, as the maker measures them.
    QSize Measure(const QString& text) const;

private:
    QImage image_;
    QFont font_;
};
