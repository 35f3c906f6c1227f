#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace sim {

class NetModule;
class VirtualPrinter;

// The printer's side of the LAN setup protocol on one UDP address: answers discovery with
// MAC, address, model, name and status, answers the reads of the IP settings and the
// address mode, takes the name, address and mode writes and applies them at the commit,
// and does a factory default of the network settings. Requests addressed to another MAC
// are ignored. Runs on its own thread; several responders can run at once, on different
// addresses or ports, or on the same wildcard address and port (they share it).
class LanResponder {
public:
    struct Options {
        std::string address = "127.0.0.1";
        // 0: any free port (see Port()).
        uint16_t port = 22368;
        // A multicast group to join (empty: none), on the interface of this local address
        // (empty: the one the system chooses).
        std::string multicastGroup;
        std::string multicastInterface;
        // Discovery answers are cut to this many bytes (0: the whole answer).
        size_t discoveryAnswerLength = 0;
        // Takes requests and answers none.
        bool silent = false;
    };

    // The printer gets a NetModule when it has none.
    LanResponder(VirtualPrinter& printer, Options options);
    ~LanResponder();
    LanResponder(const LanResponder&) = delete;
    LanResponder& operator=(const LanResponder&) = delete;

    // Binds and starts answering; false when the address cannot be bound (see Error()).
    bool Start();
    void Stop();
    uint16_t Port() const { return boundPort_; }
    const std::string& Error() const { return error_; }

    // Every datagram received, in order.
    std::vector<std::vector<uint8_t>> Received() const;
    void ClearReceived();
    int FactoryDefaults() const { return factoryDefaults_; }

    // The answer to a request, as the responder would send it (nothing: no answer).
    std::optional<std::vector<uint8_t>> Answer(const std::vector<uint8_t>& request);

private:
    void Serve();
    bool Addressed(const std::vector<uint8_t>& request) const;
    // The printer's network module (looked up each time, under the printer's lock).
    NetModule& Net() const;

    VirtualPrinter& printer_;
    Options options_;
    int fd_ = -1;
    uint16_t boundPort_ = 0;
    std::string error_;
    std::atomic<bool> running_{false};
    std::thread thread_;
    mutable std::mutex receivedMutex_;
    std::vector<std::vector<uint8_t>> received_;
    std::atomic<int> factoryDefaults_{0};
    // Writes wait here for the commit.
    std::optional<std::string> stagedName_;
    std::optional<std::array<std::string, 3>> stagedAddresses_;
    std::optional<bool> stagedDhcp_;
};

} // namespace sim
