#include "fonts/CodeTable.h"

#include <QFile>

QByteArray CodeTable::FromBytes(const QByteArray& source) {
    QByteArray codes;
    if (source.size() > kMaxSource)
        return codes;
    codes.reserve(source.size());
    for (const char byte : source)
        if (static_cast<unsigned char>(byte) >= 32)
            codes.append(byte);
    return codes;
}

QByteArray CodeTable::ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // Read one byte past the limit so an oversized file shows itself even where the size
    // cannot be known beforehand (pipes, special files).
    QByteArray bytes = file.read(kMaxSource + 1);
    if (bytes.size() > kMaxSource)
        return {};
    return bytes;
}

QByteArray CodeTable::TextPart(const QByteArray& file) {
    const qsizetype zero = file.indexOf('\0');
    return zero < 0 ? file : file.left(zero);
}

uint32_t CodeTable::EntryCount(const QByteArray& codes, bool twoByte) {
    const auto size = static_cast<uint32_t>(codes.size());
    return twoByte ? size / 2 : size;
}
