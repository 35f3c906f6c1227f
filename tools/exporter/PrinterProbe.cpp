#include "PrinterProbe.h"

#include "config/PrinterConfig.h"
#include "dispatch/Dispatch.h"
#include "link/PrinterLink.h"
#include "operations/LinkError.h"
#include "operations/StatusOperations.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

namespace {

// Milliseconds left before the deadline; 0 when it has passed.
int MillisecondsLeft(ProbeClock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - ProbeClock::now());
    return static_cast<int>(std::clamp<int64_t>(left.count(), 0, 24 * 3600 * 1000));
}

// Runs one operation if time is left, with the waits fitted to that time; with no time
// left the printer counts as not answering.
template <class O, class... Args>
LinkError RunWithin(PrinterLink& link, ProbeClock::time_point deadline, InterfaceKind kind,
                    Args&&... args) {
    const int left = MillisecondsLeft(deadline);
    if (left <= 0)
        return LinkReceivingError;
    link.Timeouts().FitWithin(left);
    return Dispatch<O>(link, kind, std::forward<Args>(args)...);
}

// What a probe needs (the link with its receive buffers, the memory record with its file
// lists: about 460 KiB of address space of which a probe touches a few pages): on the heap,
// since a probe thread's stack is small, and kept by the thread for its next probe. The scheduler
// keeps its threads, so the exporter's memory stays where its busiest minutes put it instead of
// being handed back and taken again with every probe.
struct ProbeWorkspace {
    LinkAddress address;
    PrinterLink link;
    PrinterConfig config;
    MemoryInfo memory;
};

ProbeWorkspace& ThreadWorkspace() {
    thread_local std::unique_ptr<ProbeWorkspace> workspace;
    // Not value-initialised: that would write every page of the receive buffers.
    if (!workspace)
        workspace.reset(new ProbeWorkspace);
    return *workspace;
}

} // namespace

ProbeReading ProbePrinter(const LinkAddress& printer, ProbeModule module,
                          ProbeClock::time_point deadline, const std::atomic<bool>* stop) {
    const ProbeClock::time_point start = ProbeClock::now();
    ProbeReading reading;
    reading.module = module;
    ProbeWorkspace& workspace = ThreadWorkspace();
    LinkAddress* const spec = &workspace.address;
    *spec = printer;
    PrinterLink& link = workspace.link;
    // Everything the last probe on this thread set: the settings records the link reads at
    // every open, its waits as the product has them, the cancel of a passed deadline.
    link.SetLinkSettings(LinkSettings{&spec->com, &spec->lpt, &spec->net});
    link.Timeouts() = LinkTimeouts{};
    link.Waits().Clear();
    link.Waits().SetSharedCancel(stop);
    // Several waits of one operation each get the time left at its start; the deadline
    // ends whichever of them is running when it passes.
    link.Waits().SetBetweenSlices([&link, deadline] {
        if (ProbeClock::now() >= deadline)
            link.Waits().Cancel();
    });

    // The status with the short wait for the extended reply that older firmware never sends.
    LinkError code = LinkReceivingError;
    if (const int left = MillisecondsLeft(deadline); left > 0) {
        link.Timeouts().FitWithin(left);
        StatusReading status;
        code = ReadPrinterStatus(link, spec->kind, status);
        reading.status = status.status;
        reading.extendedKnown = status.extendedKnown;
    }
    reading.up = code == LinkOk;
    if (code == LinkOk && module == ProbeModule::Full) {
        PrinterConfig& config = workspace.config;
        std::memset(&config, 0, sizeof(PrinterConfig));
        SetConfigDefaults(config);
        code = RunWithin<Op::ReadConfiguration>(link, deadline, spec->kind, config, 0);
        if (code == LinkOk)
            reading.config = config;
    }
    if (code == LinkOk && module == ProbeModule::Full) {
        // Only what the probe reads is cleared; the file lists' pages stay untouched but
        // for the lists the printer sends.
        MemoryInfo* const info = &workspace.memory;
        for (MemoryArea& area : info->areas) {
            area.fileList[0] = '\0';
            area.physicalKnown = area.freeKnown = 0;
            area.physicalSpace = area.freeSpace = 0;
        }
        code = RunWithin<Op::ReadMemoryInfo>(link, deadline, spec->kind, *info);
        if (code == LinkOk) {
            std::array<MemorySpace, kMemoryDeviceCount> spaces;
            for (int m = 0; m < kMemoryDeviceCount; ++m) {
                const MemoryArea& area = info->areas[m];
                if (area.physicalKnown)
                    spaces[m].totalBytes = int64_t{area.physicalSpace} * 1024;
                if (area.freeKnown)
                    spaces[m].freeBytes = int64_t{area.freeSpace} * 1024;
            }
            reading.memories = spaces;
        }
    }
    reading.code = code;
    reading.durationSeconds = std::chrono::duration<double>(ProbeClock::now() - start).count();
    return reading;
}
