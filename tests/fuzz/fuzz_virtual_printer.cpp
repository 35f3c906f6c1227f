// The virtual printer's input handling with any bytes on two connections at once: it must
// neither end nor grow past its bounds, and its answers must stay well formed.

#include "FuzzCheck.h"
#include "MemoryModule.h"
#include "StandardPrinter.h"
#include "VirtualPrinter.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto printer = [] {
        auto made = std::make_unique<sim::VirtualPrinter>();
        sim::InstallStandardModules(*made);
        made->receivedLimit = 1 << 16;
        made->commandLimit = 256;
        return made;
    }();
    printer->Reset();
    printer->ClearReceived();
    sim::VirtualPrinter::Input first;
    sim::VirtualPrinter::Input second;
    // Bytes go to the two connections in turns of varying length; a 0xFF byte switches.
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    sim::VirtualPrinter::Input* input = &first;
    size_t start = 0;
    for (size_t at = 0; at <= bytes.size(); ++at) {
        if (at < bytes.size() && static_cast<uint8_t>(bytes[at]) != 0xFF)
            continue;
        printer->Receive(*input, bytes.substr(start, at - start));
        input = input == &first ? &second : &first;
        start = at + 1;
    }
    // A new connection's query after any input is answered by a well-formed frame.
    sim::VirtualPrinter::Input next;
    Check(printer->Receive(next, "DIAGNOSTIC REPORT DPI\r\n") == "{3|203}");
    Check(printer->Received().size() <= 2 * printer->receivedLimit);
    Check(printer->Commands().size() <= 2 * printer->commandLimit);
    return 0;
}
