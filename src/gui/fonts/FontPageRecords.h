#pragma once

#include "fonts/FontParameters.h"

#include <QFont>
#include <QString>

#include <array>
#include <cstdint>

// What the bitmap font page keeps among the main window's records: the parameters of the
// last make, the code table of the table encodes, the table file last loaded and the font
// dialog's current font, which the file manager shares.
struct FontPageRecords {
    ::FontParameters& FontParameters;
    std::array<uint8_t, 65536>& FontTable;
    QString& TableFilePath;
    QFont& CurrentFont;
};
