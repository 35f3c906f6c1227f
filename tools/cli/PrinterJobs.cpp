#include "PrinterJobs.h"

#include "ConfigDiff.h"
#include "ConfigJson.h"

#include "config/ConfigRanges.h"
#include "dispatch/Dispatch.h"
#include "dispatch/PasswordCheck.h"
#include "files/WholeFile.h"
#include "link/FixedText.h"
#include "link/PrinterLink.h"
#include "operations/ClockOperations.h"
#include "operations/MemoryRecords.h"
#include "operations/PrinterStatus.h"
#include "operations/StatusOperations.h"

#include <QDateTime>
#include <QJsonArray>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <span>

namespace {

PrinterResult Failed(int code) {
    PrinterResult result;
    result.code = code;
    result.summary = ResultText(code);
    return result;
}

struct FlagName {
    PrinterStatusFlag flag;
    const char* key;
    const char* text;
};

const FlagName kFlags[] = {
    {StatusHeadOpen, "headOpen", "head open"},
    {StatusPaperJam, "paperJam", "paper jam"},
    {StatusOutOfPaper, "outOfPaper", "out of paper"},
    {StatusRibbonFault, "ribbonFault", "ribbon fault"},
    {StatusPaused, "paused", "paused"},
    {StatusPrinting, "printing", "printing"},
    {StatusKept, "kept", nullptr},
    {StatusOtherError, "otherError", "other error"},
    {StatusRibbonEncoderError, "ribbonEncoderError", "ribbon encoder error"},
    {StatusOutOfRibbon, "outOfRibbon", "out of ribbon"},
};

// The flags; the two of the extended reply are null ("?" in the summary) when it did not
// come.
QJsonObject StatusJson(const StatusReading& reading, QString* summary) {
    QJsonObject flags;
    QStringList shown;
    QStringList unknown;
    for (const FlagName& flag : kFlags) {
        const bool extendedFlag =
            flag.flag == StatusRibbonEncoderError || flag.flag == StatusOutOfRibbon;
        if (extendedFlag && !reading.extendedKnown) {
            flags[QLatin1String(flag.key)] = QJsonValue();
            unknown.append(QLatin1String(flag.text) + QStringLiteral(" ?"));
            continue;
        }
        const bool set = reading.status.flags[flag.flag] != 0;
        flags[QLatin1String(flag.key)] = set;
        if (set && flag.text)
            shown.append(QLatin1String(flag.text));
    }
    if (summary) {
        *summary = shown.isEmpty() ? QStringLiteral("ready") : shown.join(QStringLiteral(", "));
        if (!unknown.isEmpty())
            *summary += QStringLiteral("; ") + unknown.join(QStringLiteral(", "));
    }
    return flags;
}

const char* const kMemoryNames[kMemoryDeviceCount] = {"DRAM", "FLASH", "CARD"};

QString ClockText(const PrinterClock& clock) {
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", clock.year, clock.month, clock.date,
                             clock.hour, clock.minute, clock.second);
}

QJsonObject NetJson(const PrinterNetConfig& net) {
    QJsonObject json;
    json[QStringLiteral("dhcp")] = net.dhcp == 1;
    json[QStringLiteral("ip")] = FixedText(net.ipAddress, FixedTextKind::Printer);
    json[QStringLiteral("mask")] = FixedText(net.subnetMask, FixedTextKind::Printer);
    json[QStringLiteral("gateway")] = FixedText(net.gateway, FixedTextKind::Printer);
    json[QStringLiteral("lastUsedIp")] = FixedText(net.lastUsedIp, FixedTextKind::Printer);
    json[QStringLiteral("name")] = FixedText(net.printerName, FixedTextKind::Printer);
    json[QStringLiteral("mac")] = FixedText(net.macAddress, FixedTextKind::Printer);
    return json;
}

// The printer's configuration, read as the file's unit records it.
LinkError ReadPrinterConfig(PrinterLink& link, const LinkAddress& printer,
                            const ConfigFileContent& file, PrinterConfig& held) {
    held.InchUnit = file.Config.InchUnit;
    SetConfigDefaults(held);
    return Dispatch<Op::ReadConfiguration>(link, printer.kind, held, 0);
}

// The firmware wait asks the printer this often, each query waiting at most the limit.
constexpr int kFirmwarePollMs = 250;
constexpr int kFirmwarePollLimitMs = 2000;

} // namespace

QString ConfigFileFor(const QString& filePattern, const QString& link) {
    QString safe = link;
    for (QChar& c : safe) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('.') && c != QLatin1Char('-'))
            c = QLatin1Char('_');
    }
    return QString(filePattern).replace(QStringLiteral("{link}"), safe);
}

FleetRunner::Job StatusJob() {
    return [](PrinterLink& link, const LinkAddress& printer) {
        StatusReading reading;
        const LinkError code = ReadPrinterStatus(link, printer.kind, reading);
        if (code != LinkOk)
            return Failed(code);
        PrinterResult result;
        result.data[QStringLiteral("flags")] = StatusJson(reading, &result.summary);
        return result;
    };
}

FleetRunner::Job ConfigReadJob(const QString& filePattern, int unitIndex) {
    return [filePattern, unitIndex](PrinterLink& link, const LinkAddress& printer) {
        ConfigFileContent content;
        content.UnitIndex = unitIndex;
        content.Config.InchUnit = unitIndex == 0 ? 1 : 0;
        SetConfigDefaults(content.Config);
        LinkError code = Dispatch<Op::ReadConfiguration>(link, printer.kind, content.Config, 0);
        StatusReading reading;
        if (code == LinkOk)
            code = ReadPrinterStatus(link, printer.kind, reading);
        if (code != LinkOk)
            return Failed(code);
        content.Status = reading.status;
        PrinterResult result;
        result.data[QStringLiteral("config")] = ConfigToJson(content.Config);
        result.data[QStringLiteral("status")] = StatusJson(reading, nullptr);
        result.summary = QStringLiteral("edition %1, %2 dpi")
                             .arg(content.Config.Edition)
                             .arg(static_cast<double>(content.Config.Dpi));
        if (!filePattern.isEmpty()) {
            const QString path = ConfigFileFor(filePattern, printer.text);
            if (!SaveWholeFile(path, EncodeConfigFile(content))) {
                PrinterResult failed = Failed(LinkFileOpenError);
                failed.summary = QStringLiteral("%1: %2").arg(ResultText(LinkFileOpenError), path);
                return failed;
            }
            result.data[QStringLiteral("file")] = path;
            result.summary += QStringLiteral(", saved to ") + path;
        }
        return result;
    };
}

FleetRunner::Job ConfigWriteJob(const ConfigFileContent& content, std::vector<int32_t> tabs,
                                bool onlyDifferent) {
    return [content, tabs, onlyDifferent](PrinterLink& link, const LinkAddress& printer) {
        // Whoever built the record, nothing the page could not hold goes out.
        if (std::optional<PrinterResult> refused = RangeRefusal(content.Config))
            return *refused;
        std::vector<int32_t> write = tabs;
        std::vector<ConfigDifference> differences;
        if (onlyDifferent) {
            PrinterConfig held{};
            const LinkError code = ReadPrinterConfig(link, printer, content, held);
            if (code != LinkOk)
                return Failed(code);
            differences = DiffConfig(held, content.Config, tabs);
            write = TabsToWrite(differences, tabs);
        }
        PrinterConfig config = content.Config;
        for (int32_t tab : write) {
            const LinkError code =
                Dispatch<Op::WriteConfiguration>(link, printer.kind, config, tab);
            if (code != LinkOk)
                return Failed(code);
        }
        PrinterResult result;
        QJsonArray written;
        for (int32_t tab : write)
            written.append(tab);
        result.data[QStringLiteral("tabs")] = written;
        result.data[QStringLiteral("changed")] = !write.empty();
        // The printer does not answer the commands: what it took shows only in a new read.
        std::vector<ConfigDifference> notTaken;
        const bool readBack = !write.empty() && printer.kind != InterfaceLpt;
        if (readBack) {
            const LinkError code = ReadBackWritten(link, printer, content.Config, write, notTaken);
            if (code != LinkOk)
                return ReadBackFailed(code, result);
        }
        result.data[QStringLiteral("checked")] = readBack;
        result.data[QStringLiteral("notTaken")] = DifferencesJson(notTaken);
        if (onlyDifferent) {
            // Only what was sent and is held now counts as written.
            std::erase_if(differences, [&notTaken](const ConfigDifference& d) {
                return std::any_of(notTaken.begin(), notTaken.end(),
                                   [&d](const ConfigDifference& n) { return n.name == d.name; });
            });
            result.data[QStringLiteral("differences")] = DifferencesJson(differences);
        }
        if (!notTaken.empty()) {
            result.code = kNotTaken;
            result.summary = QStringLiteral("not taken: ") + DifferencesText(notTaken);
            return result;
        }
        result.summary = write.empty() ? QStringLiteral("unchanged, same as the file")
                         : onlyDifferent
                             ? QStringLiteral("written: ") + DifferencesText(differences)
                             : QStringLiteral("written");
        if (!write.empty() && !readBack)
            result.summary += QStringLiteral(" (not checked: nothing can be read over a "
                                             "parallel port)");
        return result;
    };
}

std::optional<PrinterResult> RangeRefusal(const PrinterConfig& config) {
    const std::vector<ConfigRangeFault> faults = CheckConfigRanges(config);
    if (faults.empty())
        return std::nullopt;
    PrinterResult refused = Failed(LinkUnknownError);
    refused.summary = QStringLiteral("File Data Error (") +
                      QString::fromStdString(ConfigRangeText(faults)) + QLatin1Char(')');
    return refused;
}

LinkError ReadBackWritten(PrinterLink& link, const LinkAddress& printer,
                          const PrinterConfig& written, const std::vector<int32_t>& tabs,
                          std::vector<ConfigDifference>& notTaken) {
    PrinterConfig held{};
    held.InchUnit = written.InchUnit;
    SetConfigDefaults(held);
    const LinkError code = Dispatch<Op::ReadConfiguration>(link, printer.kind, held, 0);
    if (code == LinkOk)
        notTaken = DiffConfig(held, written, tabs);
    return code;
}

PrinterResult ReadBackFailed(LinkError code, const PrinterResult& sent) {
    PrinterResult failed = Failed(code);
    failed.summary = QStringLiteral("sent, but reading it back failed: ") + ResultText(code);
    failed.data = sent.data;
    return failed;
}

FleetRunner::Job ConfigDiffJob(const ConfigFileContent& content, std::vector<int32_t> tabs) {
    return [content, tabs](PrinterLink& link, const LinkAddress& printer) {
        PrinterConfig held{};
        const LinkError code = ReadPrinterConfig(link, printer, content, held);
        if (code != LinkOk)
            return Failed(code);
        const std::vector<ConfigDifference> differences = DiffConfig(held, content.Config, tabs);
        PrinterResult result;
        result.data[QStringLiteral("differs")] = !differences.empty();
        result.data[QStringLiteral("differences")] = DifferencesJson(differences);
        result.summary =
            differences.empty()
                ? QStringLiteral("same as the file")
                : (differences.size() == 1
                       ? QStringLiteral("1 setting differs: ")
                       : QStringLiteral("%1 settings differ: ").arg(differences.size())) +
                      DifferencesText(differences);
        return result;
    };
}

FleetRunner::Job FilesListJob() {
    return [](PrinterLink& link, const LinkAddress& printer) {
        // About 192 KiB: on the heap, one per job.
        auto info = std::make_unique<MemoryInfo>();
        std::memset(info.get(), 0, sizeof(MemoryInfo));
        const LinkError code = Dispatch<Op::ReadMemoryInfo>(link, printer.kind, *info);
        if (code != LinkOk)
            return Failed(code);
        PrinterResult result;
        QStringList parts;
        for (int m = 0; m < kMemoryDeviceCount; ++m) {
            const MemoryArea& area = info->areas[m];
            QJsonObject memory;
            memory[QStringLiteral("physical")] =
                area.physicalKnown ? QJsonValue(area.physicalSpace) : QJsonValue();
            memory[QStringLiteral("free")] =
                area.freeKnown ? QJsonValue(area.freeSpace) : QJsonValue();
            QJsonArray files;
            const QString list = FixedText(area.fileList, FixedTextKind::Printer);
            for (const QString& name : list.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
                files.append(name);
            memory[QStringLiteral("files")] = files;
            result.data[QLatin1String(kMemoryNames[m])] = memory;
            parts.append(QStringLiteral("%1 %2 file%3")
                             .arg(QLatin1String(kMemoryNames[m]))
                             .arg(files.size())
                             .arg(files.size() == 1 ? "" : "s"));
        }
        result.summary = parts.join(QStringLiteral(", "));
        return result;
    };
}

FleetRunner::Job DownloadJob(const QByteArray& localPath, const QByteArray& printerName,
                             int32_t memory) {
    return [localPath, printerName, memory](PrinterLink& link, const LinkAddress& printer) {
        DownloadRequest request{localPath.constData(), printerName.constData(), memory};
        const LinkError code = Dispatch<Op::DownloadFile>(link, printer.kind, request);
        if (code != LinkOk)
            return Failed(code);
        PrinterResult result;
        result.data[QStringLiteral("name")] = QString::fromLocal8Bit(printerName);
        result.data[QStringLiteral("memory")] = QLatin1String(kMemoryNames[memory]);
        result.summary =
            QStringLiteral("%1 stored in %2")
                .arg(QString::fromLocal8Bit(printerName), QLatin1String(kMemoryNames[memory]));
        return result;
    };
}

FleetRunner::Job FormatJob(int32_t memory) {
    return [memory](PrinterLink& link, const LinkAddress& printer) {
        int32_t index = memory;
        const LinkError code = Dispatch<Op::SendStoredCommand>(link, printer.kind, index);
        if (code != LinkOk)
            return Failed(code);
        PrinterResult result;
        result.data[QStringLiteral("memory")] = QLatin1String(kMemoryNames[memory]);
        result.summary = QStringLiteral("%1 formatted").arg(QLatin1String(kMemoryNames[memory]));
        return result;
    };
}

FleetRunner::Job SendJob(const QByteArray& bytes) {
    return [bytes](PrinterLink& link, const LinkAddress& printer) {
        const LinkError code =
            Dispatch<Op::SendData>(link, printer.kind, std::span<const char>(bytes));
        if (code != LinkOk)
            return Failed(code);
        PrinterResult result;
        result.data[QStringLiteral("bytes")] = static_cast<qint64>(bytes.size());
        result.summary = QStringLiteral("%1 bytes sent").arg(bytes.size());
        return result;
    };
}

FleetRunner::Job FirmwareJob(const QByteArray& bytes, const QString& expectedVersion, int waitMs) {
    return [bytes, expectedVersion, waitMs](PrinterLink& link, const LinkAddress& printer) {
        using Clock = std::chrono::steady_clock;
        LinkError code = Dispatch<Op::SendData>(link, printer.kind, std::span<const char>(bytes));
        if (code != LinkOk)
            return Failed(code);
        if (printer.kind == InterfaceLpt) {
            PrinterResult result = Failed(kNotBack);
            result.summary = QStringLiteral("sent; nothing can be read over a parallel port, so "
                                            "the restart cannot be checked");
            return result;
        }
        const Clock::time_point sent = Clock::now();
        const Clock::time_point deadline = sent + std::chrono::milliseconds(waitMs);
        // While the printer restarts every query is short, so the wait stays near its bound.
        const LinkTimeouts saved = link.Timeouts();
        LinkTimeouts& waits = link.Timeouts();
        for (int* wait : {&waits.usbReadMs, &waits.comReadMs, &waits.netMs, &waits.netConnectMs})
            *wait = std::min(*wait, kFirmwarePollLimitMs);

        bool wentAway = false;
        bool back = false;
        QString version;
        while (!back) {
            StatusReading status;
            if (ReadPrinterStatus(link, printer.kind, status) != LinkOk) {
                wentAway = true;
            } else if (wentAway || !expectedVersion.isEmpty()) {
                PrinterConfig config{};
                SetConfigDefaults(config);
                if (Dispatch<Op::ReadConfiguration>(link, printer.kind, config, 0) == LinkOk) {
                    version = FixedText(config.Version, FixedTextKind::Printer);
                    // Still the old firmware when it never went away and reports another.
                    back = wentAway || version == expectedVersion;
                }
            }
            if (back || Clock::now() >= deadline)
                break;
            const auto pause = std::min<Clock::duration>(std::chrono::milliseconds(kFirmwarePollMs),
                                                         deadline - Clock::now());
            // An interrupt ends the wait for the printer as it ends every other wait.
            if (!link.Waits().Pause(std::chrono::duration_cast<std::chrono::milliseconds>(pause)))
                break;
        }
        link.Timeouts() = saved;

        const double seconds = std::chrono::duration<double>(Clock::now() - sent).count();
        PrinterResult result;
        result.data[QStringLiteral("bytes")] = static_cast<qint64>(bytes.size());
        result.data[QStringLiteral("restarted")] = wentAway;
        result.data[QStringLiteral("cameBack")] = back;
        result.data[QStringLiteral("version")] = back ? QJsonValue(version) : QJsonValue();
        result.data[QStringLiteral("seconds")] = std::round(seconds * 10) / 10;
        if (!back) {
            result.code = kNotBack;
            result.summary =
                link.Waits().Cancelled()
                    ? QStringLiteral("interrupted while waiting for the printer to answer again")
                : wentAway ? QStringLiteral("did not answer again within %1 s").arg(waitMs / 1000.0)
                           : QStringLiteral("kept answering without a restart for %1 s")
                                 .arg(waitMs / 1000.0);
        } else if (!expectedVersion.isEmpty() && version != expectedVersion) {
            result.code = kWrongVersion;
            result.summary = QStringLiteral("came back with version %1, expected %2")
                                 .arg(version, expectedVersion);
        } else {
            result.summary = QStringLiteral("came back after %1 s, version %2")
                                 .arg(result.data[QStringLiteral("seconds")].toDouble())
                                 .arg(version);
        }
        return result;
    };
}

FleetRunner::Job ClockReadJob() {
    return [](PrinterLink& link, const LinkAddress& printer) {
        PrinterClock clock{};
        const LinkError code = Dispatch<Op::ReadClock>(link, printer.kind, clock);
        if (code != LinkOk)
            return Failed(code);
        PrinterResult result;
        result.data[QStringLiteral("year")] = clock.year;
        result.data[QStringLiteral("month")] = clock.month;
        result.data[QStringLiteral("date")] = clock.date;
        result.data[QStringLiteral("hour")] = clock.hour;
        result.data[QStringLiteral("minute")] = clock.minute;
        result.data[QStringLiteral("second")] = clock.second;
        result.summary = ClockText(clock);
        return result;
    };
}

FleetRunner::Job ClockSetJob(std::optional<PrinterClock> clock) {
    return [clock](PrinterLink& link, const LinkAddress& printer) {
        PrinterClock value = clock ? *clock : ClockOf(QDateTime::currentDateTime());
        const LinkError code = Dispatch<Op::SetClock>(link, printer.kind, value);
        if (code != LinkOk)
            return Failed(code);
        PrinterResult result;
        result.data[QStringLiteral("set")] = ClockText(value);
        result.summary = QStringLiteral("set to ") + ClockText(value);
        return result;
    };
}

FleetRunner::Job NetReadJob() {
    return [](PrinterLink& link, const LinkAddress& printer) {
        PrinterNetConfig net{};
        const LinkError code = Dispatch<Op::ReadNetSettings>(link, printer.kind, net);
        if (code != LinkOk)
            return Failed(code);
        PrinterResult result;
        result.data = NetJson(net);
        result.summary = net.dhcp == 1 ? QStringLiteral("DHCP")
                                       : QStringLiteral("%1 mask %2 gateway %3")
                                             .arg(FixedText(net.ipAddress, FixedTextKind::Printer),
                                                  FixedText(net.subnetMask, FixedTextKind::Printer),
                                                  FixedText(net.gateway, FixedTextKind::Printer));
        if (net.printerName[0] != '\0')
            result.summary +=
                QStringLiteral(", name ") + FixedText(net.printerName, FixedTextKind::Printer);
        return result;
    };
}

FleetRunner::Job NetSetJob(const NetChange& change) {
    return [change](PrinterLink& link, const LinkAddress& printer) {
        PrinterNetConfig net = change.config;
        if (change.setAddress) {
            const LinkError code = Dispatch<Op::SetNetAddress>(link, printer.kind, net);
            if (code != LinkOk)
                return Failed(code);
        }
        if (change.setName) {
            const LinkError code = Dispatch<Op::SetNetName>(link, printer.kind, net);
            if (code != LinkOk)
                return Failed(code);
        }
        PrinterResult result;
        result.data = NetJson(net);
        result.summary = QStringLiteral("sent");
        return result;
    };
}

FleetRunner::Job PasswordGuarded(FleetRunner::Job job, std::optional<QByteArray> password) {
    return [job = std::move(job), password](PrinterLink& link, const LinkAddress& printer) {
        const PasswordCheck check = CheckPrinterPassword(link, printer.kind, password);
        if (check.code != LinkOk)
            return Failed(check.code);
        if (!check.Allows())
            return Failed(kRefusedByPassword);
        return job(link, printer);
    };
}
