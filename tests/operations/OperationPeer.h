#pragma once

#include "dispatch/Dispatch.h"
#include "link/ProgressWindow.h"
#include "SimPeer.h"

#include <memory>

// A complete virtual printer on loopback TCP and a link pointed at it, with short waits.
class OperationPeer {
public:
    explicit OperationPeer(int waitMs = 300);

    // Runs the operation and, over TCP, waits until the printer has taken what was sent.
    LinkError Run(uint32_t operation, void* buffer, int32_t extra = 0,
                  InterfaceKind kind = InterfaceEthernet);

    template <class T> T& Module() {
        auto lock = peer->printer.Lock();
        return *peer->printer.Module<T>();
    }
    sim::VirtualPrinter& Printer() { return peer->printer; }
    // The firmware edition the printer reports and acts by.
    void SetEdition(int edition);
    // Hangs up once this many bytes have come in (negative: never).
    void HangUpAfter(long bytes);

    std::unique_ptr<SimPeer> peer;
    ProgressWindow progress;
};
