#include "files/WholeFileWriter.h"

WholeFileWriter::WholeFileWriter(const QString& path) : file_(path) {
    ok_ = file_.open(QIODevice::WriteOnly);
}

void WholeFileWriter::Write(const void* bytes, qint64 length) {
    if (ok_ && length > 0)
        ok_ = file_.write(static_cast<const char*>(bytes), length) == length;
}

void WholeFileWriter::Seek(qint64 position) {
    if (ok_)
        ok_ = file_.seek(position);
}

bool WholeFileWriter::Commit() {
    if (ok_)
        ok_ = file_.flush();
    if (!ok_) {
        file_.cancelWriting();
        return false;
    }
    return file_.commit();
}
