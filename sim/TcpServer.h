#pragma once

#include "ServerLoop.h"
#include "VirtualPrinter.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace sim {

// Serves the printer on a TCP address and port (port 0 picks a free one).
class TcpServer {
public:
    TcpServer(VirtualPrinter& printer, std::string address = "127.0.0.1", uint16_t port = 0);
    ~TcpServer();
    TcpServer(const TcpServer&) = delete;
    TcpServer& operator=(const TcpServer&) = delete;

    // Binds, listens and starts serving; false (with a reason) when the address cannot be had.
    bool Start(std::string* error = nullptr);
    void Stop();

    uint16_t Port() const { return port_; }
    const std::string& Address() const { return address_; }
    // Connections accepted so far.
    int Accepted() const { return accepted_; }
    // Waits, at most limit, until everything clients sent before the call has been read
    // and handed to the printer (a client that hung up is read to its end).
    bool WaitUntilTaken(std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
        return loop_.WaitUntilIdle(limit);
    }
    // A small receive buffer makes a printer that stops reading fill up quickly.
    void SetReceiveBufferBytes(int bytes) { receiveBuffer_ = bytes; }

private:
    struct Client {
        int fd;
        long received;
        // What this client sent that is not a whole command yet.
        VirtualPrinter::Input input;
    };

    // More clients at once are turned away, so none can exhaust the descriptors.
    static constexpr size_t kMostClients = 32;

    bool Listen(std::string* error);
    void CloseListener();
    void DropClients();
    bool Step(int wakeFd);
    void Serve(Client& client, bool& closed);

    VirtualPrinter& printer_;
    std::string address_;
    uint16_t port_;
    int receiveBuffer_ = 0;
    int listenFd_ = -1;
    std::atomic<int> accepted_{0};
    std::vector<Client> clients_;
    ServerLoop loop_;
};

} // namespace sim
