#pragma once

#include "link/LinkAddress.h"
#include "PrinterResult.h"

#include <atomic>
#include <functional>
#include <vector>

class PrinterLink;
struct LinkTimeouts;

// The result of a printer that an interrupt kept from being contacted: "Not Started",
// "(interrupted)".
PrinterResult NotStartedByInterrupt(const LinkAddress& printer);

// Runs one job on many printers, several at a time: every printer gets a PrinterLink of
// its own on a worker thread of its own. Results come back in the order of the links.
// `cancel` ends the run: every link watches it (the waits in flight end), and printers not
// yet begun once it is set are not contacted. The program passes the flag its signals set.
class FleetRunner {
public:
    using Job = std::function<PrinterResult(PrinterLink& link, const LinkAddress& printer)>;
    // Called on each new link before its job (the waits a run asks for).
    using LinkSetup = std::function<void(PrinterLink& link)>;

    FleetRunner(int parallel, const std::atomic<bool>& cancel, LinkSetup setup = {});

    std::vector<PrinterResult> Run(const std::vector<LinkAddress>& printers, const Job& job) const;
    bool Cancelled() const { return cancel_; }

private:
    int parallel_;
    const std::atomic<bool>& cancel_;
    LinkSetup setup_;
};
