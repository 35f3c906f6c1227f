#include "fonts/GlyphSurface.h"

#include <QFontMetrics>

GlyphSurface::GlyphSurface() : image_(kSize, kSize, QImage::Format_RGB32) {
    image_.setDotsPerMeterX(kDotsPerMeter);
    image_.setDotsPerMeterY(kDotsPerMeter);
    Clear();
}

void GlyphSurface::Clear() {
    image_.fill(Qt::white);
}

QSize GlyphSurface::Measure(const QString& text) const {
    const QFontMetrics metrics(font_, &image_);
    return {metrics.horizontalAdvance(text), metrics.height()};
}
