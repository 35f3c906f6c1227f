// ReadConfiguration (operation 1) against a printer that answers anything: whatever it
// says, the operation returns a known code, closes the link, keeps the record's texts
// terminated and its reals finite, and writes nothing past the record.

#include "config/PrinterConfig.h"
#include "dispatch/Dispatch.h"
#include "FuzzCheck.h"
#include "link/PrinterLink.h"
#include "ScriptedBackend.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

template <size_t N> bool Terminated(const char (&text)[N]) {
    return std::memchr(text, '\0', N) != nullptr;
}

struct Guarded {
    PrinterConfig config;
    unsigned char guard[32];
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto script = std::make_shared<LinkScript>();
    // Device reads of up to 64 bytes, as the USB link brings them.
    for (size_t at = 0; at < size; at += 64)
        script->reads.emplace_back(reinterpret_cast<const char*>(data + at),
                                   std::min<size_t>(64, size - at));
    PrinterLink link;
    link.SetBackendFactory(
        InterfaceUsb, [script](PrinterLink&) { return std::make_unique<ScriptedBackend>(script); });
    link.Timeouts().listFramePauseMs = 0;

    auto record = std::make_unique<Guarded>();
    record->config = DefaultPrinterConfig();
    std::memset(record->guard, 0xA5, sizeof record->guard);
    const LinkError code = Dispatch(link, OpReadConfiguration, InterfaceUsb, &record->config, 0);
    Check(code >= LinkOk && code <= LinkUnknownError);
    Check(script->opens == script->closes);
    for (unsigned char byte : record->guard)
        Check(byte == 0xA5);
    const PrinterConfig& c = record->config;
    Check(Terminated(c.Version) && Terminated(c.Milage) && Terminated(c.ResetMilage) &&
          Terminated(c.Checksum) && Terminated(c.Serial));
    const float dpi = c.Dpi;
    const float dotsPerMm = c.DotsPerMm;
    Check(std::isfinite(dpi) && std::isfinite(dotsPerMm));
    return 0;
}
