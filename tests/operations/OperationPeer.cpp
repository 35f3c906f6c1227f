#include "OperationPeer.h"

#include "FirmwareModule.h"
#include "StandardPrinter.h"

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
    return Dispatch(peer->link, operation, kind, buffer, extra);
}

void OperationPeer::HangUpAfter(long bytes) {
    peer->SetFaults([bytes](sim::Faults& faults) { faults.closeAfterBytes = bytes; });
}

void OperationPeer::SetEdition(int edition) {
    auto lock = peer->printer.Lock();
    peer->printer.Module<sim::FirmwareModule>()->edition = edition;
    peer->printer.SetReportValue("EDITION", std::to_string(edition));
}
