// Prints transport figures: bulk WriteBlock over TCP loopback into the virtual printer
// beside a plain socket loop writing the same bytes to the same kind of sink, and the
// frame reader's throughput on one long reply.

#include "link/PrinterLink.h"
#include "LoopbackLink.h"
#include "operations/ReplyReaders.h"
#include "ScriptedBackend.h"
#include "TcpServer.h"
#include "VirtualPrinter.h"

#include <QCoreApplication>

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Waits until the printer has taken every byte, so both runs time the whole delivery.
void WaitForBytes(sim::VirtualPrinter& printer, size_t count) {
    while (printer.Received().size() < count)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

double LinkWrite(const std::vector<uint8_t>& block) {
    sim::VirtualPrinter printer;
    sim::TcpServer server(printer);
    server.Start();
    LoopbackLink target(static_cast<uint16_t>(server.Port()));
    PrinterLink& link = target.link;
    const auto start = Clock::now();
    const LinkHandle handle = link.OpenLink(InterfaceEthernet);
    const bool ok = link.WriteBlock(handle, InterfaceEthernet, block.data(),
                                    static_cast<uint32_t>(block.size()));
    link.CloseLink(InterfaceEthernet, handle);
    WaitForBytes(printer, block.size());
    const double seconds = Seconds(Clock::now() - start);
    if (!ok)
        std::fprintf(stderr, "WriteBlock failed\n");
    return seconds;
}

double PlainSocketWrite(const std::vector<uint8_t>& block) {
    sim::VirtualPrinter printer;
    sim::TcpServer server(printer);
    server.Start();
    const auto start = Clock::now();
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(server.Port());
    ::inet_pton(AF_INET, "127.0.0.1", &where.sin_addr);
    ::connect(fd, reinterpret_cast<sockaddr*>(&where), sizeof where);
    // The same 512-byte pieces the link writes.
    for (size_t at = 0; at < block.size();) {
        const size_t piece = std::min<size_t>(512, block.size() - at);
        const ssize_t wrote = ::send(fd, block.data() + at, piece, MSG_NOSIGNAL);
        if (wrote <= 0)
            break;
        at += static_cast<size_t>(wrote);
    }
    ::close(fd);
    WaitForBytes(printer, block.size());
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
    std::vector<uint8_t> block(megabytes << 20);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>('A' + i % 26);

    const double link = LinkWrite(block);
    const double plain = PlainSocketWrite(block);
    std::printf("WriteBlock over TCP loopback: %zu MiB in %.3f s = %.1f MiB/s\n", megabytes, link,
                megabytes / link);
    std::printf("plain socket loop, 512-byte sends: %zu MiB in %.3f s = %.1f MiB/s\n", megabytes,
                plain, megabytes / plain);
    std::printf("WriteBlock / plain socket time ratio: %.2f\n", link / plain);

    const size_t frameBytes = 8u << 20;
    const double read = FrameRead(frameBytes, 3);
    std::printf(
        "ReadFramedReply of one %zu MiB frame in 4096-byte device reads: %.3f s = %.1f MiB/s\n",
        frameBytes >> 20, read, (frameBytes >> 20) / read);
    return 0;
}
