// Wall time of ReadMemoryInfo over TCP loopback against a virtual printer holding 100
// files in each of its three memories: once with the product's 50 ms list pause (made only
// while nothing of the next frame has arrived), once without it, so the cost of the
// exchange itself shows.

#include "dispatch/Dispatch.h"
#include "MemoryModule.h"
#include "operations/MemoryRecords.h"
#include "SimPeer.h"
#include "StandardPrinter.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

double Measure(SimPeer& peer, int pauseMs, int rounds, size_t& exchanges) {
    peer.link.Timeouts().listFramePauseMs = pauseMs;
    double total = 0;
    for (int i = 0; i < rounds; ++i) {
        auto info = std::make_unique<MemoryInfo>();
        peer.printer.ClearReceived();
        const auto start = std::chrono::steady_clock::now();
        const LinkError code = Dispatch(peer.link, OpReadMemoryInfo, InterfaceEthernet, info.get());
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (code != LinkOk) {
            std::fprintf(stderr, "ReadMemoryInfo failed with %d\n", static_cast<int>(code));
            return -1;
        }
        exchanges = peer.printer.Commands().size();
    }
    return total / rounds;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    SimPeer peer(30000);
    {
        auto lock = peer.printer.Lock();
        sim::InstallStandardModules(peer.printer);
        sim::MemoryModule* memory = peer.printer.Module<sim::MemoryModule>();
        for (int device = 0; device < sim::MemoryModule::kDeviceCount; ++device) {
            for (int i = 0; i < 100; ++i) {
                char name[16];
                std::snprintf(name, sizeof name, "FILE%03d.BAS", i);
                memory->Store(device, name, std::string(64, 'x'));
            }
        }
    }
    size_t exchanges = 0;
    const double product = Measure(peer, 50, 5, exchanges);
    std::printf("ReadMemoryInfo, 100 files per memory, 50 ms list pause: %.3f s (mean of 5), "
                "%zu commands\n",
                product, exchanges);
    const double bare = Measure(peer, 0, 20, exchanges);
    std::printf("ReadMemoryInfo, 100 files per memory, no list pause:    %.2f ms (mean of 20)\n",
                bare * 1000);
    return 0;
}
