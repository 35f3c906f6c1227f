#include "link/LinkSummary.h"

#include "link/FixedText.h"
#include "link/SerialChoices.h"

QString ComSettingsSummary(const ComSettings& com) {
    const auto summary = [](const SerialSetting& setting, int32_t index) {
        return QString::fromLatin1(setting.At(index).summary);
    };
    return QStringLiteral("%1 %2,%3,%4,%5 %6 %7")
        .arg(FixedText(com.portName, FixedTextKind::Local),
             summary(kSerialBaudRates, com.baudIndex), summary(kSerialParities, com.parityIndex),
             summary(kSerialDataBits, com.dataBitsIndex),
             summary(kSerialStopBits, com.stopBitsIndex),
             summary(kSerialHardwareHandshakes, com.hardwareIndex),
             summary(kSerialSoftwareHandshakes, com.softwareIndex));
}
