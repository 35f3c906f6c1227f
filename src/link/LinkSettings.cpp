#include "link/LinkSettings.h"

#include "link/FixedText.h"

void SetLinkDefaults(ComSettings& com, LptPortName& lpt, NetSettings& net) {
    StoreFixedBytes(com.portName, "COM1");
    com.baudIndex = 2;
    com.dataBitsIndex = 1;
    com.parityIndex = 0;
    com.stopBitsIndex = 0;
    com.hardwareIndex = 1;
    com.softwareIndex = 0;
    StoreFixedBytes(lpt.text, "LPT1");
    StoreFixedBytes(net.address, "");
    net.port = 9100;
}
