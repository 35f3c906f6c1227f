#include "SettingsCommands.h"

#include "ConfigDiff.h"
#include "PrinterJobs.h"

#include "config/ConfigFile.h"
#include "config/SettingsDocument.h"
#include "config/SettingsPlan.h"
#include "link/PrinterLink.h"
#include "dispatch/Dispatch.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QSaveFile>

#include <algorithm>
#include <span>

namespace {

const QString kDocument = QStringLiteral("document");

PrinterResult FailedWith(int code, PrinterResult result = {}) {
    result.code = code;
    result.summary = ResultText(code);
    return result;
}

std::optional<QByteArray> ReadDocumentFile(const QString& path, QString* error) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: Open File Error").arg(path);
        return std::nullopt;
    }
    constexpr qint64 kLargest = 1 << 20;
    if (file.size() > kLargest) {
        *error = QStringLiteral("%1: larger than a settings document can be").arg(path);
        return std::nullopt;
    }
    return file.readAll();
}

std::optional<SettingsDocument> ParseDocumentFile(const QString& path, const QByteArray& bytes,
                                                  QString* error) {
    std::vector<SettingsFault> faults;
    std::optional<SettingsDocument> document =
        ParseSettingsDocument(std::string_view(bytes.constData(), bytes.size()), faults);
    if (!document) {
        QStringList lines;
        for (const SettingsFault& fault : faults) {
            QString line = path + QLatin1Char(':');
            if (fault.line > 0)
                line += QString::number(fault.line) + QLatin1Char(':');
            if (!fault.setting.empty())
                line += QLatin1Char(' ') + QString::fromStdString(fault.setting) + QLatin1Char(':');
            lines << line + QLatin1Char(' ') + QString::fromStdString(fault.what);
        }
        *error = QStringLiteral("refused, nothing sent:\n  ") + lines.join(QStringLiteral("\n  "));
    }
    return document;
}

QJsonValue ValueJson(const std::string& text) {
    bool number = false;
    const double value = QString::fromStdString(text).toDouble(&number);
    if (text.empty())
        return QJsonValue();
    return number ? QJsonValue(value) : QJsonValue(QString::fromStdString(text));
}

QJsonArray ChangesJson(const std::vector<SettingChange>& changes) {
    QJsonArray list;
    for (const SettingChange& change : changes) {
        list.append(QJsonObject{
            {QStringLiteral("setting"), QLatin1String(change.field->name)},
            {QStringLiteral("printer"), ValueJson(change.printer)},
            {QStringLiteral("wanted"), ValueJson(change.wanted)},
        });
    }
    return list;
}

QString ChangesText(const std::vector<SettingChange>& changes) {
    QStringList parts;
    for (const SettingChange& change : changes) {
        const QString printer = change.printer.empty() ? QStringLiteral("(none)")
                                                       : QString::fromStdString(change.printer);
        parts << QLatin1String(change.field->name) + QLatin1Char(' ') + printer +
                     QStringLiteral(" -> ") + QString::fromStdString(change.wanted);
    }
    return parts.join(QStringLiteral(", "));
}

// The wanted record with only the changed settings marked valid.
PrinterConfig OnlyChanged(const SettingsPlan& plan) {
    PrinterConfig changed = plan.wanted;
    for (const PageSetting& setting : PageSettingTable()) {
        const bool named =
            std::any_of(plan.changes.begin(), plan.changes.end(),
                        [&setting](const SettingChange& c) { return c.field == &setting; });
        if (!named)
            std::visit([&changed](auto member) { (changed.*member).valid = 0; }, setting.field);
    }
    return changed;
}

LinkError ReadPrinter(PrinterLink& link, const LinkAddress& printer, PrinterConfig& config) {
    config = DefaultPrinterConfig();
    return Dispatch<Op::ReadConfiguration>(link, printer.kind, config, 0);
}

FleetRunner::Job SettingsApplyJob(const SettingsDocument& document, bool check) {
    return [document, check](PrinterLink& link, const LinkAddress& printer) {
        PrinterConfig held{};
        LinkError code = ReadPrinter(link, printer, held);
        if (code != LinkOk)
            return FailedWith(code);
        const SettingsPlan plan = PlanSettings(document, held);
        PrinterResult result;
        result.data[QStringLiteral("check")] = check;
        if (!plan.refusals.empty()) {
            QJsonArray refused;
            QStringList texts;
            for (const SettingsFault& fault : plan.refusals) {
                refused.append(
                    QJsonObject{{QStringLiteral("setting"), QString::fromStdString(fault.setting)},
                                {QStringLiteral("line"), fault.line},
                                {QStringLiteral("reason"), QString::fromStdString(fault.what)}});
                texts << QString::fromStdString(fault.Text());
            }
            result.data[QStringLiteral("changed")] = false;
            result.data[QStringLiteral("refused")] = refused;
            result.code = kRefusedSetting;
            result.summary = QStringLiteral("nothing sent: ") + texts.join(QStringLiteral("; "));
            return result;
        }
        result.data[QStringLiteral("changes")] = ChangesJson(plan.changes);
        result.data[QStringLiteral("changed")] = !plan.changes.empty();
        if (plan.changes.empty()) {
            result.summary = QStringLiteral("unchanged");
            return result;
        }
        if (check) {
            result.summary = QStringLiteral("would change: ") + ChangesText(plan.changes);
            return result;
        }
        // The range check of every configuration sent from outside the page, on what the
        // document changes: the rest goes out (where a command carries it) as read.
        if (std::optional<PrinterResult> refused = RangeRefusal(OnlyChanged(plan))) {
            refused->data = result.data;
            refused->data[QStringLiteral("changed")] = false;
            return *refused;
        }
        QByteArray bytes;
        for (const std::string& text : plan.texts)
            bytes.append(text.data(), static_cast<qsizetype>(text.size()));
        code = Dispatch<Op::SendData>(link, printer.kind, std::span<const char>(bytes));
        if (code != LinkOk)
            return FailedWith(code, result);
        // The printer does not answer the commands: what it took shows only in a new read.
        std::vector<ConfigDifference> notTaken;
        code = ReadBackWritten(link, printer, plan.wanted, plan.tabs, notTaken);
        if (code != LinkOk)
            return ReadBackFailed(code, result);
        result.data[QStringLiteral("notTaken")] = DifferencesJson(notTaken);
        if (!notTaken.empty()) {
            result.code = kNotTaken;
            result.summary = QStringLiteral("not taken: ") + DifferencesText(notTaken);
            return result;
        }
        result.summary = QStringLiteral("changed: ") + ChangesText(plan.changes);
        return result;
    };
}

PrinterResult DocumentRow(const std::string& document) {
    PrinterResult row;
    row.data[kDocument] = QString::fromStdString(document);
    return row;
}

} // namespace

QCommandLineOption SettingsFormatOption() {
    return QCommandLineOption(QStringLiteral("format"),
                              QStringLiteral("Print the settings document: yaml or json (lengths "
                                             "in the --unit)."),
                              QStringLiteral("FORMAT"));
}

std::optional<FleetRunner::Job> SettingsReadJob(const CommandInput& input, int unitIndex,
                                                QString* error) {
    const QString format = input.parser.value(QStringLiteral("format"));
    if (format != QLatin1String("yaml") && format != QLatin1String("json")) {
        *error = QStringLiteral("--format must be yaml or json");
        return std::nullopt;
    }
    const bool json = format == QLatin1String("json");
    return FleetRunner::Job([json, unitIndex](PrinterLink& link, const LinkAddress& printer) {
        PrinterConfig config{};
        const LinkError code = ReadPrinter(link, printer, config);
        if (code != LinkOk)
            return FailedWith(code);
        PrinterResult result = DocumentRow(WriteSettingsDocument(config, unitIndex == 0, json));
        result.summary = QStringLiteral("edition %1").arg(config.Edition);
        return result;
    });
}

std::optional<QByteArray> SettingsDocumentsOutput(const std::vector<PrinterResult>& results) {
    const auto documentRow = [](const PrinterResult& result) {
        return result.data.contains(kDocument);
    };
    if (std::none_of(results.begin(), results.end(), documentRow))
        return std::nullopt;
    // JSON documents are single lines starting with "{".
    const bool json = std::any_of(results.begin(), results.end(), [](const PrinterResult& r) {
        return r.data.value(kDocument).toString().startsWith(QLatin1Char('{'));
    });
    QByteArray text;
    for (const PrinterResult& result : results) {
        // Several YAML documents are one stream; JSON documents go one a line.
        if (results.size() > 1 && !json)
            text += "--- # " + result.link.toUtf8() + '\n';
        if (result.code != 0)
            text += "# " + result.link.toUtf8() + ": " + ResultText(result.code).toUtf8() + '\n';
        else
            text += result.data.value(kDocument).toString().toUtf8();
    }
    return text;
}

CliCommand ConfigApply() {
    CliCommand c;
    c.words = {QStringLiteral("config"), QStringLiteral("apply")};
    c.syntax = QStringLiteral("SETTINGS.yaml");
    c.summary = QStringLiteral("Write the settings a YAML document names where they differ.");
    c.changesPrinter = true;
    c.options = [] {
        return QList<QCommandLineOption>{QCommandLineOption(
            QStringLiteral("check"), QStringLiteral("Write nothing; list what would change."))};
    };
    c.prepare = [syntax = c.syntax](const CommandInput& input,
                                    QString* error) -> std::optional<FleetRunner::Job> {
        if (input.arguments.size() != 1) {
            *error = QStringLiteral("expects %1").arg(syntax);
            return std::nullopt;
        }
        const std::optional<QByteArray> bytes = ReadDocumentFile(input.arguments[0], error);
        if (!bytes)
            return std::nullopt;
        const std::optional<SettingsDocument> document =
            ParseDocumentFile(input.arguments[0], *bytes, error);
        if (!document)
            return std::nullopt;
        return SettingsApplyJob(*document, input.parser.isSet(QStringLiteral("check")));
    };
    return c;
}

CliCommand ConfigConvert() {
    CliCommand c;
    c.words = {QStringLiteral("config"), QStringLiteral("convert")};
    c.syntax = QStringLiteral("FILE");
    c.summary = QStringLiteral("Turn a .dcf file into a settings document and back (--to dcf).");
    c.options = [] {
        return QList<QCommandLineOption>{
            QCommandLineOption(QStringLiteral("to"), QStringLiteral("yaml (default), json or dcf."),
                               QStringLiteral("FORMAT"), QStringLiteral("yaml")),
            QCommandLineOption(QStringLiteral("out"),
                               QStringLiteral("The file to write (needed for dcf; default: "
                                              "standard output)."),
                               QStringLiteral("FILE")),
        };
    };
    c.runLocal = [syntax = c.syntax](const CommandInput& input,
                                     QString* error) -> std::optional<std::vector<PrinterResult>> {
        if (input.arguments.size() != 1) {
            *error = QStringLiteral("expects %1").arg(syntax);
            return std::nullopt;
        }
        const QString to = input.parser.value(QStringLiteral("to"));
        const QString out = input.parser.value(QStringLiteral("out"));
        if (to != QLatin1String("yaml") && to != QLatin1String("json") &&
            to != QLatin1String("dcf")) {
            *error = QStringLiteral("--to must be yaml, json or dcf");
            return std::nullopt;
        }
        if (to == QLatin1String("dcf") && out.isEmpty()) {
            *error = QStringLiteral("--to dcf needs --out FILE");
            return std::nullopt;
        }
        const QString path = input.arguments[0];
        const std::optional<QByteArray> bytes = ReadDocumentFile(path, error);
        if (!bytes)
            return std::nullopt;
        // A .dcf image starts with its magic number; anything else is read as a document.
        ConfigFileContent content;
        if (std::optional<ConfigFileContent> image = DecodeConfigFile(*bytes)) {
            content = *image;
        } else {
            const std::optional<SettingsDocument> document = ParseDocumentFile(path, *bytes, error);
            if (!document)
                return std::nullopt;
            content.Config = SettingsDocumentRecord(*document);
            content.UnitIndex = content.Config.InchUnit != 0 ? 0 : 1;
        }
        QByteArray written;
        if (to == QLatin1String("dcf"))
            written = EncodeConfigFile(content);
        else
            written = QByteArray::fromStdString(WriteSettingsDocument(
                content.Config, content.UnitIndex == 0, to == QLatin1String("json")));
        PrinterResult row;
        row.link = path;
        if (out.isEmpty()) {
            row.data[kDocument] = QString::fromUtf8(written);
            return std::vector<PrinterResult>{row};
        }
        QSaveFile file(out);
        if (!file.open(QIODevice::WriteOnly) || file.write(written) != written.size() ||
            !file.commit()) {
            *error = QStringLiteral("%1: Save File Error").arg(out);
            return std::nullopt;
        }
        row.data[QStringLiteral("file")] = out;
        row.summary = QStringLiteral("written to ") + out;
        return std::vector<PrinterResult>{row};
    };
    c.output = SettingsDocumentsOutput;
    return c;
}

CliCommand ConfigSchema() {
    CliCommand c;
    c.words = {QStringLiteral("config"), QStringLiteral("schema")};
    c.summary = QStringLiteral("Print the JSON Schema of settings documents.");
    c.options = [] { return QList<QCommandLineOption>{}; };
    c.runLocal = [](const CommandInput& input,
                    QString* error) -> std::optional<std::vector<PrinterResult>> {
        if (!input.arguments.isEmpty()) {
            *error = QStringLiteral("unexpected argument %1").arg(input.arguments[0]);
            return std::nullopt;
        }
        return std::vector<PrinterResult>{DocumentRow(SettingsSchemaText())};
    };
    c.output = SettingsDocumentsOutput;
    return c;
}
