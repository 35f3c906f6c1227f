// Wall time of a full configuration read (edition 103) over TCP loopback against the
// virtual printer, beside the number of exchanges it makes.

#include "config/PrinterConfig.h"
#include "operations/Dispatch.h"
#include "SimPeer.h"
#include "StandardPrinter.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <vector>

namespace {

struct Result {
    size_t exchanges = 0;
    std::vector<double> milliseconds;
};

Result Measure(int edition, int rounds) {
    SimPeer peer(30000);
    {
        auto lock = peer.printer.Lock();
        sim::InstallStandardModules(peer.printer, sim::FirmwareProfile::Of(edition, 203));
    }
    Result result;
    for (int i = 0; i < rounds; ++i) {
        peer.printer.ClearReceived();
        PrinterConfig config = DefaultPrinterConfig();
        const auto start = std::chrono::steady_clock::now();
        const LinkError code =
            Dispatch(peer.link, OpReadConfiguration, InterfaceEthernet, &config, 0);
        const auto end = std::chrono::steady_clock::now();
        if (code != LinkOk) {
            std::fprintf(stderr, "read failed with %d\n", static_cast<int>(code));
            std::exit(1);
        }
        result.milliseconds.push_back(
            std::chrono::duration<double, std::milli>(end - start).count());
        result.exchanges = peer.printer.Commands().size();
    }
    return result;
}

void Print(const char* name, Result r) {
    std::sort(r.milliseconds.begin(), r.milliseconds.end());
    const double mean = std::accumulate(r.milliseconds.begin(), r.milliseconds.end(), 0.0) /
                        static_cast<double>(r.milliseconds.size());
    const double median = r.milliseconds[r.milliseconds.size() / 2];
    std::printf("%-28s exchanges %3zu   min %7.3f ms   median %7.3f ms   mean %7.3f ms   "
                "%6.1f us/exchange\n",
                name, r.exchanges, r.milliseconds.front(), median, mean,
                median * 1000.0 / static_cast<double>(r.exchanges));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    std::printf("ReadConfiguration over TCP 127.0.0.1, %d rounds each\n", rounds);
    Print("edition 103 (full read)", Measure(103, rounds));
    Print("edition 99 (no emulations)", Measure(99, rounds));
    return 0;
}
