#include "CliApplication.h"

#include "CliCommand.h"
#include "CliInterrupt.h"
#include "link/LinkAddress.h"
#include "PrinterJobs.h"
#include "ProgressLine.h"
#include "ResultOutput.h"
#include "TerminalText.h"

#include "link/PrinterLink.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <memory>
#include <unistd.h>
#include <unordered_map>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kMaxParallel = 64;

void Print(FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

// What names one printer: the kind and the port, path or host and port (host names
// without case). Two links with the same key reach the same printer.
QString PrinterKey(const LinkAddress& link) {
    const QString kind = QString::number(link.kind) + QLatin1Char(':');
    switch (link.kind) {
    case InterfaceCom:
        return kind + QString::fromLocal8Bit(link.com.portName);
    case InterfaceLpt:
        return kind + QString::fromLocal8Bit(link.lpt.text);
    case InterfaceEthernet:
        return kind + QString::number(link.net.port) + QLatin1Char(':') +
               QString::fromLocal8Bit(link.net.address).toLower();
    default:
        return kind;
    }
}

} // namespace

void CliApplication::AddGlobalOptions(QCommandLineParser& parser) const {
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {QStringLiteral("link"),
         QStringLiteral("A printer: usb, com:PORT[,BAUD[,BITS[,PARITY[,STOP]]]], lpt:PATH or "
                        "tcp:HOST[:PORT]. Repeat for several printers."),
         QStringLiteral("LINK")},
        {QStringLiteral("links"),
         QStringLiteral("A file with one link a line (# starts a comment)."),
         QStringLiteral("FILE")},
        {{QStringLiteral("j"), QStringLiteral("jobs")},
         QStringLiteral("How many printers are served at a time (default 4)."),
         QStringLiteral("N"),
         QStringLiteral("4")},
        {QStringLiteral("json"), QStringLiteral("One JSON object per printer and line.")},
        {QStringLiteral("password-file"),
         QStringLiteral("The printer password for changes, from a file (one trailing line end "
                        "is dropped). Default: the TARNVIK_PASSWORD environment variable."),
         QStringLiteral("FILE")},
        {QStringLiteral("timeout"),
         QStringLiteral("Milliseconds any one wait for a printer may last: reads, writes, "
                        "pauses and the TCP connect (default: the product's waits, 3000 USB "
                        "and serial reads, 30000 TCP reads, 10000 TCP connect)."),
         QStringLiteral("MS")},
    });
}

QString CliApplication::GeneralHelp() const {
    QString help =
        QStringLiteral("Usage: tarnvik-cli COMMAND [options]\n\n"
                       "Services thermal label printers from scripts, one or many at a time.\n\n"
                       "Commands:\n");
    for (const CliCommand& command : CliCommandTable()) {
        const QString name = (command.Name() + QLatin1Char(' ') + command.syntax).trimmed();
        help += QStringLiteral("  %1 %2\n").arg(name, -24).arg(command.summary);
    }
    help += QStringLiteral("\nRun 'tarnvik-cli COMMAND --help' for the options of a command.\n");
    return help;
}

int CliApplication::Usage(const QString& message) const {
    return Fail(message, kExitUsage);
}

int CliApplication::Fail(const QString& message, int status) const {
    if (json_) {
        const QJsonObject error{{QStringLiteral("error"), message},
                                {QStringLiteral("exitStatus"), status}};
        Print(err_, QString::fromUtf8(QJsonDocument(error).toJson(QJsonDocument::Compact)) +
                        QLatin1Char('\n'));
    } else {
        Print(err_, QStringLiteral("tarnvik-cli: ") + TerminalSafe(message) + QLatin1Char('\n'));
    }
    return status;
}

bool CliApplication::CollectPrinters(const QCommandLineParser& parser,
                                     std::vector<LinkAddress>& printers, int* status) const {
    // Each link with where it was given, for the messages.
    std::vector<std::pair<LinkLine, QString>> given;
    for (const QString& text : parser.values(QStringLiteral("link")))
        given.push_back({{0, text}, QStringLiteral("--link")});
    if (parser.isSet(QStringLiteral("links"))) {
        QFile file(parser.value(QStringLiteral("links")));
        if (!file.open(QIODevice::ReadOnly)) {
            *status = Usage(file.fileName() + QStringLiteral(": Open File Error"));
            return false;
        }
        for (const LinkLine& line : NumberedLinkLines(QString::fromLocal8Bit(file.readAll())))
            given.push_back({line, file.fileName()});
    }
    const auto where = [](const std::pair<LinkLine, QString>& link) {
        return link.first.number > 0
                   ? link.second + QStringLiteral(" line ") + QString::number(link.first.number)
                   : link.second;
    };
    std::unordered_map<QString, size_t> seen;
    for (size_t i = 0; i < given.size(); ++i) {
        QString error;
        std::optional<LinkAddress> spec = ParseLinkAddress(given[i].first.text, &error);
        if (!spec) {
            *status = Usage(
                given[i].first.number > 0 ? where(given[i]) + QStringLiteral(": ") + error : error);
            return false;
        }
        // Two jobs at once on one printer would race each other.
        const auto [first, added] = seen.try_emplace(PrinterKey(*spec), i);
        if (!added) {
            *status = Usage(spec->text + QStringLiteral(" is given twice (") +
                            where(given[first->second]) + QStringLiteral(", ") + where(given[i]) +
                            QLatin1Char(')'));
            return false;
        }
        printers.push_back(*spec);
    }
    return true;
}

std::optional<QByteArray> CliApplication::Password(const QCommandLineParser& parser,
                                                   QString* error) const {
    if (parser.isSet(QStringLiteral("password-file"))) {
        QFile file(parser.value(QStringLiteral("password-file")));
        if (!file.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("%1: Open File Error").arg(file.fileName());
            return std::nullopt;
        }
        QByteArray password = file.read(4096);
        if (password.endsWith('\n'))
            password.chop(1);
        if (password.endsWith('\r'))
            password.chop(1);
        return password;
    }
    if (qEnvironmentVariableIsSet("TARNVIK_PASSWORD"))
        return qgetenv("TARNVIK_PASSWORD");
    return std::nullopt;
}

const CliCommand* CliApplication::ParseCommand(const QStringList& arguments,
                                               QCommandLineParser& parser, int* status) {
    // First pass: the global options and the command words; the command's own options are
    // not known yet.
    QCommandLineParser first;
    AddGlobalOptions(first);
    first.parse(arguments);
    json_ = first.isSet(QStringLiteral("json"));
    if (first.isSet(QStringLiteral("version"))) {
        Print(out_, QStringLiteral("tarnvik-cli %1\n").arg(QCoreApplication::applicationVersion()));
        *status = 0;
        return nullptr;
    }
    const CliCommand* command = FindCliCommand(first.positionalArguments());
    if (!command) {
        const bool help = first.isSet(QStringLiteral("help"));
        if (first.positionalArguments().isEmpty() && json_ && !help) {
            *status = Usage(QStringLiteral("name a command (see --help)"));
        } else if (first.positionalArguments().isEmpty()) {
            Print(help ? out_ : err_, GeneralHelp());
            *status = help ? 0 : kExitUsage;
        } else {
            *status = Usage(QStringLiteral("unknown command '%1' (see --help)")
                                .arg(first.positionalArguments().join(QLatin1Char(' '))));
        }
        return nullptr;
    }

    AddGlobalOptions(parser);
    parser.addOptions(command->options());
    parser.setApplicationDescription(command->summary);
    parser.addPositionalArgument(command->Name(), QString(), command->Name());
    if (!command->syntax.isEmpty())
        parser.addPositionalArgument(command->syntax, QString(), command->syntax);
    if (!parser.parse(arguments)) {
        *status = Usage(parser.errorText());
        return nullptr;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        Print(out_, parser.helpText());
        *status = 0;
        return nullptr;
    }
    return command;
}

std::optional<CliApplication::RunLimits>
CliApplication::ReadLimits(const QCommandLineParser& parser, int* status) const {
    RunLimits limits;
    bool ok = false;
    limits.parallel = parser.value(QStringLiteral("jobs")).toInt(&ok);
    if (!ok || limits.parallel < 1 || limits.parallel > kMaxParallel) {
        *status = Usage(QStringLiteral("--jobs takes 1 to %1").arg(kMaxParallel));
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("timeout"))) {
        limits.timeoutMs = parser.value(QStringLiteral("timeout")).toInt(&ok);
        if (!ok || limits.timeoutMs < 1 || limits.timeoutMs > 600000) {
            *status = Usage(QStringLiteral("--timeout takes 1 to 600000 ms"));
            return std::nullopt;
        }
    }
    return limits;
}

std::optional<std::vector<PrinterResult>>
CliApplication::RunOnPrinters(const CliCommand& command, const CommandInput& input,
                              const std::vector<LinkAddress>& printers, const RunLimits& limits,
                              int* status) const {
    if (printers.empty()) {
        *status = Usage(QStringLiteral("name at least one printer with --link or --links"));
        return std::nullopt;
    }
    QString error;
    std::optional<FleetRunner::Job> job = command.prepare(input, &error);
    if (!job) {
        *status = Usage(QStringLiteral("%1: %2").arg(command.Name(), error));
        return std::nullopt;
    }
    if (command.changesPrinter) {
        std::optional<QByteArray> password = Password(input.parser, &error);
        if (!error.isEmpty()) {
            *status = Usage(error);
            return std::nullopt;
        }
        job = PasswordGuarded(std::move(*job), std::move(password));
    }
    // A person watching a terminal sees the run move; scripts get nothing extra.
    std::unique_ptr<ProgressLine> progress;
    if (!json_ && ::isatty(::fileno(err_)) == 1) {
        const qint64 bytes = command.sendsFile ? QFileInfo(input.arguments.value(0)).size() : 0;
        progress = std::make_unique<ProgressLine>(err_, command.Name(),
                                                  static_cast<int>(printers.size()), bytes);
        job = [job = std::move(*job), line = progress.get()](PrinterLink& link,
                                                             const LinkAddress& printer) {
            PrinterResult result = job(link, printer);
            line->PrinterDone();
            return result;
        };
    }
    const int timeoutMs = limits.timeoutMs;
    const FleetRunner runner(limits.parallel, CliInterrupted(),
                             [timeoutMs, line = progress.get()](PrinterLink& link) {
                                 if (line)
                                     line->Attach(link);
                                 if (timeoutMs > 0)
                                     link.Timeouts().FitWithin(timeoutMs);
                             });
    return command.runFleet ? command.runFleet(input, runner, printers, *job)
                            : runner.Run(printers, *job);
}

int CliApplication::Report(const CliCommand& command,
                           const std::vector<PrinterResult>& results) const {
    std::optional<QByteArray> text;
    if (json_)
        text = ResultJsonLines(results);
    else if (command.output)
        text = command.output(results);
    if (text) {
        std::fwrite(text->constData(), 1, static_cast<size_t>(text->size()), out_);
        std::fflush(out_);
    } else {
        Print(out_, ResultTable(results));
    }
    if (command.exitStatus)
        return command.exitStatus(results);
    const bool allSucceeded = std::all_of(results.begin(), results.end(),
                                          [](const PrinterResult& r) { return r.code == 0; });
    return allSucceeded ? 0 : kExitFailed;
}

int CliApplication::Run(const QStringList& arguments) {
    QCommandLineParser parser;
    int status = 0;
    const CliCommand* command = ParseCommand(arguments, parser, &status);
    if (!command)
        return status;
    std::vector<LinkAddress> printers;
    if (!CollectPrinters(parser, printers, &status))
        return status;
    const std::optional<RunLimits> limits = ReadLimits(parser, &status);
    if (!limits)
        return status;

    const CommandInput input{parser, parser.positionalArguments().mid(command->words.size()),
                             static_cast<int>(printers.size())};
    std::optional<std::vector<PrinterResult>> results;
    if (command->UsesLinks()) {
        results = RunOnPrinters(*command, input, printers, *limits, &status);
    } else if (!printers.empty()) {
        return Usage(QStringLiteral("%1 takes no --link").arg(command->Name()));
    } else {
        QString error;
        results = command->runLocal(input, &error);
        if (!results)
            status = Fail(command->Name() + QStringLiteral(": ") + error, kExitFailed);
    }
    return results ? Report(*command, *results) : status;
}
