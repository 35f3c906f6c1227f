#include "SimPeer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

SimPeer::SimPeer(int waitMs) {
    std::string error;
    EXPECT_TRUE(server.Start(&error)) << error;
    SetLinkDefaults(com, lpt, net);
    std::snprintf(net.address, sizeof net.address, "127.0.0.1");
    net.port = server.Port();
    link.SetLinkSettings({&com, &lpt, &net});
    ShortenWaits(waitMs);
}

void SimPeer::ShortenWaits(int ms) {
    LinkTimeouts& t = link.Timeouts();
    t.usbReadMs = t.usbWriteMs = t.comReadMs = t.comWriteConstantMs = ms;
    t.netMs = t.netConnectMs = t.lptWriteMs = ms;
    t.listFramePauseMs = 1;
    t.fileRequestPauseMs = t.fileCommandPauseMs = 1;
}

void SimPeer::SetFaults(const std::function<void(sim::Faults&)>& change) {
    auto lock = printer.Lock();
    change(printer.faults);
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return condition();
}
