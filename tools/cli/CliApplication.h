#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>
#include <optional>
#include <vector>

class QCommandLineParser;
struct CliCommand;
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
