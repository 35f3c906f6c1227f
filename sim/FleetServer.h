#pragma once

#include "VirtualPrinter.h"

#include <chrono>
#include <csignal>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace sim {

// A fleet of printers on consecutive TCP ports of one address, served by one thread and
// one epoll set, so thousands fit in one process. Every printer answers from one shared
// model (each connection has its own input); shares of them misbehave, laid out in port
// order in blocks: silent (take the connection, never answer), refusing (the port is held
// but not listening: a connect is reset), not accepting (a listener whose backlog is full:
// a connect hangs, as with a printer switched off), slow (every answer after slowMs),
// garbage before every answer, hanging up after two bytes; the rest answer at once.
class FleetServer {
public:
    enum class Role { Silent, Refusing, NotAccepting, Slow, Garbage, HangUp, Healthy };
    static constexpr int kRoles = 7;

    struct Layout {
        std::string address = "127.0.0.1";
        uint16_t basePort = 0;
        int count = 0;
        // Percent of the fleet in each misbehaving role, in Role order.
        double shares[kRoles - 1] = {};
        int slowMs = 2000;
    };

    FleetServer(VirtualPrinter& model, Layout layout);
    ~FleetServer();
    FleetServer(const FleetServer&) = delete;
    FleetServer& operator=(const FleetServer&) = delete;

    // Opens every port; false with a reason when one cannot be had.
    bool Start(std::string* error);
    // Serves until `stop` is set (checked at least every 100 ms).
    void Run(const volatile std::sig_atomic_t& stop);

    // The role of printer `index` (0-based) of the layout.
    static Role RoleOf(const Layout& layout, int index);
    static const char* RoleName(Role role);
    // One line per role that has printers: "NAME ADDR:FIRST-LAST".
    std::string Describe() const;

private:
    struct Connection {
        int fd = -1;
        Role role = Role::Healthy;
        long received = 0;
        VirtualPrinter::Input input;
        std::string out;
        size_t sent = 0;
    };
    struct Delayed {
        std::chrono::steady_clock::time_point due;
        uint64_t id;
        std::string bytes;
    };

    void Accept(int index);
    void Read(uint64_t id);
    void Queue(uint64_t id, std::string bytes);
    void Flush(uint64_t id);
    void Close(uint64_t id);

    VirtualPrinter& model_;
    Layout layout_;
    int epollFd_ = -1;
    // One per printer: a listener, a held port or a full listener.
    std::vector<int> portFds_;
    // Connections that fill the not-accepting printers' backlogs.
    std::vector<int> fillers_;
    std::unordered_map<uint64_t, Connection> connections_;
    uint64_t nextId_ = 1;
    std::vector<Delayed> delayed_;
};

} // namespace sim
