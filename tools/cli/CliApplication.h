#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>
#include <optional>
#include <vector>

#include "PrinterResult.h"

class QCommandLineParser;
struct CliCommand;
struct CommandInput;
struct LinkAddress;

// The tarnvik-cli program: parses the command line, runs the subcommand on every printer
// named and prints one row per printer. Exit status: 0 when every printer succeeded, 1
// when one did not, 2 for a command line that cannot be run. With --json a command line
// that cannot be run is told as one JSON object on standard error: {"error", "exitStatus"}.
class CliApplication {
public:
    CliApplication(FILE* out, FILE* err) : out_(out), err_(err) {}

    int Run(const QStringList& arguments);

private:
    // How many printers run at once, and the longest any one wait may last (0: the
    // product's waits).
    struct RunLimits {
        int parallel = 1;
        int timeoutMs = 0;
    };

    // The command and its parsed options; nullptr when the run ends here (help, version or
    // a usage message), with the exit status.
    const CliCommand* ParseCommand(const QStringList& arguments, QCommandLineParser& parser,
                                   int* status);
    std::optional<RunLimits> ReadLimits(const QCommandLineParser& parser, int* status) const;
    // The command on every printer: its job, behind the password check for a change, with the
    // terminal's progress line, each link's waits fitted to --timeout.
    std::optional<std::vector<PrinterResult>>
    RunOnPrinters(const CliCommand& command, const CommandInput& input,
                  const std::vector<LinkAddress>& printers, const RunLimits& limits,
                  int* status) const;
    // Prints the results (a table or JSON lines) and gives the exit status.
    int Report(const CliCommand& command, const std::vector<PrinterResult>& results) const;
    void AddGlobalOptions(QCommandLineParser& parser) const;
    QString GeneralHelp() const;
    int Usage(const QString& message) const;
    // A failure message on standard error with the exit status, plain or as JSON.
    int Fail(const QString& message, int status) const;
    // The printers of --link and --links; false after a usage message.
    bool CollectPrinters(const QCommandLineParser& parser, std::vector<LinkAddress>& printers,
                         int* status) const;
    // The password for changes: --password-file, else TARNVIK_PASSWORD, else none.
    std::optional<QByteArray> Password(const QCommandLineParser& parser, QString* error) const;

    FILE* out_;
    FILE* err_;
    bool json_ = false;
};
