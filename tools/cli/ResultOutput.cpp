#include "ResultOutput.h"

#include "TerminalText.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <algorithm>
#include <map>

QString ResultTable(const std::vector<PrinterResult>& results) {
    qsizetype linkWidth = 4;
    qsizetype resultWidth = 6;
    for (const PrinterResult& result : results) {
        linkWidth = std::max(linkWidth, TerminalSafe(result.link).size());
        resultWidth =
            std::max(resultWidth, result.code == 0 ? qsizetype(2) : ResultText(result.code).size());
    }
    // Texts are joined, not put through QString::arg: a link or a reply may itself hold "%1".
    auto row = [&](const QString& link, const QString& outcome, const QString& details) {
        return (TerminalSafe(link).leftJustified(linkWidth) + QStringLiteral("  ") +
                outcome.leftJustified(resultWidth) + QStringLiteral("  ") + TerminalSafe(details))
                   .trimmed() +
               QLatin1Char('\n');
    };
    QString table =
        row(QStringLiteral("LINK"), QStringLiteral("RESULT"), QStringLiteral("DETAILS"));
    for (const PrinterResult& result : results) {
        const QString outcome = result.code == 0 ? QStringLiteral("OK") : ResultText(result.code);
        const QString details =
            result.code == 0 || result.summary != outcome ? result.summary : QString();
        table += row(result.link, outcome, details);
    }
    return table + ResultCounts(results) + QLatin1Char('\n');
}

QString ResultCounts(const std::vector<PrinterResult>& results) {
    std::map<int, int> counts;
    for (const PrinterResult& result : results)
        ++counts[result.code];
    QStringList parts;
    for (const auto& [code, count] : counts)
        parts << QString::number(count) + QLatin1Char(' ') +
                     (code == 0 ? QStringLiteral("OK") : ResultText(code));
    return QStringLiteral("Total ") + QString::number(results.size()) +
           (parts.isEmpty() ? QString() : QStringLiteral(": ") + parts.join(QStringLiteral(", ")));
}

QByteArray ResultJsonLines(const std::vector<PrinterResult>& results) {
    QByteArray lines;
    for (const PrinterResult& result : results) {
        QJsonObject object;
        object[QStringLiteral("link")] = result.link;
        object[QStringLiteral("result")] = result.code;
        object[QStringLiteral("resultText")] = ResultText(result.code);
        object[QStringLiteral("data")] = result.data;
        lines += QJsonDocument(object).toJson(QJsonDocument::Compact);
        lines += '\n';
    }
    return lines;
}
