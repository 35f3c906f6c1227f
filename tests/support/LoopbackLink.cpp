#include "LoopbackLink.h"

#include <gtest/gtest.h>

#include <cstdio>

LoopbackLink::LoopbackLink(uint16_t tcpPort, const std::string& serialDevice) {
    SetLinkDefaults(com, lpt, net);
    std::snprintf(net.address, sizeof net.address, "127.0.0.1");
    net.port = tcpPort;
    if (!serialDevice.empty()) {
        EXPECT_LT(serialDevice.size(), sizeof com.portName) << serialDevice;
        std::snprintf(com.portName, sizeof com.portName, "%s", serialDevice.c_str());
        // A pseudo-terminal has no handshake lines.
        com.hardwareIndex = 0;
    }
    link.SetLinkSettings({&com, &lpt, &net});
}

void LoopbackLink::UseParallelDevice(const std::string& path) {
    EXPECT_LT(path.size(), sizeof lpt.text) << path;
    std::snprintf(lpt.text, sizeof lpt.text, "%s", path.c_str());
}
