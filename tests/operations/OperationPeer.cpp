#include "OperationPeer.h"

#include "FirmwareModule.h"
#include "StandardPrinter.h"

#include <gtest/gtest.h>

#include <string>

OperationPeer::OperationPeer(int waitMs) : peer(std::make_unique<SimPeer>(waitMs)) {
    {
        auto lock = peer->printer.Lock();
        sim::InstallStandardModules(peer->printer);
    }
    progress.hidePause = std::chrono::milliseconds(0);
    peer->link.SetProgressWindow(&progress);
}

LinkError OperationPeer::Run(uint32_t operation, void* buffer, int32_t extra, InterfaceKind kind) {
    const LinkError code = Dispatch(peer->link, operation, kind, buffer, extra);
    bool reading = true;
    {
        auto lock = peer->printer.Lock();
        reading = !peer->printer.faults.stopReading;
    }
    // The operation's last write may still be on its way; what the test looks at next is
    // the printer's state once it has taken every byte.
    if (kind == InterfaceEthernet && reading) {
        EXPECT_TRUE(peer->server.WaitUntilTaken()) << "the printer did not take what was sent";
    }
    return code;
}

void OperationPeer::HangUpAfter(long bytes) {
    peer->SetFaults([bytes](sim::Faults& faults) { faults.closeAfterBytes = bytes; });
}

void OperationPeer::SetEdition(int edition) {
    auto lock = peer->printer.Lock();
    peer->printer.Module<sim::FirmwareModule>()->edition = edition;
    peer->printer.SetReportValue("EDITION", std::to_string(edition));
}
