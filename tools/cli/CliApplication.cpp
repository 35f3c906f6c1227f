#include "CliApplication.h"

#include "CliCommand.h"
#include "LinkAddress.h"
#include "PrinterJobs.h"
#include "ProgressLine.h"
#include "ResultOutput.h"

#include "link/PrinterLink.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <memory>
#include <unistd.h>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kMaxParallel = 64;

void Print(FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
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
         QStringLiteral("Milliseconds each printer read and TCP connect may wait (default: "
                        "3000 USB and serial reads, 30000 TCP reads, 10000 TCP connect)."),
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
    Print(err_, QStringLiteral("tarnvik-cli: %1\n").arg(message));
    return kExitUsage;
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

int CliApplication::Run(const QStringList& arguments) {
    // First pass: the global options and the command words; the command's own options are
    // not known yet.
    QCommandLineParser first;
    AddGlobalOptions(first);
    first.parse(arguments);
    if (first.isSet(QStringLiteral("version"))) {
        Print(out_, QStringLiteral("tarnvik-cli %1\n").arg(QCoreApplication::applicationVersion()));
        return 0;
    }
    const CliCommand* command = FindCliCommand(first.positionalArguments());
    if (!command) {
        if (first.positionalArguments().isEmpty()) {
            Print(first.isSet(QStringLiteral("help")) ? out_ : err_, GeneralHelp());
            return first.isSet(QStringLiteral("help")) ? 0 : kExitUsage;
        }
        return Usage(QStringLiteral("unknown command '%1' (see --help)")
                         .arg(first.positionalArguments().join(QLatin1Char(' '))));
    }

    QCommandLineParser parser;
    AddGlobalOptions(parser);
    parser.addOptions(command->options());
    parser.setApplicationDescription(command->summary);
    parser.addPositionalArgument(command->Name(), QString(), command->Name());
    if (!command->syntax.isEmpty())
        parser.addPositionalArgument(command->syntax, QString(), command->syntax);
    if (!parser.parse(arguments))
        return Usage(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        Print(out_, parser.helpText());
        return 0;
    }

    QStringList linkTexts = parser.values(QStringLiteral("link"));
    if (parser.isSet(QStringLiteral("links"))) {
        QFile file(parser.value(QStringLiteral("links")));
        if (!file.open(QIODevice::ReadOnly))
            return Usage(QStringLiteral("%1: Open File Error").arg(file.fileName()));
        linkTexts += LinkLines(QString::fromLocal8Bit(file.readAll()));
    }
    std::vector<LinkAddress> printers;
    for (const QString& text : linkTexts) {
        QString error;
        std::optional<LinkAddress> spec = ParseLinkAddress(text, &error);
        if (!spec)
            return Usage(error);
        printers.push_back(*spec);
    }

    bool ok = false;
    const int parallel = parser.value(QStringLiteral("jobs")).toInt(&ok);
    if (!ok || parallel < 1 || parallel > kMaxParallel)
        return Usage(QStringLiteral("--jobs takes 1 to %1").arg(kMaxParallel));
    int timeoutMs = 0;
    if (parser.isSet(QStringLiteral("timeout"))) {
        timeoutMs = parser.value(QStringLiteral("timeout")).toInt(&ok);
        if (!ok || timeoutMs < 1 || timeoutMs > 600000)
            return Usage(QStringLiteral("--timeout takes 1 to 600000 ms"));
    }

    CommandInput input{parser, parser.positionalArguments().mid(command->words.size()),
                       static_cast<int>(printers.size())};
    QString error;
    std::vector<PrinterResult> results;
    if (command->UsesLinks()) {
        if (printers.empty())
            return Usage(QStringLiteral("name at least one printer with --link or --links"));
        std::optional<FleetRunner::Job> job = command->prepare(input, &error);
        if (!job)
            return Usage(QStringLiteral("%1: %2").arg(command->Name(), error));
        if (command->changesPrinter) {
            std::optional<QByteArray> password = Password(parser, &error);
            if (!error.isEmpty())
                return Usage(error);
            job = PasswordGuarded(std::move(*job), std::move(password));
        }
        // A person watching a terminal sees the run move; scripts get nothing extra.
        std::unique_ptr<ProgressLine> progress;
        if (!parser.isSet(QStringLiteral("json")) && ::isatty(::fileno(err_)) == 1) {
            const qint64 bytes =
                command->sendsFile ? QFileInfo(input.arguments.value(0)).size() : 0;
            progress = std::make_unique<ProgressLine>(err_, command->Name(),
                                                      static_cast<int>(printers.size()), bytes);
            job = [job = std::move(*job), line = progress.get()](PrinterLink& link,
                                                                 const LinkAddress& printer) {
                PrinterResult result = job(link, printer);
                line->PrinterDone();
                return result;
            };
        }
        const FleetRunner runner(parallel, [timeoutMs, line = progress.get()](PrinterLink& link) {
            if (line)
                line->Attach(link);
            if (timeoutMs <= 0)
                return;
            LinkTimeouts& waits = link.Timeouts();
            waits.usbReadMs = waits.comReadMs = waits.netMs = waits.netConnectMs = timeoutMs;
        });
        results = command->runFleet ? command->runFleet(input, runner, printers, *job)
                                    : runner.Run(printers, *job);
        progress.reset();
    } else {
        if (!printers.empty())
            return Usage(QStringLiteral("%1 takes no --link").arg(command->Name()));
        std::optional<std::vector<PrinterResult>> rows = command->runLocal(input, &error);
        if (!rows) {
            Print(err_, QStringLiteral("tarnvik-cli: %1: %2\n").arg(command->Name(), error));
            return kExitFailed;
        }
        results = std::move(*rows);
    }

    std::optional<QByteArray> text;
    if (parser.isSet(QStringLiteral("json")))
        text = ResultJsonLines(results);
    else if (command->output)
        text = command->output(input, results);
    if (text) {
        std::fwrite(text->constData(), 1, static_cast<size_t>(text->size()), out_);
        std::fflush(out_);
    } else {
        Print(out_, ResultTable(results));
    }
    if (command->exitStatus)
        return command->exitStatus(results);
    const bool allSucceeded = std::all_of(results.begin(), results.end(),
                                          [](const PrinterResult& r) { return r.code == 0; });
    return allSucceeded ? 0 : kExitFailed;
}
