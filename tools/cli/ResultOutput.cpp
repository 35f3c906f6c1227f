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
    QString table = QStringLiteral("%1  %2  %3\n")
                        .arg(QStringLiteral("LINK"), -static_cast<int>(linkWidth))
                        .arg(QStringLiteral("RESULT"), -static_cast<int>(resultWidth))
                        .arg(QStringLiteral("DETAILS"));
    for (const PrinterResult& result : results) {
        const QString outcome = result.code == 0 ? QStringLiteral("OK") : ResultText(result.code);
        const QString details =
            result.code == 0 || result.summary != outcome ? result.summary : QString();
        table += QStringLiteral("%1  %2  %3")
                     .arg(result.link, -static_cast<int>(linkWidth))
                     .arg(outcome, -static_cast<int>(resultWidth))
                     .arg(details)
                     .trimmed() +
                 QLatin1Char('\n');
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
