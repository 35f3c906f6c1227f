#include "ui/WholeFile.h"

#include <QSaveFile>

bool SaveWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush())
        return file.commit();
    file.cancelWriting();
    return false;
}
