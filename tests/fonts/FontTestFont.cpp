#include "FontTestFont.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

namespace {

const char* const kPinnedFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

QString PinnedFamily() {
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(kPinnedFontFile));
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QString() : families.front();
    }();
    return family;
}

QImage BlankImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.setDotsPerMeterX(GlyphSurface::kDotsPerMeter);
    image.setDotsPerMeterY(GlyphSurface::kDotsPerMeter);
    image.fill(QColor(255, 255, 255));
    return image;
}

} // namespace

bool PinnedTestFontAvailable() {
    return !PinnedFamily().isEmpty();
}

QFont PinnedTestFont(int pixelSize) {
    QFont font(PinnedFamily());
    font.setPixelSize(pixelSize);
    return font;
}

QByteArray ExpectedGlyphBits(const QFont& font, const QString& text, bool fixedPitch, int cellWidth,
                             int cellHeight, int* width, bool* hasGrey) {
    const QImage probe = BlankImage(1, 1);
    const QFontMetrics metrics(font, &probe);
    const int w = text.isEmpty() ? 0 : metrics.horizontalAdvance(text);
    const int h = metrics.height();
    const int glyphWidth = fixedPitch ? cellWidth : w;
    const int left = fixedPitch && w < cellWidth ? (cellWidth - w) / 2 : 0;
    const int top = h < cellHeight ? (cellHeight - h) / 2 : 0;
    QImage image = BlankImage(glyphWidth + 64, cellHeight + 64);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(QColor(0, 0, 0));
        painter.drawText(left, top + metrics.ascent(), text);
    }
    const int rowBytes = (glyphWidth + 7) / 8;
    QByteArray bits(rowBytes * cellHeight, '\0');
    bool grey = false;
    for (int y = 0; y < cellHeight; ++y) {
        for (int x = 0; x < glyphWidth; ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (pixel == qRgb(255, 255, 255))
                continue;
            grey = grey || pixel != qRgb(0, 0, 0);
            bits[y * rowBytes + x / 8] =
                static_cast<char>(bits[y * rowBytes + x / 8] | (0x80 >> (x % 8)));
        }
    }
    if (width)
        *width = glyphWidth;
    if (hasGrey)
        *hasGrey = grey;
    return bits;
}

QByteArray ReadWholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
