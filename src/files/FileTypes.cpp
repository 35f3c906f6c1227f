#include "files/FileTypes.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// The patterns name the extension in both cases: file systems that tell case apart would
// otherwise hide "label.bmp" behind "*.BMP".
const FileTypeRow kRows[kFileTypeCount] = {
    {"BMP", "*.BMP|*.BMP;*.bmp|*.*|*.*", ".BMP", false},
    {"PCX", "*.PCX|*.PCX;*.pcx|*.*|*.*", ".PCX", false},
    {"True Type Font", "*.TTF|*.TTF;*.ttf", ".TTF", false},
    {"Bitmap Font", "", "", false},
    {"Printer BASIC File", "*.BAS|*.BAS;*.bas|*.*|*.*", ".BAS", false},
    {"Data File", "*.*|*.*", "", false},
    {"Firmware File", "*.NEW|*.NEW;*.new|*.*|*.*", "", true},
    {"TCF File", "*.TCF|*.TCF;*.tcf|*.*|*.*", "", true},
};

const FileTypeRow kNoRow = {"", "*.*|*.*", "", false};

constexpr int kBaseNameLimit = 8;

} // namespace

const FileTypeRow& FileTypeAt(int index) {
    return index >= 0 && index < kFileTypeCount ? kRows[index] : kNoRow;
}

QString PrinterFileName(const QString& path, int fileType) {
    return QFileInfo(path).completeBaseName().left(kBaseNameLimit) +
           QString::fromLatin1(FileTypeAt(fileType).extension);
}

QString SystemFontFolder() {
    const QString system = QStringLiteral("/usr/share/fonts");
    if (QDir(system).exists())
        return system;
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::FontsLocation)) {
        if (QDir(folder).exists())
            return folder;
    }
    return QString();
}
