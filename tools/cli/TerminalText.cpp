#include "TerminalText.h"

namespace {

bool Escaped(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

} // namespace

QString TerminalSafe(const QString& text) {
    QString safe;
    safe.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (!Escaped(u)) {
            safe += c;
        } else if (u == '\n') {
            safe += QLatin1String("\\n");
        } else if (u == '\r') {
            safe += QLatin1String("\\r");
        } else if (u == '\t') {
            safe += QLatin1String("\\t");
        } else if (u <= 0xFF) {
            safe +=
                QStringLiteral("\\x") + QString::number(u, 16).rightJustified(2, QLatin1Char('0'));
        } else {
            safe +=
                QStringLiteral("\\u") + QString::number(u, 16).rightJustified(4, QLatin1Char('0'));
        }
    }
    return safe;
}
