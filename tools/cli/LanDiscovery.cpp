#include "LanDiscovery.h"

#include "network/LanProtocol.h"
#include "network/LanSetup.h"

std::optional<std::vector<PrinterResult>> DiscoverPrinters(const LanClientSettings& settings,
                                                           QString* error) {
    LanClient client(settings);
    const std::optional<std::vector<LanDiscoveryAnswer>> answers = DiscoverLanPrinters(client, 1);
    if (!answers) {
        *error = QStringLiteral("cannot open a UDP socket");
        return std::nullopt;
    }
    std::vector<PrinterResult> rows;
    for (const LanDiscoveryAnswer& answer : *answers) {
        PrinterResult row;
        const QString ip = answer.hasIp ? QString::fromStdString(Ipv4Text(answer.ip)) : QString();
        row.link = ip.isEmpty() ? QStringLiteral("-") : QStringLiteral("tcp:") + ip;
        row.data[QStringLiteral("mac")] = QString::fromStdString(MacText(answer.mac));
        row.data[QStringLiteral("ip")] = ip;
        row.data[QStringLiteral("model")] = QString::fromStdString(answer.model);
        row.data[QStringLiteral("name")] = QString::fromStdString(answer.printerName);
        row.data[QStringLiteral("status")] = QString::fromStdString(LanStatusText(answer));
        row.summary = QStringLiteral("%1  %2  %3  %4")
                          .arg(QString::fromStdString(MacText(answer.mac)),
                               QString::fromStdString(answer.printerName),
                               QString::fromStdString(answer.model),
                               QString::fromStdString(LanStatusText(answer)));
        rows.push_back(row);
    }
    return rows;
}
