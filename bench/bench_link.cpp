// Prints transport figures: bulk WriteBlock over TCP loopback into the virtual printer
// beside a plain socket loop writing the same bytes into the same printer, each timed until
// the printer answers a query sent after the bytes, repetitions interleaved; and the frame
// reader's throughput on one long reply.

#include "link/EventPump.h"
#include "link/PrinterLink.h"
#include "link/ProgressWindow.h"
#include "LoopbackLink.h"
#include "LoopbackSocket.h"
#include "operations/ReplyReaders.h"
#include "ScriptedBackend.h"
#include "TcpServer.h"
#include "VirtualPrinter.h"

#include <QCoreApplication>

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// The query that follows the bytes: its answer comes once the printer has taken them all.
constexpr char kQuery[] = "\r\nDIAGNOSTIC INTERFACE NET\r\n";

double LinkWrite(PrinterLink& link, const std::vector<uint8_t>& block) {
    const auto start = Clock::now();
    LinkSession session(link, InterfaceEthernet);
    char answer[64];
    int length = 0;
    const bool ok = session.Write(block.data(), block.size()) &&
                    QueryFramed(session, kQuery, answer, sizeof answer, &length) == LinkOk;
    if (!ok)
        std::fprintf(stderr, "link transfer failed\n");
    return Seconds(Clock::now() - start);
}

double PlainSocketWrite(uint16_t port, const std::vector<uint8_t>& block) {
    const auto start = Clock::now();
    const int fd = ConnectLoopback(port);
    if (fd < 0) {
        std::fprintf(stderr, "cannot connect to the virtual printer on port %u\n", port);
        std::exit(1);
    }
    // The same 512-byte pieces the link writes.
    for (size_t at = 0; at < block.size();) {
        const size_t piece = std::min<size_t>(512, block.size() - at);
        const ssize_t wrote = ::send(fd, block.data() + at, piece, MSG_NOSIGNAL);
        if (wrote <= 0)
            break;
        at += static_cast<size_t>(wrote);
    }
    ::send(fd, kQuery, std::strlen(kQuery), MSG_NOSIGNAL);
    char answer[64];
    for (size_t got = 0; got < sizeof answer;) {
        const ssize_t n = ::recv(fd, answer + got, sizeof answer - got, 0);
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
        if (std::memchr(answer, '}', got))
            break;
    }
    ::close(fd);
    return Seconds(Clock::now() - start);
}

double FrameRead(size_t dataLength, int rounds) {
    std::string frame = "{" + std::to_string(dataLength) + "|" + std::string(dataLength, 'd') + "}";
    std::vector<char> buffer(dataLength + 2);
    double total = 0;
    for (int r = 0; r < rounds; ++r) {
        auto script = std::make_shared<LinkScript>();
        for (size_t at = 0; at < frame.size(); at += 4096)
            script->reads.push_back(frame.substr(at, 4096));
        PrinterLink link;
        link.SetBackendFactory(InterfaceEthernet, [script](PrinterLink&) {
            return std::make_unique<ScriptedBackend>(script);
        });
        LinkSession session(link, InterfaceEthernet);
        int length = 0;
        const auto start = Clock::now();
        const bool ok =
            ReadFramedReply(session, buffer.data(), static_cast<int>(buffer.size()), &length);
        total += Seconds(Clock::now() - start);
        if (!ok || static_cast<size_t>(length) != dataLength)
            std::fprintf(stderr, "frame read failed\n");
    }
    return total / rounds;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const size_t megabytes = 32;
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::vector<uint8_t> block(megabytes << 20);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>('A' + i % 26);

    sim::VirtualPrinter printer;
    sim::TcpServer server(printer);
    server.Start();
    LoopbackLink target(static_cast<uint16_t>(server.Port()));
    PrinterLink& link = target.link;
    // The application's hooks: the progress window and the pending-message processing.
    ProgressWindow progress;
    link.SetProgressWindow(&progress);
    link.SetProcessEventsHook(EventPump{});

    std::vector<double> linkTimes;
    std::vector<double> plainTimes;
    for (int r = 0; r < rounds; ++r) {
        linkTimes.push_back(LinkWrite(link, block));
        plainTimes.push_back(PlainSocketWrite(server.Port(), block));
    }
    std::sort(linkTimes.begin(), linkTimes.end());
    std::sort(plainTimes.begin(), plainTimes.end());
    const double linkMedian = linkTimes[linkTimes.size() / 2];
    const double plainMedian = plainTimes[plainTimes.size() / 2];
    std::printf("%d interleaved rounds of %zu MiB, each until the printer answers a query after "
                "it (medians)\n",
                rounds, megabytes);
    std::printf("WriteBlock over TCP loopback: %.3f s = %.1f MiB/s\n", linkMedian,
                megabytes / linkMedian);
    std::printf("plain socket loop, 512-byte sends: %.3f s = %.1f MiB/s\n", plainMedian,
                megabytes / plainMedian);
    std::printf("link speed / plain loop speed: %.2f (goal 0.80 or better)\n",
                plainMedian / linkMedian);

    const size_t frameBytes = 8u << 20;
    const double read = FrameRead(frameBytes, 3);
    std::printf(
        "ReadFramedReply of one %zu MiB frame in 4096-byte device reads: %.3f s = %.1f MiB/s\n",
        frameBytes >> 20, read, (frameBytes >> 20) / read);
    return 0;
}
