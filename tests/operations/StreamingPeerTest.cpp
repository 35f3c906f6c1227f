#include "dispatch/Dispatch.h"
#include "link/LinkSettings.h"
#include "link/PrinterLink.h"
#include "operations/ClockRecords.h"
#include "operations/MemoryRecords.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

// A printer that never stops talking: once a client connects it sends the same bytes again
// and again, with a pause between repetitions, until the client leaves. Every reader must
// still come back within its documented bound.

namespace {

class StreamingPeer {
public:
    StreamingPeer(std::string pattern, int pauseMs) {
        listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in where{};
        where.sin_family = AF_INET;
        where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof where;
        ::bind(listen_, reinterpret_cast<sockaddr*>(&where), sizeof where);
        ::listen(listen_, 4);
        ::getsockname(listen_, reinterpret_cast<sockaddr*>(&where), &length);
        port_ = ntohs(where.sin_port);
        thread_ =
            std::thread([this, pattern = std::move(pattern), pauseMs] { Serve(pattern, pauseMs); });
    }
    ~StreamingPeer() {
        stop_ = true;
        thread_.join();
        ::close(listen_);
    }
    uint16_t Port() const { return port_; }

private:
    void Serve(const std::string& pattern, int pauseMs) {
        while (!stop_) {
            pollfd waiter{listen_, POLLIN, 0};
            if (::poll(&waiter, 1, 20) <= 0)
                continue;
            const int client = ::accept(listen_, nullptr, nullptr);
            char sink[4096];
            while (!stop_) {
                while (::recv(client, sink, sizeof sink, MSG_DONTWAIT) > 0) {
                }
                pollfd out{client, POLLOUT, 0};
                if (::poll(&out, 1, 20) <= 0)
                    continue;
                if (::send(client, pattern.data(), pattern.size(), MSG_NOSIGNAL) < 0)
                    break;
                if (pauseMs > 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
            }
            ::close(client);
        }
    }

    int listen_ = -1;
    uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

struct StreamedLink {
    explicit StreamedLink(const StreamingPeer& peer) {
        SetLinkDefaults(com, lpt, net);
        std::snprintf(net.address, sizeof net.address, "127.0.0.1");
        net.port = peer.Port();
        link.SetLinkSettings({&com, &lpt, &net});
        link.Timeouts().netMs = 2000;
    }
    // Runs the operation; returns its code and how long it took.
    std::pair<LinkError, std::chrono::milliseconds> Timed(uint32_t operation, void* buffer) {
        const auto start = std::chrono::steady_clock::now();
        const LinkError code = Dispatch(link, operation, InterfaceEthernet, buffer);
        return {code, std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - start)};
    }
    ComSettings com{};
    LptPortName lpt{};
    NetSettings net{};
    PrinterLink link;
};

using std::chrono::milliseconds;

} // namespace

TEST(StreamingPeer, BytesThatNeverFormAFrameEndTheReaderAtItsSkipBound) {
    StreamingPeer peer(std::string(1024, 'x'), 0);
    StreamedLink s(peer);
    PrinterClock clock{};
    const auto [code, took] = s.Timed(OpReadClock, &clock);
    EXPECT_EQ(code, LinkReceivingError);
    EXPECT_LT(took, milliseconds(1000));
}

TEST(StreamingPeer, ASlowStreamEndsTheReaderWhenNoFrameHasBegunInTime) {
    // One byte every 5 ms never fills the skip bound within the time bound.
    StreamingPeer peer("x", 5);
    StreamedLink s(peer);
    s.link.Timeouts().frameStartMs = 300;
    PrinterClock clock{};
    const auto [code, took] = s.Timed(OpReadClock, &clock);
    EXPECT_EQ(code, LinkReceivingError);
    EXPECT_GE(took, milliseconds(300));
    EXPECT_LT(took, milliseconds(300 + 1000));
}

TEST(StreamingPeer, EndlessListsEndAtTheirItemAndTimeBounds) {
    // Every frame answers the announcement and the space queries; the file list never ends.
    auto info = std::make_unique<MemoryInfo>();
    {
        StreamingPeer peer("{1|A}", 0);
        StreamedLink s(peer);
        s.link.Timeouts().listMostItems = 100;
        const auto [code, took] = s.Timed(OpReadMemoryInfo, info.get());
        EXPECT_EQ(code, LinkReceivingError);
        EXPECT_LT(took, milliseconds(1000));
    }
    {
        StreamingPeer peer("{1|A}", 0);
        StreamedLink s(peer);
        const auto [code, took] = s.Timed(OpReadMemoryInfo, info.get());
        EXPECT_EQ(code, LinkReceivingError);
        // The product's bounds: 4096 items, no pause while frames keep coming.
        EXPECT_LT(took, milliseconds(5000));
    }
    {
        StreamingPeer peer("{1|A}", 5);
        StreamedLink s(peer);
        s.link.Timeouts().listMs = 300;
        const auto [code, took] = s.Timed(OpReadMemoryInfo, info.get());
        EXPECT_EQ(code, LinkReceivingError);
        EXPECT_GE(took, milliseconds(300));
        EXPECT_LT(took, milliseconds(300 + 1500));
    }
}
