// tarnvik-cli: the printer operations from the command line, for one printer or a fleet.

#include "CliApplication.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarnvik-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARNVIK_VERSION));
    // A printer that hangs up mid-write must fail the write, not end the program.
    std::signal(SIGPIPE, SIG_IGN);
    CliApplication cli(stdout, stderr);
    return cli.Run(QCoreApplication::arguments());
}
