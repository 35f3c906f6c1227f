#include "fonts/FontPreview.h"

#include "fonts/CodePageConverter.h"
#include "fonts/GlyphSurface.h"

#include <QFontMetrics>
#include <QPainter>

QFont FontPreview::PreviewFont(const QFont& surfaceFont) {
    QFont font = surfaceFont;
    font.setPointSize(10);
    return font;
}

QImage FontPreview::Picture(const QFont& surfaceFont) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.setDotsPerMeterX(GlyphSurface::kDotsPerMeter);
    image.setDotsPerMeterY(GlyphSurface::kDotsPerMeter);
    image.fill(Qt::white);
    const QFont font = PreviewFont(surfaceFont);
    const int ascent = QFontMetrics(font, &image).ascent();
    CodePageConverter western(1252);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (int row = 0; row < 16; ++row) {
        for (int column = 0; column < 16; ++column) {
            const int code = row * 16 + column;
            if (code == 0)
                continue;
            painter.drawText(column * kCellWidth + kTextInset,
                             row * kCellHeight + kTextInset + ascent,
                             western.Character(static_cast<uint8_t>(code)));
        }
    }
    for (int x = kCellWidth; x <= 300; x += kCellWidth)
        painter.drawLine(x, 0, x, kHeight - 1);
    for (int y = kCellHeight; y <= 450; y += kCellHeight)
        painter.drawLine(0, y, kWidth - 1, y);
    return image;
}
