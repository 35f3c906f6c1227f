#include "ConfigJson.h"

#include "config/ConfigFields.h"
#include "link/FixedText.h"

#include <QJsonValue>
#include <QString>

#include <cstring>

namespace {

const auto kInts = ConfigIntFields();
const auto kFloats = ConfigFloatFields();
const auto kChars = ConfigCharFields();

} // namespace

QJsonObject ConfigToJson(const PrinterConfig& config) {
    QJsonObject json;
    json[QStringLiteral("Edition")] = config.Edition;
    json[QStringLiteral("Dpi")] = config.ResolutionValid ? QJsonValue(config.Dpi) : QJsonValue();
    json[QStringLiteral("DotsPerMm")] =
        config.ResolutionValid ? QJsonValue(config.DotsPerMm) : QJsonValue();
    json[QStringLiteral("CutCounter")] = config.CutCounter;
    json[QStringLiteral("ResetCutCounter")] = config.ResetCutCounter;
    json[QStringLiteral("Version")] = FixedText(config.Version, FixedTextKind::Printer);
    json[QStringLiteral("Milage")] = FixedText(config.Milage, FixedTextKind::Printer);
    json[QStringLiteral("ResetMilage")] = FixedText(config.ResetMilage, FixedTextKind::Printer);
    json[QStringLiteral("Checksum")] = FixedText(config.Checksum, FixedTextKind::Printer);
    json[QStringLiteral("Serial")] = FixedText(config.Serial, FixedTextKind::Printer);
    json[QStringLiteral("InchUnit")] = config.InchUnit != 0;
    for (const auto& [name, member] : kInts) {
        const ConfigInt& item = config.*member;
        json[QLatin1String(name)] = item.valid ? QJsonValue(item.value) : QJsonValue();
    }
    for (const auto& [name, member] : kFloats) {
        const ConfigFloat& item = config.*member;
        // Through the decimal text, so that 3.2 reads 3.2 rather than 3.2000000476837.
        json[QLatin1String(name)] =
            item.valid ? QJsonValue(QString::number(item.value).toDouble()) : QJsonValue();
    }
    for (const auto& [name, member] : kChars) {
        const ConfigChar& item = config.*member;
        json[QLatin1String(name)] =
            item.valid ? QJsonValue(QString(QLatin1Char(item.value))) : QJsonValue();
    }
    return json;
}

QStringList ConfigSettingNames() {
    QStringList names;
    for (const auto& field : kInts)
        names << QLatin1String(field.name);
    for (const auto& field : kFloats)
        names << QLatin1String(field.name);
    for (const auto& field : kChars)
        names << QLatin1String(field.name);
    return names;
}

bool CopyConfigSetting(const QString& name, const PrinterConfig& from, PrinterConfig& to) {
    const auto copy = [&](const auto& fields) {
        for (const auto& [field, member] : fields) {
            if (name == QLatin1String(field)) {
                to.*member = from.*member;
                return true;
            }
        }
        return false;
    };
    return copy(kInts) || copy(kFloats) || copy(kChars);
}
