#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QStringList>

#include <vector>

// One run of the tarnvik-cli executable: its exit status and what it printed.
struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;

    // The JSON objects of a --json run, one per line; a line that does not parse fails
    // the test.
    std::vector<QJsonObject> Objects() const;
};

// Runs tarnvik-cli with the arguments (and environment additions), waiting at most 60 s.
CliRun RunCli(const QStringList& arguments, const QProcessEnvironment& extra = {});
