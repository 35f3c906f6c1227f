// tarnvik-exporter: printer health for Prometheus, one printer per request.

#include "ExporterMetrics.h"
#include "ExporterOptions.h"
#include "HttpServer.h"
#include "PrinterProbe.h"
#include "ProbeScheduler.h"
#include "RequestHandler.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <pthread.h>

namespace {

// Worker threads besides the probes' own, so /metrics answers while every probe slot is busy.
constexpr int kSpareHttpThreads = 8;

bool LoopbackListen(const std::string& listen) {
    return listen.rfind("127.", 0) == 0;
}

} // namespace

int main(int argc, char* argv[]) {
    // Every thread started from here on leaves the stop signals to sigwait below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    // A printer that hangs up mid-write must fail the write, not end the program.
    std::signal(SIGPIPE, SIG_IGN);

    QCoreApplication application(argc, argv);
    QString error;
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const std::optional<ExporterOptions> options = ParseExporterOptions(arguments, &error);
    if (!options) {
        std::fprintf(stderr, "tarnvik-exporter: %s\n", qPrintable(error));
        return 2;
    }
    if (options->help) {
        std::fputs(kExporterUsage, stdout);
        return 0;
    }
    if (options->version) {
        std::printf("tarnvik-exporter %s\n", TARNVIK_VERSION);
        return 0;
    }
    if (options->allow.Empty() && !LoopbackListen(options->listen))
        std::fprintf(stderr,
                     "tarnvik-exporter: warning: no --allow: whoever reaches %s can make this "
                     "exporter connect to any host and port and open any device it may\n",
                     options->listen.c_str());

    ProbeScheduler scheduler(options->maxProbes);
    ExporterMetrics metrics([&scheduler] { return scheduler.Running(); });
    RequestHandler::Settings settings;
    settings.defaultTimeoutSeconds = options->defaultTimeoutSeconds;
    settings.timeoutOffsetSeconds = options->timeoutOffsetSeconds;
    const RequestHandler handler(
        settings, options->allow, &ResolveHost,
        [&scheduler](const LinkAddress& target, ProbeModule module,
                     ProbeClock::time_point deadline) {
            return scheduler.Run(PrinterKey(target), deadline, [target, module, deadline] {
                return ProbePrinter(target, module, deadline);
            });
        },
        metrics);
    HttpServer server(handler);
    if (!server.Start(options->listen, options->maxProbes + kSpareHttpThreads, &error)) {
        std::fprintf(stderr, "tarnvik-exporter: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("listening on port %d\n", server.Port());
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.Stop();
    return 0;
}
