#pragma once

#include <QString>

// The rows of the file manager's "File Type" list.
enum FileType : int {
    FileTypeBmp = 0,
    FileTypePcx = 1,
    FileTypeTrueTypeFont = 2,
    FileTypeBitmapFont = 3,
    FileTypeBasic = 4,
    FileTypeData = 5,
    FileTypeFirmware = 6,
    FileTypeTcf = 7,
};

inline constexpr int kFileTypeCount = 8;
// A printer file name the file manager sends has at most this many characters.
inline constexpr int kPrinterNameLimit = 12;

struct FileTypeRow {
    const char* item;      // the list text
    const char* filter;    // open-dialog filter, description and pattern pairs
    const char* extension; // appended to the printer file name
    bool raw;              // sent unchanged (firmware) instead of as a DOWNLOAD
};

// The row of a list index; with no row chosen (-1 or out of range) the browse filter is all
// files and nothing is appended.
const FileTypeRow& FileTypeAt(int index);

// The printer's name of a PC file: its base name (without folder and last extension) cut
// to eight characters, and the row's extension.
QString PrinterFileName(const QString& path, int fileType);

// Where "True Type Font" browses: the system's font folder, else the first font folder of
// the user that exists.
QString SystemFontFolder();
