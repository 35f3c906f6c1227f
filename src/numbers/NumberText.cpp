#include "numbers/NumberText.h"

#include <cmath>
#include <limits>

namespace {

QLocale WithoutGroups(QLocale locale) {
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

// The locale's way of writing a number, brought to the C locale's: its digits, signs,
// decimal separator and exponent (some write "×10^"), without the direction marks that
// right-to-left locales put around signs.
QString InCNotation(QString text, const QLocale& locale) {
    text = text.trimmed();
    text.replace(QStringLiteral("\u00D710^"), QStringLiteral("e"));
    text.replace(locale.exponential(), QStringLiteral("e"), Qt::CaseInsensitive);
    text.replace(locale.negativeSign(), QStringLiteral("-"));
    text.replace(locale.positiveSign(), QStringLiteral("+"));
    text.replace(QChar(0x2212), QLatin1Char('-'));
    text.replace(locale.decimalPoint(), QStringLiteral("."));
    for (int digit = 0; digit <= 9; ++digit)
        text.replace(locale.toString(digit), QString(QLatin1Char(static_cast<char>('0' + digit))));
    static const QChar marks[] = {QChar(0x200E), QChar(0x200F), QChar(0x061C)};
    for (const QChar mark : marks)
        text.remove(mark);
    return text;
}

} // namespace

QString FixedTwoText(double value, const QLocale& locale) {
    return WithoutGroups(locale).toString(value, 'f', 2);
}

QString ShortestText(float value, const QLocale& locale) {
    return WithoutGroups(locale).toString(static_cast<double>(value), 'g', 15);
}

std::optional<int32_t> ParseStrictInteger(const QString& typed, IntegerBlanks blanks) {
    QString text = typed;
    if (blanks == IntegerBlanks::Around) {
        text = typed.trimmed();
    } else if (blanks == IntegerBlanks::Leading) {
        qsizetype start = 0;
        while (start < typed.size() && typed.at(start) == QLatin1Char(' '))
            ++start;
        text = typed.mid(start);
    }
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
    double value = WithoutGroups(locale).toDouble(text, &ok);
    if (!ok) {
        // Some locales do not read back every number they write (a minus sign between
        // direction marks, an exponent as "×10^"). What the page itself shows is taken.
        value = WithoutGroups(QLocale::c()).toDouble(InCNotation(text, locale), &ok);
        const QString shown = text.trimmed();
        ok = ok && (shown == FixedTwoText(value, locale) ||
                    shown == ShortestText(static_cast<float>(value), locale));
    }
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
