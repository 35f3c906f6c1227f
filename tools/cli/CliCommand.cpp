#include "CliCommand.h"

#include "CanaryRollout.h"
#include "FontMakeCommand.h"
#include "LanDiscovery.h"
#include "PrinterJobs.h"
#include "SettingsCommands.h"

#include "config/ConfigFile.h"
#include "config/ConfigRanges.h"
#include "link/AddressText.h"
#include "link/FixedText.h"
#include "operations/ClockOperations.h"
#include "operations/MemoryRecords.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>

#include <cstring>
#include <limits>

namespace {

QCommandLineOption Option(const QString& name, const QString& description,
                          const QString& value = {}, const QString& defaultValue = {}) {
    return QCommandLineOption(name, description, value, defaultValue);
}

bool ArgumentCount(const CommandInput& input, int count, const QString& syntax, QString* error) {
    if (input.arguments.size() == count)
        return true;
    *error = count == 0 ? QStringLiteral("unexpected argument %1").arg(input.arguments.value(0))
                        : QStringLiteral("expects %1").arg(syntax);
    return false;
}

std::optional<int32_t> MemoryIndex(const CommandInput& input, QString* error) {
    const QString text = input.parser.value(QStringLiteral("memory")).toLower();
    static const QStringList kMemories = {QStringLiteral("dram"), QStringLiteral("flash"),
                                          QStringLiteral("card")};
    const qsizetype index = kMemories.indexOf(text);
    if (index < 0) {
        *error = QStringLiteral("--memory must be dram, flash or card");
        return std::nullopt;
    }
    return static_cast<int32_t>(index);
}

QList<QCommandLineOption> MemoryOption() {
    return {Option(QStringLiteral("memory"),
                   QStringLiteral("The printer memory: dram, flash or card."),
                   QStringLiteral("MEMORY"))};
}

// A name or text that goes between double quotes in a printer command: no quotes, no
// control characters, at most 63 bytes.
bool QuotableText(const QByteArray& text, QString* error, const QString& what) {
    bool ok = !text.isEmpty() && text.size() <= 63;
    for (char c : text)
        ok = ok && c != '"' && static_cast<unsigned char>(c) >= 0x20 && c != 0x7F;
    if (!ok)
        *error = QStringLiteral("%1 must be 1 to 63 bytes without double quotes or control "
                                "characters")
                     .arg(what);
    return ok;
}

std::optional<QByteArray> ReadLocalFile(const QString& path, QString* error) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: Open File Error").arg(path);
        return std::nullopt;
    }
    if (file.size() > std::numeric_limits<int32_t>::max()) {
        *error = QStringLiteral("%1: larger than 2 GiB").arg(path);
        return std::nullopt;
    }
    return file.readAll();
}

CliCommand Status() {
    CliCommand c;
    c.words = {QStringLiteral("status")};
    c.summary =
        QStringLiteral("Query the printer status (ribbon flags \"?\" if the extended reply does "
                       "not come within 1 s).");
    c.options = [] { return QList<QCommandLineOption>{}; };
    c.prepare = [](const CommandInput& input, QString* error) -> std::optional<FleetRunner::Job> {
        if (!ArgumentCount(input, 0, {}, error))
            return std::nullopt;
        return StatusJob();
    };
    return c;
}

CliCommand ConfigRead() {
    CliCommand c;
    c.words = {QStringLiteral("config"), QStringLiteral("read")};
    c.summary =
        QStringLiteral("Read the configuration (JSON with --json, a .dcf file with --out).");
    c.options = [] {
        return QList<QCommandLineOption>{
            Option(QStringLiteral("out"),
                   QStringLiteral("Save a .dcf file; with several printers FILE must contain "
                                  "{link}, replaced by the printer's link."),
                   QStringLiteral("FILE")),
            Option(QStringLiteral("unit"),
                   QStringLiteral("The unit the file records: inch (default) or mm."),
                   QStringLiteral("UNIT"), QStringLiteral("inch")),
            SettingsFormatOption(),
        };
    };
    c.prepare = [](const CommandInput& input, QString* error) -> std::optional<FleetRunner::Job> {
        if (!ArgumentCount(input, 0, {}, error))
            return std::nullopt;
        const QString out = input.parser.value(QStringLiteral("out"));
        if (input.printerCount > 1 && !out.isEmpty() && !out.contains(QStringLiteral("{link}"))) {
            *error = QStringLiteral("--out needs {link} in the file name for several printers");
            return std::nullopt;
        }
        const QString unit = input.parser.value(QStringLiteral("unit"));
        if (unit != QLatin1String("inch") && unit != QLatin1String("mm")) {
            *error = QStringLiteral("--unit must be inch or mm");
            return std::nullopt;
        }
        const int unitIndex = unit == QLatin1String("mm") ? 1 : 0;
        if (input.parser.isSet(QStringLiteral("format"))) {
            if (!out.isEmpty()) {
                *error = QStringLiteral("--format prints the document; --out saves a .dcf file");
                return std::nullopt;
            }
            return SettingsReadJob(input, unitIndex, error);
        }
        return ConfigReadJob(out, unitIndex);
    };
    c.output = SettingsDocumentsOutput;
    return c;
}

QCommandLineOption TabOption(const QString& verb) {
    return Option(QStringLiteral("tab"),
                  QStringLiteral("What to %1: common, z, d, interface or all (default).").arg(verb),
                  QStringLiteral("TAB"), QStringLiteral("all"));
}

// The --tab choice and the .dcf file named by the one argument.
struct ConfigFileInput {
    ConfigFileContent content;
    std::vector<int32_t> tabs;
};

std::optional<ConfigFileInput> ReadConfigFileInput(const CommandInput& input, const QString& syntax,
                                                   QString* error) {
    if (!ArgumentCount(input, 1, syntax, error))
        return std::nullopt;
    static const QStringList kTabs = {QStringLiteral("common"), QStringLiteral("z"),
                                      QStringLiteral("d"), QStringLiteral("interface")};
    const QString tab = input.parser.value(QStringLiteral("tab")).toLower();
    ConfigFileInput file;
    if (tab == QLatin1String("all"))
        file.tabs = {ConfigTabCommon, ConfigTabZ, ConfigTabD, ConfigTabInterface};
    else if (kTabs.contains(tab))
        file.tabs = {static_cast<int32_t>(kTabs.indexOf(tab))};
    else {
        *error = QStringLiteral("--tab must be common, z, d, interface or all");
        return std::nullopt;
    }
    const std::optional<QByteArray> bytes = ReadLocalFile(input.arguments[0], error);
    if (!bytes)
        return std::nullopt;
    const std::optional<ConfigFileContent> content = DecodeConfigFile(*bytes);
    if (!content) {
        *error = input.arguments[0] + QStringLiteral(": File Data Error");
        return std::nullopt;
    }
    // A value the configuration page could not hold is not sent, nor compared.
    const std::vector<ConfigRangeFault> faults = CheckConfigRanges(content->Config);
    if (!faults.empty()) {
        *error = input.arguments[0] + QStringLiteral(": File Data Error (") +
                 QString::fromStdString(ConfigRangeText(faults)) + QLatin1Char(')');
        return std::nullopt;
    }
    file.content = *content;
    return file;
}

CliCommand ConfigWrite() {
    CliCommand c;
    c.words = {QStringLiteral("config"), QStringLiteral("write")};
    c.syntax = QStringLiteral("FILE.dcf");
    c.summary = QStringLiteral("Write the configuration of a .dcf file, tab by tab.");
    c.changesPrinter = true;
    c.options = [] {
        return QList<QCommandLineOption>{
            TabOption(QStringLiteral("write")),
            Option(QStringLiteral("if-different"),
                   QStringLiteral("Read the printer first and write only the tabs with a "
                                  "setting that differs from the file.")),
        };
    };
    c.prepare = [syntax = c.syntax](const CommandInput& input,
                                    QString* error) -> std::optional<FleetRunner::Job> {
        const std::optional<ConfigFileInput> file = ReadConfigFileInput(input, syntax, error);
        if (!file)
            return std::nullopt;
        return ConfigWriteJob(file->content, file->tabs,
                              input.parser.isSet(QStringLiteral("if-different")));
    };
    return c;
}

// 0 when every printer holds the file's settings, 1 when one differs, 2 when one could
// not be compared.
int DiffExitStatus(const std::vector<PrinterResult>& results) {
    int status = 0;
    for (const PrinterResult& result : results) {
        if (result.code != 0)
            return 2;
        if (result.data.value(QStringLiteral("differs")).toBool())
            status = 1;
    }
    return status;
}

CliCommand ConfigDiff() {
    CliCommand c;
    c.words = {QStringLiteral("config"), QStringLiteral("diff")};
    c.syntax = QStringLiteral("FILE.dcf");
    c.summary = QStringLiteral("List the settings that differ from a .dcf file (exit 1 if any).");
    c.options = [] { return QList<QCommandLineOption>{TabOption(QStringLiteral("compare"))}; };
    c.prepare = [syntax = c.syntax](const CommandInput& input,
                                    QString* error) -> std::optional<FleetRunner::Job> {
        const std::optional<ConfigFileInput> file = ReadConfigFileInput(input, syntax, error);
        if (!file)
            return std::nullopt;
        return ConfigDiffJob(file->content, file->tabs);
    };
    c.exitStatus = DiffExitStatus;
    return c;
}

CliCommand FilesList() {
    CliCommand c;
    c.words = {QStringLiteral("files"), QStringLiteral("list")};
    c.summary = QStringLiteral("List the space and the files of DRAM, FLASH and CARD.");
    c.options = [] { return QList<QCommandLineOption>{}; };
    c.prepare = [](const CommandInput& input, QString* error) -> std::optional<FleetRunner::Job> {
        if (!ArgumentCount(input, 0, {}, error))
            return std::nullopt;
        return FilesListJob();
    };
    return c;
}

CliCommand FilesDownload() {
    CliCommand c;
    c.sendsFile = true;
    c.words = {QStringLiteral("files"), QStringLiteral("download")};
    c.syntax = QStringLiteral("FILE");
    c.summary = QStringLiteral("Download a PC file into a printer memory.");
    c.changesPrinter = true;
    c.options = [] {
        QList<QCommandLineOption> options = MemoryOption();
        options.append(Option(QStringLiteral("name"),
                              QStringLiteral("The file's name in the printer (default: the "
                                             "file's own name)."),
                              QStringLiteral("NAME")));
        return options;
    };
    c.prepare = [syntax = c.syntax](const CommandInput& input,
                                    QString* error) -> std::optional<FleetRunner::Job> {
        if (!ArgumentCount(input, 1, syntax, error))
            return std::nullopt;
        const std::optional<int32_t> memory = MemoryIndex(input, error);
        if (!memory)
            return std::nullopt;
        const QString path = input.arguments[0];
        QFile file(path);
        if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("%1: Open File Error").arg(path);
            return std::nullopt;
        }
        QString name = input.parser.value(QStringLiteral("name"));
        if (name.isEmpty())
            name = QFileInfo(path).fileName();
        const QByteArray printerName = name.toLocal8Bit();
        if (!QuotableText(printerName, error, QStringLiteral("the printer file name")))
            return std::nullopt;
        return DownloadJob(QFile::encodeName(QFileInfo(path).absoluteFilePath()), printerName,
                           *memory);
    };
    return c;
}

CliCommand FilesFormat() {
    CliCommand c;
    c.words = {QStringLiteral("files"), QStringLiteral("format")};
    c.summary = QStringLiteral("Delete every file of a printer memory.");
    c.changesPrinter = true;
    c.options = [] {
        QList<QCommandLineOption> options = MemoryOption();
        options.append(Option(QStringLiteral("yes"),
                              QStringLiteral("Confirm that every file of the memory goes.")));
        return options;
    };
    c.prepare = [](const CommandInput& input, QString* error) -> std::optional<FleetRunner::Job> {
        if (!ArgumentCount(input, 0, {}, error))
            return std::nullopt;
        const std::optional<int32_t> memory = MemoryIndex(input, error);
        if (!memory)
            return std::nullopt;
        if (!input.parser.isSet(QStringLiteral("yes"))) {
            *error = QStringLiteral("formatting deletes every file of the memory: add --yes");
            return std::nullopt;
        }
        return FormatJob(*memory);
    };
    return c;
}

CliCommand Send() {
    CliCommand c;
    c.sendsFile = true;
    c.words = {QStringLiteral("send")};
    c.syntax = QStringLiteral("FILE");
    c.summary = QStringLiteral("Send a file to the printer unchanged (commands, labels).");
    c.options = [] { return QList<QCommandLineOption>{}; };
    c.prepare = [syntax = c.syntax](const CommandInput& input,
                                    QString* error) -> std::optional<FleetRunner::Job> {
        if (!ArgumentCount(input, 1, syntax, error))
            return std::nullopt;
        const std::optional<QByteArray> bytes = ReadLocalFile(input.arguments[0], error);
        if (!bytes)
            return std::nullopt;
        return SendJob(*bytes);
    };
    return c;
}

CliCommand Firmware() {
    CliCommand c;
    c.sendsFile = true;
    c.words = {QStringLiteral("firmware")};
    c.syntax = QStringLiteral("FILE");
    c.summary = QStringLiteral("Send firmware, wait for each printer to come back, check it.");
    c.changesPrinter = true;
    c.options = [] {
        return QList<QCommandLineOption>{
            Option(QStringLiteral("expect-version"),
                   QStringLiteral("The version each printer must report afterwards."),
                   QStringLiteral("TEXT")),
            Option(QStringLiteral("canary"),
                   QStringLiteral("Update the first N printers alone first; the rest only when "
                                  "every one of them came back (with the expected version)."),
                   QStringLiteral("N")),
            Option(QStringLiteral("wait"),
                   QStringLiteral("Milliseconds each printer may take to come back (default "
                                  "180000)."),
                   QStringLiteral("MS"), QStringLiteral("180000")),
        };
    };
    c.prepare = [syntax = c.syntax](const CommandInput& input,
                                    QString* error) -> std::optional<FleetRunner::Job> {
        if (!ArgumentCount(input, 1, syntax, error))
            return std::nullopt;
        bool ok = false;
        const int waitMs = input.parser.value(QStringLiteral("wait")).toInt(&ok);
        if (!ok || waitMs < 100 || waitMs > 3600000) {
            *error = QStringLiteral("--wait takes 100 to 3600000 ms");
            return std::nullopt;
        }
        if (input.parser.isSet(QStringLiteral("canary"))) {
            const int canaries = input.parser.value(QStringLiteral("canary")).toInt(&ok);
            if (!ok || canaries < 1) {
                *error = QStringLiteral("--canary takes a number of printers, 1 or more");
                return std::nullopt;
            }
        }
        const std::optional<QByteArray> bytes = ReadLocalFile(input.arguments[0], error);
        if (!bytes)
            return std::nullopt;
        return FirmwareJob(*bytes, input.parser.value(QStringLiteral("expect-version")), waitMs);
    };
    c.runFleet = [](const CommandInput& input, const FleetRunner& runner,
                    const std::vector<LinkAddress>& printers, const FleetRunner::Job& job) {
        const int canaries = input.parser.isSet(QStringLiteral("canary"))
                                 ? input.parser.value(QStringLiteral("canary")).toInt()
                                 : 0;
        return CanaryRollout(canaries).Run(runner, printers, job);
    };
    return c;
}

CliCommand ClockRead() {
    CliCommand c;
    c.words = {QStringLiteral("clock"), QStringLiteral("read")};
    c.summary = QStringLiteral("Read the printer clock.");
    c.options = [] { return QList<QCommandLineOption>{}; };
    c.prepare = [](const CommandInput& input, QString* error) -> std::optional<FleetRunner::Job> {
        if (!ArgumentCount(input, 0, {}, error))
            return std::nullopt;
        return ClockReadJob();
    };
    return c;
}

CliCommand ClockSet() {
    CliCommand c;
    c.words = {QStringLiteral("clock"), QStringLiteral("set")};
    c.summary = QStringLiteral("Set the printer clock to this computer's time or a given one.");
    c.changesPrinter = true;
    c.options = [] {
        return QList<QCommandLineOption>{
            Option(QStringLiteral("now"), QStringLiteral("This computer's local time.")),
            Option(QStringLiteral("time"), QStringLiteral("A time written YYYY-MM-DD HH:MM:SS."),
                   QStringLiteral("TIME")),
        };
    };
    c.prepare = [](const CommandInput& input, QString* error) -> std::optional<FleetRunner::Job> {
        if (!ArgumentCount(input, 0, {}, error))
            return std::nullopt;
        const bool now = input.parser.isSet(QStringLiteral("now"));
        const bool given = input.parser.isSet(QStringLiteral("time"));
        if (now == given) {
            *error = QStringLiteral("give either --now or --time");
            return std::nullopt;
        }
        if (now)
            return ClockSetJob(std::nullopt);
        const QString text = input.parser.value(QStringLiteral("time"));
        const QDateTime time = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!time.isValid()) {
            *error = QStringLiteral("'%1' is not a time written YYYY-MM-DD HH:MM:SS").arg(text);
            return std::nullopt;
        }
        return ClockSetJob(ClockOf(time));
    };
    return c;
}

CliCommand NetRead() {
    CliCommand c;
    c.words = {QStringLiteral("net"), QStringLiteral("read")};
    c.summary = QStringLiteral("Read the printer's network settings over the link.");
    c.options = [] { return QList<QCommandLineOption>{}; };
    c.prepare = [](const CommandInput& input, QString* error) -> std::optional<FleetRunner::Job> {
        if (!ArgumentCount(input, 0, {}, error))
            return std::nullopt;
        return NetReadJob();
    };
    return c;
}

CliCommand NetSet() {
    CliCommand c;
    c.words = {QStringLiteral("net"), QStringLiteral("set")};
    c.summary = QStringLiteral("Set the printer's address (DHCP or fixed) and/or its name.");
    c.changesPrinter = true;
    c.options = [] {
        return QList<QCommandLineOption>{
            Option(QStringLiteral("dhcp"), QStringLiteral("Take the address by DHCP.")),
            Option(QStringLiteral("ip"), QStringLiteral("A fixed IPv4 address."),
                   QStringLiteral("ADDR")),
            Option(QStringLiteral("mask"), QStringLiteral("The subnet mask of --ip."),
                   QStringLiteral("MASK")),
            Option(QStringLiteral("gateway"), QStringLiteral("The gateway of --ip."),
                   QStringLiteral("ADDR")),
            Option(QStringLiteral("name"), QStringLiteral("The printer's network name."),
                   QStringLiteral("NAME")),
        };
    };
    c.prepare = [](const CommandInput& input, QString* error) -> std::optional<FleetRunner::Job> {
        if (!ArgumentCount(input, 0, {}, error))
            return std::nullopt;
        const QCommandLineParser& p = input.parser;
        NetChange change;
        const bool dhcp = p.isSet(QStringLiteral("dhcp"));
        const bool fixed = p.isSet(QStringLiteral("ip")) || p.isSet(QStringLiteral("mask")) ||
                           p.isSet(QStringLiteral("gateway"));
        if (dhcp && fixed) {
            *error = QStringLiteral("--dhcp and --ip exclude each other");
            return std::nullopt;
        }
        if (fixed) {
            for (const char* key : {"ip", "mask", "gateway"}) {
                const QString text = p.value(QLatin1String(key));
                if (!ReadDottedIpv4(QStringView(text))) {
                    *error = QStringLiteral("--ip, --mask and --gateway need dotted IPv4 "
                                            "addresses ('%1' for --%2)")
                                 .arg(text, QLatin1String(key));
                    return std::nullopt;
                }
            }
            change.config.dhcp = 0;
            StoreFixedBytes(change.config.ipAddress,
                            p.value(QStringLiteral("ip")).toLatin1().constData());
            StoreFixedBytes(change.config.subnetMask,
                            p.value(QStringLiteral("mask")).toLatin1().constData());
            StoreFixedBytes(change.config.gateway,
                            p.value(QStringLiteral("gateway")).toLatin1().constData());
        } else if (dhcp) {
            change.config.dhcp = 1;
        }
        change.setAddress = dhcp || fixed;
        if (p.isSet(QStringLiteral("name"))) {
            // Kept as the printer keeps it and as the network window stores it: Latin-1,
            // whole or not at all.
            const QString name = p.value(QStringLiteral("name"));
            if (!QuotableText(name.toLatin1(), error, QStringLiteral("--name")))
                return std::nullopt;
            const FixedTextResult stored =
                StoreFixedText(change.config.printerName, name, FixedTextKind::Printer);
            if (stored != FixedTextResult::Stored) {
                *error = stored == FixedTextResult::TooLong
                             ? QStringLiteral("Printer Name (--name) is too long.")
                             : QStringLiteral("Printer Name (--name) contains characters that "
                                              "cannot be stored.");
                return std::nullopt;
            }
            change.setName = true;
        }
        if (!change.setAddress && !change.setName) {
            *error = QStringLiteral("give --dhcp, --ip/--mask/--gateway or --name");
            return std::nullopt;
        }
        return NetSetJob(change);
    };
    return c;
}

CliCommand Discover() {
    CliCommand c;
    c.words = {QStringLiteral("discover")};
    c.summary = QStringLiteral("Find printers with the LAN setup protocol (no --link).");
    c.options = [] {
        return QList<QCommandLineOption>{
            Option(QStringLiteral("target"),
                   QStringLiteral("Ask this address instead of the network's broadcast and "
                                  "multicast addresses (repeatable)."),
                   QStringLiteral("ADDR")),
            Option(QStringLiteral("port"),
                   QStringLiteral("The UDP port printers answer on (default 22368)."),
                   QStringLiteral("PORT")),
            Option(QStringLiteral("wait"),
                   QStringLiteral("Milliseconds of silence that end a round (default 1000)."),
                   QStringLiteral("MS")),
        };
    };
    c.runLocal = [](const CommandInput& input,
                    QString* error) -> std::optional<std::vector<PrinterResult>> {
        if (!ArgumentCount(input, 0, {}, error))
            return std::nullopt;
        LanClientSettings settings;
        const QStringList targets = input.parser.values(QStringLiteral("target"));
        if (!targets.isEmpty()) {
            settings.broadcastTargets.clear();
            for (const QString& text : targets) {
                const QHostAddress target(text);
                if (target.isNull()) {
                    *error = QStringLiteral("--target '%1' is not an IP address").arg(text);
                    return std::nullopt;
                }
                settings.broadcastTargets.push_back(target);
            }
            // Both rounds go to the targets given.
            settings.multicastTargets = settings.broadcastTargets;
        }
        bool ok = true;
        if (input.parser.isSet(QStringLiteral("port"))) {
            const std::optional<int> port =
                ReadPortNumber(input.parser.value(QStringLiteral("port")));
            ok = port.has_value();
            settings.port = static_cast<quint16>(port.value_or(0));
        }
        if (ok && input.parser.isSet(QStringLiteral("wait"))) {
            settings.discoveryWaitMs = input.parser.value(QStringLiteral("wait")).toInt(&ok);
            ok = ok && settings.discoveryWaitMs > 0 && settings.discoveryWaitMs <= 60000;
        }
        if (!ok) {
            *error = QStringLiteral("--port takes 1 to 65535, --wait 1 to 60000 ms");
            return std::nullopt;
        }
        return DiscoverPrinters(settings, error);
    };
    return c;
}

} // namespace

const std::vector<CliCommand>& CliCommandTable() {
    // A new subcommand is one more entry here.
    static const std::vector<CliCommand> kCommands = {
        Status(),        ConfigRead(),   ConfigWrite(), ConfigDiff(),    ConfigApply(),
        ConfigConvert(), ConfigSchema(), FilesList(),   FilesDownload(), FilesFormat(),
        Send(),          Firmware(),     ClockRead(),   ClockSet(),      NetRead(),
        NetSet(),        Discover(),     FontMake(),
    };
    return kCommands;
}

const CliCommand* FindCliCommand(const QStringList& positional) {
    const CliCommand* found = nullptr;
    for (const CliCommand& command : CliCommandTable()) {
        if (positional.size() >= command.words.size() &&
            positional.mid(0, command.words.size()) == command.words &&
            (!found || command.words.size() > found->words.size()))
            found = &command;
    }
    return found;
}
