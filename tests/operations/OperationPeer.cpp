#include "OperationPeer.h"

#include "StandardPrinter.h"

OperationPeer::OperationPeer(int waitMs) : peer(std::make_unique<SimPeer>(waitMs)) {
    {
        auto lock = peer->printer.Lock();
        sim::InstallStandardModules(peer->printer);
    }
    progress.hidePause = std::chrono::milliseconds(0);
    peer->link.SetProgressWindow(&progress);
}

LinkError OperationPeer::Run(uint32_t operation, void* buffer, int32_t extra, InterfaceKind kind) {
    return Dispatch(peer->link, operation, kind, buffer, extra);
}

void OperationPeer::HangUpAfter(long bytes) {
    peer->SetFaults([bytes](sim::Faults& faults) { faults.closeAfterBytes = bytes; });
}
