#include "ExporterOptions.h"

#include <QRegularExpression>

#include <cmath>

const char* const kExporterUsage =
    "Usage: tarnvik-exporter [options]\n"
    "\n"
    "Answers Prometheus with the health of label printers, one printer per request:\n"
    "  GET /probe?target=LINK[&module=status|full]\n"
    "  GET /metrics   (the exporter's own metrics)\n"
    "LINK is a tarnvik-cli --link address: tcp:HOST[:PORT], usb, com:PORT[,BAUD...],\n"
    "lpt:PATH. module=status (the default) asks the status; module=full also reads the\n"
    "configuration and the memories.\n"
    "\n"
    "Options:\n"
    "  --listen ADDR:PORT       where to serve HTTP: one address and a port (default\n"
    "                           127.0.0.1:9854; [::1]:9854 for IPv6; 0.0.0.0 for every\n"
    "                           interface; port 0 takes a free one and prints it)\n"
    "  --allow ENTRY            probe only these targets (repeatable): a network for TCP\n"
    "                           printers (10.20.0.0/16, fd00::/8, one address), a device\n"
    "                           path for serial and parallel printers (/dev/ttyUSB0, or with\n"
    "                           wildcards: /dev/ttyUSB*), or usb. A host name is resolved\n"
    "                           and every address must be allowed. Without a network entry\n"
    "                           every TCP target is probed: anyone who reaches the exporter\n"
    "                           can make it connect to any host and port. Serial, parallel\n"
    "                           and USB printers are probed only where an entry names them,\n"
    "                           and only character devices that are no session terminal.\n"
    "  --max-probes N           at most N probe requests at once (default 4096, up to\n"
    "                           32768; each waiting one costs about 45 KiB and two\n"
    "                           descriptors); more answer 503 at once. Two probes of one\n"
    "                           printer never run at once: the second waits for the first\n"
    "  --default-timeout SEC    a probe's time when Prometheus sends no scrape time-out\n"
    "                           (default 10)\n"
    "  --max-timeout SEC        the longest probe a scrape time-out can ask for (default 60)\n"
    "  --timeout-offset SEC     taken off the scrape time-out to leave time for the answer\n"
    "                           (default 0.5)\n"
    "  --version                show the version\n"
    "  -h, --help               show this text\n";

namespace {

bool Seconds(const QString& text, double& out) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0 || value > 3600)
        return false;
    out = value;
    return true;
}

} // namespace

std::optional<ExporterOptions> ParseExporterOptions(const QStringList& arguments, QString* error) {
    ExporterOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString option = arguments[i];
        auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= arguments.size()) {
                *error = QStringLiteral("%1 needs a value").arg(option);
                return std::nullopt;
            }
            return arguments[++i];
        };
        if (option == QLatin1String("-h") || option == QLatin1String("--help")) {
            options.help = true;
        } else if (option == QLatin1String("--version")) {
            options.version = true;
        } else if (option == QLatin1String("--listen")) {
            const std::optional<QString> text = value();
            if (!text)
                return std::nullopt;
            // One numeric address and a port: "ADDR:PORT" or "[IPv6]:PORT".
            static const QRegularExpression kOneAddress(
                QStringLiteral("^(?:\\d{1,3}(?:\\.\\d{1,3}){3}|\\[[0-9A-Fa-f:.]+\\]):\\d{1,5}$"));
            const qsizetype colon = text->lastIndexOf(QLatin1Char(':'));
            const int port = text->mid(colon + 1).toInt();
            if (!kOneAddress.match(*text).hasMatch() || port > 65535) {
                *error = QStringLiteral("--listen takes one ADDR:PORT, such as 127.0.0.1:9854 "
                                        "or [::1]:9854");
                return std::nullopt;
            }
            options.listen = text->toStdString();
        } else if (option == QLatin1String("--allow")) {
            const std::optional<QString> text = value();
            if (!text || !options.allow.Add(*text, error))
                return std::nullopt;
        } else if (option == QLatin1String("--max-probes")) {
            const std::optional<QString> text = value();
            if (!text)
                return std::nullopt;
            bool ok = false;
            options.maxProbes = text->toInt(&ok);
            if (!ok || options.maxProbes < 1 || options.maxProbes > ExporterOptions::kMostProbes) {
                *error =
                    QStringLiteral("--max-probes takes 1 to %1").arg(ExporterOptions::kMostProbes);
                return std::nullopt;
            }
        } else if (option == QLatin1String("--default-timeout") ||
                   option == QLatin1String("--max-timeout") ||
                   option == QLatin1String("--timeout-offset")) {
            const std::optional<QString> text = value();
            if (!text)
                return std::nullopt;
            double& target =
                option == QLatin1String("--default-timeout") ? options.defaultTimeoutSeconds
                : option == QLatin1String("--max-timeout")   ? options.maxTimeoutSeconds
                                                             : options.timeoutOffsetSeconds;
            if (!Seconds(*text, target) ||
                (&target != &options.timeoutOffsetSeconds && target == 0)) {
                *error = QStringLiteral("%1 takes seconds from 0 to 3600").arg(option);
                return std::nullopt;
            }
        } else {
            *error = QStringLiteral("unknown option %1 (see --help)").arg(option);
            return std::nullopt;
        }
    }
    return options;
}
