#include "config/ConfigPageNumbers.h"

#include <cmath>
#include <limits>

namespace {

QLocale WithoutGroups(QLocale locale) {
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

} // namespace

QString FixedTwoText(double value, const QLocale& locale) {
    return WithoutGroups(locale).toString(value, 'f', 2);
}

QString ShortestText(float value, const QLocale& locale) {
    return WithoutGroups(locale).toString(static_cast<double>(value), 'g', 15);
}

std::optional<int32_t> ParseStrictInteger(const QString& text) {
    qsizetype at = 0;
    if (at < text.size() && (text[at] == QLatin1Char('+') || text[at] == QLatin1Char('-')))
        ++at;
    if (at == text.size())
        return std::nullopt;
    for (qsizetype i = at; i < text.size(); ++i) {
        if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9'))
            return std::nullopt;
    }
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok || value < std::numeric_limits<int32_t>::min() ||
        value > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(value);
}

std::optional<double> ParseStrictReal(const QString& text, const QLocale& locale) {
    bool ok = false;
    const double value = WithoutGroups(locale).toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> ParseSpeedText(QString text, const QLocale& locale) {
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    if (comma >= 0)
        text.replace(comma, 1, locale.decimalPoint());
    return ParseStrictReal(text, locale);
}

QString NotAnIntegerMessage(const QString& text) {
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

QString NotARealMessage(const QString& text) {
    return QStringLiteral("'%1' is not a valid floating point value").arg(text);
}
