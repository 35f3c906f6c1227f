#include "link/FixedText.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>

namespace {

QByteArray Encode(const QString& text, FixedTextKind kind) {
    switch (kind) {
    case FixedTextKind::Printer:
        return text.toLatin1();
    case FixedTextKind::Local:
        return text.toLocal8Bit();
    case FixedTextKind::Password:
        break;
    }
    return text.toUtf8();
}

QString Decode(const QByteArray& bytes, FixedTextKind kind) {
    switch (kind) {
    case FixedTextKind::Printer:
        return QString::fromLatin1(bytes);
    case FixedTextKind::Local:
        return QString::fromLocal8Bit(bytes);
    case FixedTextKind::Password:
        break;
    }
    return QString::fromUtf8(bytes);
}

} // namespace

std::string FixedBytes(const char* field, size_t capacity) {
    if (!field || capacity == 0)
        return {};
    return std::string(field, strnlen(field, capacity - 1));
}

bool StoreFixedBytes(char* field, size_t capacity, std::string_view bytes) {
    if (!field || capacity == 0)
        return bytes.empty();
    std::memset(field, 0, capacity);
    const size_t length = std::min(bytes.size(), capacity - 1);
    std::memcpy(field, bytes.data(), length);
    return length == bytes.size() && bytes.find('\0') == std::string_view::npos;
}

QString FixedText(const char* field, size_t capacity, FixedTextKind kind) {
    const std::string bytes = FixedBytes(field, capacity);
    return Decode(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())),
                  kind);
}

FixedTextResult StoreFixedText(char* field, size_t capacity, const QString& text,
                               FixedTextKind kind) {
    const QByteArray bytes = Encode(text, kind);
    // A character the encoding lacks comes back as something else (Latin-1 and the local
    // encoding put "?" in its place); a zero character would end the text early.
    if (text.contains(QChar(u'\0')) || Decode(bytes, kind) != text)
        return FixedTextResult::NotEncodable;
    if (capacity == 0 || static_cast<size_t>(bytes.size()) > capacity - 1)
        return FixedTextResult::TooLong;
    StoreFixedBytes(field, capacity, {bytes.constData(), static_cast<size_t>(bytes.size())});
    return FixedTextResult::Stored;
}
