#pragma once

#include "operations/MemoryRecords.h"

#include <QFont>
#include <QString>

// What the file manager keeps among the main window's records: the memories as the last
// "Get" left them, the PC file the last good "Browse" chose, and the font dialog's current
// font, which the bitmap font page shares.
struct FileManagerRecords {
    MemoryInfo& Memory;
    QString& SelectedSourceFile;
    QFont& CurrentFont;
};
