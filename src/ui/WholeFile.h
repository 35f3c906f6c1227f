#pragma once

#include <QByteArray>
#include <QString>

// Writes a file whole, beside the old one, and puts it in place only when every byte is on
// disk: written, flushed (a full disk or a file-size limit shows there, while the commit
// would still put a short file in place) and committed. A failed save leaves an older file
// as it was. False on any failure; the caller says so in its own words.
bool SaveWholeFile(const QString& path, const QByteArray& bytes);
