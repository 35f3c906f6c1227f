#include "ConfigJson.h"

#include "link/FixedText.h"

#include <QJsonValue>
#include <QString>

#include <cstring>
#include <utility>

namespace {

template <typename Item>
using Fields = std::initializer_list<std::pair<const char*, Item PrinterConfig::*>>;

const Fields<ConfigInt> kInts = {
    {"Density", &PrinterConfig::Density},
    {"DensityBase", &PrinterConfig::DensityBase},
    {"SensorMode", &PrinterConfig::SensorMode},
    {"PrintOut", &PrinterConfig::PrintOut},
    {"CutterPiece", &PrinterConfig::CutterPiece},
    {"ReferenceX", &PrinterConfig::ReferenceX},
    {"ReferenceY", &PrinterConfig::ReferenceY},
    {"Direction", &PrinterConfig::Direction},
    {"Mirror", &PrinterConfig::Mirror},
    {"Offset", &PrinterConfig::Offset},
    {"OffsetBase", &PrinterConfig::OffsetBase},
    {"Shift", &PrinterConfig::Shift},
    {"ShiftBase", &PrinterConfig::ShiftBase},
    {"ShiftX", &PrinterConfig::ShiftX},
    {"ShiftXBase", &PrinterConfig::ShiftXBase},
    {"Ribbon", &PrinterConfig::Ribbon},
    {"RibbonSensor", &PrinterConfig::RibbonSensor},
    {"RibbonEncoder", &PrinterConfig::RibbonEncoder},
    {"CodePage", &PrinterConfig::CodePage},
    {"Country", &PrinterConfig::Country},
    {"Head", &PrinterConfig::Head},
    {"Reprint", &PrinterConfig::Reprint},
    {"GapInten", &PrinterConfig::GapInten},
    {"BlineInten", &PrinterConfig::BlineInten},
    {"ConInten", &PrinterConfig::ConInten},
    {"AutoThreshold", &PrinterConfig::AutoThreshold},
    {"ZDarkness", &PrinterConfig::ZDarkness},
    {"ZSpeed", &PrinterConfig::ZSpeed},
    {"ZPosition", &PrinterConfig::ZPosition},
    {"ZPrintMode", &PrinterConfig::ZPrintMode},
    {"ZLabelWidth", &PrinterConfig::ZLabelWidth},
    {"ZFeedPowerUp", &PrinterConfig::ZFeedPowerUp},
    {"ZFeedHeadClose", &PrinterConfig::ZFeedHeadClose},
    {"ZLabelTop", &PrinterConfig::ZLabelTop},
    {"ZLabelShift", &PrinterConfig::ZLabelShift},
    {"DHeat", &PrinterConfig::DHeat},
    {"DLabelWidth", &PrinterConfig::DLabelWidth},
    {"DPresentSensor", &PrinterConfig::DPresentSensor},
    {"DCutterEquipped", &PrinterConfig::DCutterEquipped},
    {"DControlCodes", &PrinterConfig::DControlCodes},
    {"DColumnOffset", &PrinterConfig::DColumnOffset},
    {"DRowOffset", &PrinterConfig::DRowOffset},
    {"BaudRate", &PrinterConfig::BaudRate},
    {"DataBit", &PrinterConfig::DataBit},
    {"Parity", &PrinterConfig::Parity},
    {"StopBit", &PrinterConfig::StopBit},
};

const Fields<ConfigFloat> kFloats = {
    {"Speed", &PrinterConfig::Speed},
    {"PaperWidth", &PrinterConfig::PaperWidth},
    {"PaperHeight", &PrinterConfig::PaperHeight},
    {"GapSize", &PrinterConfig::GapSize},
    {"GapOffset", &PrinterConfig::GapOffset},
    {"MaxLength", &PrinterConfig::MaxLength},
    {"DSpeed", &PrinterConfig::DSpeed},
};

const Fields<ConfigChar> kChars = {
    {"ZControl", &PrinterConfig::ZControl},
    {"ZFormat", &PrinterConfig::ZFormat},
    {"ZDelimiter", &PrinterConfig::ZDelimiter},
};

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
        names << QLatin1String(field.first);
    for (const auto& field : kFloats)
        names << QLatin1String(field.first);
    for (const auto& field : kChars)
        names << QLatin1String(field.first);
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
