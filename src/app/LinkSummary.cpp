#include "app/LinkSummary.h"
#include "link/PortNames.h"

#include <cstring>

namespace {

const char* Pick(const char* const* texts, int count, int index, int fallback) {
    return texts[index >= 0 && index < count ? index : fallback];
}

} // namespace

QString ComSettingsSummary(const ComSettings& com) {
    static const char* const kBauds[] = {"2400",  "4800",  "9600",  "19200",
                                         "38400", "57600", "115200"};
    static const char* const kParities[] = {"N", "O", "E"};
    static const char* const kDataBits[] = {"7", "8"};
    static const char* const kStopBits[] = {"1", "1.5", "2"};
    static const char* const kHardware[] = {"None", "RTS", "RTS/CTS"};
    static const char* const kSoftware[] = {"", "Xon/Xoff"};

    return QStringLiteral("%1 %2,%3,%4,%5 %6 %7")
        .arg(FieldText(com.portName, sizeof com.portName),
             QString::fromLatin1(Pick(kBauds, 7, com.baudIndex, 2)),
             QString::fromLatin1(Pick(kParities, 3, com.parityIndex, 0)),
             QString::fromLatin1(com.dataBitsIndex == 0 ? kDataBits[0] : kDataBits[1]),
             QString::fromLatin1(Pick(kStopBits, 3, com.stopBitsIndex, 0)),
             QString::fromLatin1(Pick(kHardware, 3, com.hardwareIndex, 2)),
             QString::fromLatin1(com.softwareIndex == 1 ? kSoftware[1] : kSoftware[0]));
}
