#include "operations/PasswordText.h"

#include "link/FixedText.h"

QByteArray PasswordBytes(const PasswordText& text) {
    return QByteArray::fromStdString(FixedBytes(text));
}

void StorePassword(PasswordText& text, const QByteArray& bytes) {
    StoreFixedBytes(text, {bytes.constData(), static_cast<size_t>(bytes.size())});
}
