#pragma once

#include <QFont>
#include <QImage>

// The preview window's picture: the 256 single-byte codes of the font at 10 points in a
// 16 x 16 grid of 20 x 30 pixel cells, code r x 16 + c in row r, column c.
class FontPreview {
public:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 480;
    static constexpr int kCellWidth = 20;
    static constexpr int kCellHeight = 30;
    static constexpr int kTextInset = 5;

    static QImage Picture(const QFont& surfaceFont);
    // The font the picture draws with: the surface's font at 10 points.
    static QFont PreviewFont(const QFont& surfaceFont);
};
