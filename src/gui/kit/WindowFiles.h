#pragma once

#include "files/WholeFile.h"

#include <QByteArray>
#include <QString>

#include <optional>

class OperationHost;

// The user's files as a window reads and writes them: the engine's whole-file helpers, with
// the window's message when one fails.

// A save the user asked for (see SaveWholeFile): a failure is shown with the window's
// message; nothing is taken for saved that is not in place. True when the file is.
bool SaveWholeFile(OperationHost& host, const QString& path, const QByteArray& bytes,
                   const QString& failureMessage);

// How a window reads a file the user chose, and what it says when that fails.
struct FileLoad {
    // The file cannot be opened: empty only for a window that stays silent then.
    QString cannotOpen;
    // An opened file cannot be read to its end (a disk error, a special file). It is always
    // reported.
    QString cannotRead;
    // Only the first bytes are read (what a format or the editor can take); -1: all.
    qint64 readLimit = -1;
    // A larger file is refused before it is read; -1: any size.
    qint64 sizeLimit = -1;
    QString tooLarge;
};

// Reads the file whole (or its first `readLimit` bytes). A failure gives nothing, after
// the window's message (or, for a window that stays silent, nothing).
std::optional<QByteArray> LoadWholeFile(OperationHost& host, const QString& path,
                                        const FileLoad& load);

// Checks that the file can be read and is within the size limit without reading it: its
// size, or nothing after the failure was answered as LoadWholeFile answers it.
std::optional<qint64> CheckWholeFile(OperationHost& host, const QString& path,
                                     const FileLoad& load);
