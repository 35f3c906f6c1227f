#pragma once

#include "LanResponder.h"
#include "NetModule.h"
#include "network/LanClient.h"
#include "VirtualPrinter.h"

#include <cstdint>
#include <memory>
#include <string>

// A virtual printer with its network interface that answers the LAN setup protocol on a
// loopback address.
struct SimulatedLanPrinter {
    SimulatedLanPrinter(const std::string& address, uint16_t port, sim::NetModule::Identity id,
                        size_t answerLength = 0);

    sim::VirtualPrinter printer;
    sim::NetModule* net = nullptr;
    std::unique_ptr<sim::LanResponder> responder;
};

// The identity a test printer announces, with the simulator's model name.
sim::NetModule::Identity LanIdentity(const std::string& mac, const std::string& name);

// Two printers on 127.0.0.2 and 127.0.0.3 answering on one shared UDP port, as two
// printers on a network do.
struct LanPrinterPair {
    // Starts both; the second needs the first one's free port on its own address, which
    // another test may hold, so a few ports are tried. False (with the reason) when none
    // could be had.
    bool Start(sim::NetModule::Identity first, sim::NetModule::Identity second,
               std::string* error = nullptr);

    // A client whose broadcast and multicast rounds both go to the two printers.
    LanClientSettings ClientSettings(int discoveryWaitMs, int answerWaitMs) const;

    std::unique_ptr<SimulatedLanPrinter> first;
    std::unique_ptr<SimulatedLanPrinter> second;
    uint16_t port = 0;
};
