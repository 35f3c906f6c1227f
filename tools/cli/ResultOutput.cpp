#include "ResultOutput.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

QString ResultTable(const std::vector<PrinterResult>& results) {
    qsizetype linkWidth = 4;
    qsizetype resultWidth = 6;
    for (const PrinterResult& result : results) {
        linkWidth = std::max(linkWidth, result.link.size());
        resultWidth =
            std::max(resultWidth, result.code == 0 ? qsizetype(2) : ResultText(result.code).size());
    }
    // Texts are joined, not put through QString::arg: a link or a reply may itself hold "%1".
    auto row = [&](const QString& link, const QString& outcome, const QString& details) {
        return (link.leftJustified(linkWidth) + QStringLiteral("  ") +
                outcome.leftJustified(resultWidth) + QStringLiteral("  ") + details)
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
    return table;
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
