#include "app/LinkSummary.h"

#include "link/FixedText.h"
#include "link/SerialChoices.h"

QString ComSettingsSummary(const ComSettings& com) {
    const auto summary = [](const SerialSetting& setting, int32_t index) {
        return QString::fromLatin1(setting.At(index).summary);
    };
    return QStringLiteral("%1 %2,%3,%4,%5 %6 %7")
        .arg(FixedText(com.portName, FixedTextKind::Local),
             summary(SerialBaudRates(), com.baudIndex), summary(SerialParities(), com.parityIndex),
             summary(SerialDataBits(), com.dataBitsIndex),
             summary(SerialStopBits(), com.stopBitsIndex),
             summary(SerialHardwareHandshakes(), com.hardwareIndex),
             summary(SerialSoftwareHandshakes(), com.softwareIndex));
}
