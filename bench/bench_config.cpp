// Wall time of a full configuration read (edition 103) over TCP loopback against the
// virtual printer, beside the number of exchanges it makes, and beside a plain replay of
// the same exchanges over one socket (rounds interleaved).

#include "config/PrinterConfig.h"
#include "dispatch/Dispatch.h"
#include "LoopbackSocket.h"
#include "SimPeer.h"
#include "StandardPrinter.h"

#include <QCoreApplication>

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <string>
#include <vector>

namespace {

struct Result {
    size_t exchanges = 0;
    std::vector<double> milliseconds;
};

// Sends each command and reads its answer (a frame, or a line for OUT), one after the
// other over one socket, as a plain program would.
double Replay(uint16_t port, const std::vector<std::string>& commands) {
    const auto start = std::chrono::steady_clock::now();
    const int fd = ConnectLoopback(port);
    if (fd < 0) {
        std::fprintf(stderr, "cannot connect to the virtual printer on port %u\n", port);
        std::exit(1);
    }
    std::string pending;
    char buffer[4096];
    for (const std::string& command : commands) {
        const std::string line = "\r\n" + command + "\r\n";
        ::send(fd, line.data(), line.size(), MSG_NOSIGNAL);
        const bool plainLine = command.rfind("OUT ", 0) == 0;
        for (;;) {
            if (plainLine) {
                const size_t end = pending.find('\n');
                if (end != std::string::npos) {
                    pending.erase(0, end + 1);
                    break;
                }
            } else {
                const size_t open = pending.find('{');
                const size_t bar = pending.find('|', open);
                if (open != std::string::npos && bar != std::string::npos) {
                    const size_t size = std::stoul("0" + pending.substr(open + 1, bar - open - 1));
                    if (pending.size() >= bar + size + 2) {
                        pending.erase(0, bar + size + 2);
                        break;
                    }
                }
            }
            const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
            if (got <= 0) {
                std::fprintf(stderr, "replay lost the printer\n");
                std::exit(1);
            }
            pending.append(buffer, static_cast<size_t>(got));
        }
    }
    ::close(fd);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

Result Measure(int edition, int rounds, std::vector<double>* replay = nullptr) {
    SimPeer peer(30000);
    {
        auto lock = peer.printer.Lock();
        sim::InstallStandardModules(peer.printer, sim::FirmwareProfile::Of(edition, 203));
    }
    Result result;
    std::vector<std::string> commands;
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
        commands = peer.printer.Commands();
        result.exchanges = commands.size();
        if (replay)
            replay->push_back(Replay(peer.server.Port(), commands));
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
    std::vector<double> replay;
    const Result full = Measure(103, rounds, &replay);
    Print("edition 103 (full read)", full);
    std::vector<double> link = full.milliseconds;
    std::sort(link.begin(), link.end());
    std::sort(replay.begin(), replay.end());
    const double linkMedian = link[link.size() / 2];
    const double replayMedian = replay[replay.size() / 2];
    std::printf("plain replay of the same %zu exchanges over one socket: median %7.3f ms\n",
                full.exchanges, replayMedian);
    std::printf("ReadConfiguration / plain replay time: %.2f (goal 1.15 or better)\n",
                linkMedian / replayMedian);
    Print("edition 99 (no emulations)", Measure(99, rounds));
    return 0;
}
