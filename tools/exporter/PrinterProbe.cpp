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

} // namespace

ProbeReading ProbePrinter(const LinkAddress& printer, ProbeModule module,
                          ProbeClock::time_point deadline) {
    const ProbeClock::time_point start = ProbeClock::now();
    ProbeReading reading;
    // The link reads its settings records at every open; they live as long as it.
    LinkAddress spec = printer;
    PrinterLink link;
    link.SetLinkSettings(LinkSettings{&spec.com, &spec.lpt, &spec.net});

    // The status with the short wait for the extended reply that older firmware never sends.
    LinkError code = LinkReceivingError;
    if (const int left = MillisecondsLeft(deadline); left > 0) {
        link.Timeouts().FitWithin(left);
        StatusReading status;
        code = ReadPrinterStatus(link, spec.kind, status);
        reading.status = status.status;
        reading.extendedKnown = status.extendedKnown;
    }
    reading.up = code == LinkOk;
    if (code == LinkOk && module == ProbeModule::Full) {
        PrinterConfig config;
        std::memset(&config, 0, sizeof config);
        SetConfigDefaults(config);
        code = RunWithin<Op::ReadConfiguration>(link, deadline, spec.kind, config, 0);
        if (code == LinkOk)
            reading.config = config;
    }
    if (code == LinkOk && module == ProbeModule::Full) {
        // About 192 KiB: on the heap, for the length of the read.
        auto info = std::make_unique<MemoryInfo>();
        std::memset(info.get(), 0, sizeof(MemoryInfo));
        code = RunWithin<Op::ReadMemoryInfo>(link, deadline, spec.kind, *info);
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
