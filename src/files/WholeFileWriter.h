#pragma once

#include <QSaveFile>
#include <QString>

// A file written in pieces (and, for headers filled in last, with seeks) that takes the
// place of the old one only when every byte is on disk: the one way the programs replace a
// file (SaveWholeFile writes its bytes through it; MakeFont its font).
class WholeFileWriter {
public:
    explicit WholeFileWriter(const QString& path);

    // False once anything failed; later writes and seeks do nothing.
    bool Ok() const { return ok_; }
    void Write(const void* bytes, qint64 length);
    void Seek(qint64 position);

    // Flushed before the commit: a write the disk refuses (a full disk, a file-size limit)
    // shows there, while the commit would still put a cut-short file in place of the old
    // one. On any failure the old file stays as it was. True when the new file is in place.
    [[nodiscard]] bool Commit();

private:
    QSaveFile file_;
    bool ok_ = false;
};
