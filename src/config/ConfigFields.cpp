#include "config/ConfigFields.h"

namespace {

const ConfigField<ConfigInt> kInts[] = {
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

const ConfigField<ConfigFloat> kFloats[] = {
    {"Speed", &PrinterConfig::Speed},
    {"PaperWidth", &PrinterConfig::PaperWidth},
    {"PaperHeight", &PrinterConfig::PaperHeight},
    {"GapSize", &PrinterConfig::GapSize},
    {"GapOffset", &PrinterConfig::GapOffset},
    {"MaxLength", &PrinterConfig::MaxLength},
    {"DSpeed", &PrinterConfig::DSpeed},
};

const ConfigField<ConfigChar> kChars[] = {
    {"ZControl", &PrinterConfig::ZControl},
    {"ZFormat", &PrinterConfig::ZFormat},
    {"ZDelimiter", &PrinterConfig::ZDelimiter},
};

} // namespace

std::span<const ConfigField<ConfigInt>> ConfigIntFields() {
    return kInts;
}

std::span<const ConfigField<ConfigFloat>> ConfigFloatFields() {
    return kFloats;
}

std::span<const ConfigField<ConfigChar>> ConfigCharFields() {
    return kChars;
}
