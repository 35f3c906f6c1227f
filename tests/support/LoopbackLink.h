#pragma once

#include "link/LinkSettings.h"
#include "link/PrinterLink.h"

#include <cstdint>
#include <string>

// A link with the factory settings whose Ethernet part points at a TCP port on 127.0.0.1
// and whose serial and parallel parts may name device paths (a pseudo-terminal, a FIFO or
// file), for tests that serve a printer themselves.
class LoopbackLink {
public:
    explicit LoopbackLink(uint16_t tcpPort = 0, const std::string& serialDevice = {});
    LoopbackLink(const LoopbackLink&) = delete;

    // Names the parallel port's device (a FIFO or file the test made).
    void UseParallelDevice(const std::string& path);
    LoopbackLink& operator=(const LoopbackLink&) = delete;

    ComSettings com{};
    LptPortName lpt{};
    NetSettings net{};
    PrinterLink link;
};
