#pragma once

#include "operations/PrinterNetConfig.h"

#include <QString>

#include <cstring>

// Printer texts are bytes; Latin-1 shows every byte and gives it back unchanged.
inline QString NetFieldText(const char (&field)[kNetTextCapacity]) {
    return QString::fromLatin1(field, static_cast<qsizetype>(strnlen(field, kNetTextCapacity)));
}

inline void SetNetField(char (&field)[kNetTextCapacity], const QString& text) {
    SetNetText(field, text.toLatin1().constData());
}
