#include "link/LinkSettings.h"

#include <cstring>
#include <iterator>

namespace {

void CopyText(char* field, size_t capacity, const char* text) {
    std::memset(field, 0, capacity);
    std::strncpy(field, text, capacity - 1);
}

constexpr int32_t kBaudRates[] = {2400, 4800, 9600, 19200, 38400, 57600, 115200};

} // namespace

void SetLinkDefaults(ComSettings& com, LptPortName& lpt, NetSettings& net) {
    CopyText(com.portName, sizeof com.portName, "COM1");
    com.baudIndex = 2;
    com.dataBitsIndex = 1;
    com.parityIndex = 0;
    com.stopBitsIndex = 0;
    com.hardwareIndex = 1;
    com.softwareIndex = 0;
    CopyText(lpt.text, sizeof lpt.text, "LPT1");
    std::memset(net.address, 0, sizeof net.address);
    net.port = 9100;
}

int32_t BaudRateForIndex(int32_t baudIndex) {
    if (baudIndex >= 0 && baudIndex < static_cast<int32_t>(std::size(kBaudRates)))
        return kBaudRates[baudIndex];
    return 9600;
}
