#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Files read and written whole: the windows' open and save, the command line's outputs.

// Writes a file whole, beside the old one, and puts it in place only when every byte is on
// disk: written, flushed (a full disk or a file-size limit shows there, while the commit
// would still put a short file in place) and committed. A failed save leaves an older file
// as it was. False on any failure.
[[nodiscard]] bool SaveWholeFile(const QString& path, const QByteArray& bytes);

// Why a file could not be read whole.
enum class WholeFileFailure {
    CannotOpen,
    CannotRead, // opened, but not read to its end (a disk error, a special file)
    TooLarge,
};

struct WholeFileLimits {
    // Only the first bytes are read (what a format or the editor can take); -1: all.
    qint64 readLimit = -1;
    // A larger file is refused before it is read; -1: any size.
    qint64 sizeLimit = -1;
};

// The bytes of a file (or its first `readLimit` bytes), or why there are none.
struct WholeFileRead {
    std::optional<WholeFileFailure> failure;
    QByteArray bytes;
};
WholeFileRead ReadWholeFile(const QString& path, const WholeFileLimits& limits);

// Checks that the file can be opened and is within the size limit without reading it.
struct WholeFileSize {
    std::optional<WholeFileFailure> failure;
    qint64 size = 0;
};
WholeFileSize CheckWholeFile(const QString& path, const WholeFileLimits& limits);
