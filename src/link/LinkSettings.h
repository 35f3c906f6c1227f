#pragma once

#include <cstddef>
#include <cstdint>

// Which link an operation talks over; the item index of the interface list.
enum InterfaceKind : int32_t {
    InterfaceUsb = 0,
    InterfaceCom = 1,
    InterfaceLpt = 2,
    InterfaceEthernet = 3,
};

constexpr int kInterfaceKindCount = 4;

#pragma pack(push, 1)

// Serial port parameters. The indexes are item indexes of the serial set-up dialog's lists;
// what each means is in link/SerialChoices.h.
struct ComSettings {
    char portName[24];
    int32_t baudIndex;
    int32_t dataBitsIndex;
    int32_t parityIndex;
    int32_t stopBitsIndex;
    int32_t hardwareIndex;
    int32_t softwareIndex;
};
static_assert(sizeof(ComSettings) == 48);
static_assert(offsetof(ComSettings, baudIndex) == 24);

struct LptPortName {
    char text[256];
};
static_assert(sizeof(LptPortName) == 256);

struct NetSettings {
    char address[64]; // dotted IPv4 address or host name
    int32_t port;
};
static_assert(sizeof(NetSettings) == 68);

#pragma pack(pop)

// The three records the main window owns; the link reads them at every open.
struct LinkSettings {
    ComSettings* com = nullptr;
    LptPortName* lpt = nullptr;
    NetSettings* net = nullptr;
};

// Factory values, set when the main window is built and before any printer operation.
void SetLinkDefaults(ComSettings& com, LptPortName& lpt, NetSettings& net);
