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
    const auto size = static_cast<qsizetype>(bytes.size());
    switch (kind) {
    case FixedTextKind::Printer:
        return QString::fromLatin1(bytes.data(), size);
    case FixedTextKind::Local:
        return QString::fromLocal8Bit(bytes.data(), size);
    case FixedTextKind::Password:
        break;
    }
    return QString::fromUtf8(bytes.data(), size);
}

bool StoreFixedText(char* field, size_t capacity, const QString& text, FixedTextKind kind) {
    // Every character takes at least one byte, so no more than the capacity can fit.
    QString kept = text.left(static_cast<qsizetype>(capacity));
    if (!kept.isEmpty() && kept.back().isHighSurrogate())
        kept.chop(1);
    QByteArray bytes = Encode(kept, kind);
    // Drop whole characters from the end until the rest fits, so no character is split.
    while (capacity > 0 && static_cast<size_t>(bytes.size()) > capacity - 1) {
        kept.chop(kept.size() >= 2 && kept.at(kept.size() - 1).isLowSurrogate() ? 2 : 1);
        bytes = Encode(kept, kind);
    }
    const bool whole = StoreFixedBytes(field, capacity, {bytes.constData(), size_t(bytes.size())});
    return whole && kept.size() == text.size();
}
