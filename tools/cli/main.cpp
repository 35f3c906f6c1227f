// tarnvik-cli: the printer operations from the command line, for one printer or a fleet.

#include "CliApplication.h"
#include "CliInterrupt.h"
#include "FontMakeCommand.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <csignal>
#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Only "font make" draws text, which needs the window system's fonts; the offscreen
    // platform gives them without a display. Every other command stays a plain program.
    std::unique_ptr<QCoreApplication> application;
    if (IsFontMake(arguments)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("tarnvik-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARNVIK_VERSION));
    // A printer that hangs up mid-write must fail the write, not end the program.
    std::signal(SIGPIPE, SIG_IGN);
    InstallInterruptHandlers();
    CliApplication cli(stdout, stderr);
    const int status = cli.Run(QCoreApplication::arguments());
    if (CliInterrupted()) {
        std::fputs("tarnvik-cli: interrupted\n", stderr);
        return status != 0 ? status : 1;
    }
    return status;
}
