// tarnvik-exporter: printer health for Prometheus, one printer per request.

#include "ExporterOptions.h"
#include "ExporterService.h"
#include "HostResolver.h"

#include <QCoreApplication>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pthread.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Descriptors kept for the listener, the server's own and the process's.
constexpr rlim_t kSpareDescriptors = 64;

bool LoopbackListen(const std::string& listen) {
    return listen.rfind("127.", 0) == 0 || listen.rfind("[::1]:", 0) == 0;
}

// Takes every descriptor the hard limit allows: each probe in flight holds two (the
// scrape's connection and the printer's). Returns how many probes fit.
int FitProbesToDescriptors(int wanted) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return wanted;
    if (limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
        ::getrlimit(RLIMIT_NOFILE, &limit);
    }
    if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur > kSpareDescriptors + 2 * rlim_t(wanted))
        return wanted;
    return static_cast<int>(std::max<rlim_t>(1, (limit.rlim_cur - kSpareDescriptors) / 2));
}

// How the exporter's memory stays flat with hundreds of probe threads, most of them waiting
// on a printer. glibc only.
void TuneAllocator(char* argv[]) {
#if defined(__GLIBC__)
    // Each thread's cache of freed blocks holds blocks no other thread can use; with the
    // caches on, the arenas grew for hours (about 3 MB an hour at 200 probes a second).
    // glibc reads this setting only when a program starts, so the exporter starts itself
    // once more with the caches off, unless the setting is given already.
    static const char kSetting[] = "glibc.malloc.tcache_count=0";
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    if (!tunables || !std::strstr(tunables, "glibc.malloc.tcache_count=")) {
        const std::string value =
            tunables && *tunables ? std::string(tunables) + ":" + kSetting : std::string(kSetting);
        if (::setenv("GLIBC_TUNABLES", value.c_str(), 1) == 0)
            ::execv("/proc/self/exe", argv);
        // Not started again: run on with the caches.
    }
    // Blocks of 128 KiB and more (a probe thread's link, a memory record) are mapped on
    // their own and handed back whole when freed. glibc would otherwise raise this bound
    // after the first such free and carve later blocks from its arenas, where the small
    // blocks allocated between them leave holes that only ever grow the arenas.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#else
    (void)argv;
#endif
}

} // namespace

int main(int argc, char* argv[]) {
    TuneAllocator(argv);
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
                     "exporter connect to any host and port\n",
                     options->listen.c_str());

    ExporterService::Settings settings;
    settings.request.defaultTimeoutSeconds = options->defaultTimeoutSeconds;
    settings.request.longestTimeoutSeconds = options->maxTimeoutSeconds;
    settings.request.timeoutOffsetSeconds = options->timeoutOffsetSeconds;
    settings.maxProbes = FitProbesToDescriptors(options->maxProbes);
    if (settings.maxProbes < options->maxProbes)
        std::fprintf(stderr,
                     "tarnvik-exporter: warning: the open-file limit allows %d probes at once, "
                     "not %d\n",
                     settings.maxProbes, options->maxProbes);
    settings.limits.answerTime = std::chrono::milliseconds(
        static_cast<long long>(options->maxTimeoutSeconds * 1000) + 10000);
    ExporterService exporter(settings, options->allow, &ResolveHost);
    if (!exporter.Start(options->listen, &error)) {
        std::fprintf(stderr, "tarnvik-exporter: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("listening on port %d\n", exporter.Port());
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    exporter.Stop();
    return 0;
}
