#include "functions/PasswordText.h"

#include <algorithm>
#include <cstring>

QByteArray PasswordBytes(const PasswordText& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(strnlen(text.data(), text.size())));
}

void StorePassword(PasswordText& text, const QByteArray& bytes) {
    text.fill('\0');
    const size_t length = std::min(static_cast<size_t>(bytes.size()), text.size() - 1);
    std::memcpy(text.data(), bytes.constData(), length);
}
