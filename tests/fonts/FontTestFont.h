#pragma once

#include "fonts/GlyphSurface.h"

#include <QByteArray>
#include <QFont>
#include <QString>

// The pinned face the font tests draw with: DejaVu Sans from Debian's fonts-dejavu-core,
// loaded from its file so no other face with the same name can stand in.
QFont PinnedTestFont(int pixelSize);
bool PinnedTestFontAvailable();

// An independent rendering of one glyph: a fresh image and painter, pixels read one at a
// time, packed row by row. Gives the bitmap and the glyph width.
QByteArray ExpectedGlyphBits(const QFont& font, const QString& text, bool fixedPitch, int cellWidth,
                             int cellHeight, int* width = nullptr, bool* hasGrey = nullptr);

QByteArray ReadWholeFile(const QString& path);
