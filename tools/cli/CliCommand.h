#pragma once

#include "FleetRunner.h"
#include "PrinterResult.h"

#include <QByteArray>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

// What a subcommand gets once the command line is parsed: the parser (for its options),
// the arguments after the command words and the number of printers named.
struct CommandInput {
    const QCommandLineParser& parser;
    QStringList arguments;
    int printerCount = 0;
};

// One subcommand. A printer command prepares a job that runs on every printer named; a
// local command (no links) runs once and gives its own rows.
struct CliCommand {
    QStringList words;           // {"config", "read"}
    QString syntax;              // the arguments after the words, for the help text
    QString summary;             // one line for the command list
    bool changesPrinter = false; // runs only after the password check lets it
    bool sendsFile = false;      // sends its file argument to every printer (for progress)
    std::function<QList<QCommandLineOption>()> options;
    std::function<std::optional<FleetRunner::Job>(const CommandInput&, QString* error)> prepare;
    std::function<std::optional<std::vector<PrinterResult>>(const CommandInput&, QString* error)>
        runLocal;
    // Runs the prepared job on the printers; unset: all of them through the runner.
    std::function<std::vector<PrinterResult>(const CommandInput&, const FleetRunner& runner,
                                             const std::vector<LinkAddress>& printers,
                                             const FleetRunner::Job& job)>
        runFleet;
    // What is printed instead of the table (not with --json); unset or nullopt: the table.
    std::function<std::optional<QByteArray>(const std::vector<PrinterResult>&)> output;
    // The exit status for the results; unset: 0 when every printer succeeded, else 1.
    std::function<int(const std::vector<PrinterResult>&)> exitStatus;

    QString Name() const { return words.join(QLatin1Char(' ')); }
    bool UsesLinks() const { return static_cast<bool>(prepare); }
};

// Every subcommand, in the order the help lists them.
const std::vector<CliCommand>& CliCommandTable();

// The command whose words begin the positional arguments (the longest such), or nullptr.
const CliCommand* FindCliCommand(const QStringList& positional);
