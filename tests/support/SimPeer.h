#pragma once

#include "link/LinkSettings.h"
#include "link/PrinterLink.h"
#include "TcpServer.h"
#include "VirtualPrinter.h"

#include <chrono>
#include <functional>

// A virtual printer served over TCP on 127.0.0.1 and a link whose Ethernet settings
// point at it, with waits short enough for tests.
class SimPeer {
public:
    explicit SimPeer(int waitMs = 500);

    sim::VirtualPrinter printer;
    sim::TcpServer server{printer};
    ComSettings com{};
    LptPortName lpt{};
    NetSettings net{};
    PrinterLink link;

    // Shortens every wait of the link to ms (the list pause to 1 ms).
    void ShortenWaits(int ms);
    // Changes a fault under the printer's lock.
    void SetFaults(const std::function<void(sim::Faults&)>& change);
};

// Polls until the condition holds or the time runs out; returns the condition.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds limit = std::chrono::milliseconds(3000));
