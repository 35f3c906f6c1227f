#include "config/SettingsTable.h"

#include "config/ConfigTables.h"

#include <array>
#include <cmath>

namespace {

using R = FieldRule;

constexpr std::array<const char*, 3> kSensorNames = {"gap", "black_mark", "continuous"};
constexpr std::array<const char*, 4> kPostPrintNames = {"off", "tear", "peel", "cutter"};
constexpr std::array<const char*, 2> kOffOn = {"off", "on"};
constexpr std::array<const char*, 2> kThresholdNames = {"manual", "auto"};
constexpr std::array<const char*, 3> kZPrintModeNames = {"tear_off", "peel_off", "cutter"};
constexpr std::array<const char*, 4> kZFeedNames = {"feed", "calibration", "length", "no_motion"};
constexpr std::array<const char*, 3> kDControlCodeNames = {"standard", "alternate", "alternate_2"};
constexpr std::array<const char*, 3> kParityNames = {"none", "odd", "even"};

// The editions that brought the emulation settings, the longest feed, and the ribbon
// switches and threshold detection.
constexpr int32_t kEmulations = 100;
constexpr int32_t kMaxLength = 102;
constexpr int32_t kLatest = 103;

constexpr int32_t kCommon = ConfigTabCommon;
constexpr int32_t kZ = ConfigTabZ;
constexpr int32_t kD = ConfigTabD;
constexpr int32_t kInterface = ConfigTabInterface;

// The page lists the baud rates the printer takes, without the table's "0".
const std::span<const char* const> kBaudNames = std::span(kBaudRateTable).subspan(1);

const PageSetting kFields[] = {
    // The speed edit takes two characters.
    {&PrinterConfig::Speed, "Speed", "EditSpeed", R::Speed, "speed", kCommon, 0, 99},
    {&PrinterConfig::Density, "Density", "ComboBoxDensity", R::ComboShifted, "density", kCommon, 0,
     15},
    {&PrinterConfig::DensityBase, "DensityBase", "EditDensityBase", R::Base, "density_base",
     kCommon},
    {&PrinterConfig::PaperWidth, "PaperWidth", "EditWidth", R::Length, "paper_width", kCommon},
    {&PrinterConfig::PaperHeight, "PaperHeight", "EditHeight", R::Length, "paper_height", kCommon},
    {&PrinterConfig::SensorMode, "SensorMode", "ComboBoxMediaSensor", R::ComboShifted, "sensor",
     kCommon, 1, 0, kSensorNames},
    {&PrinterConfig::GapSize, "GapSize", "EditGapSize", R::Length, "gap", kCommon},
    {&PrinterConfig::GapOffset, "GapOffset", "EditGapOffset", R::Length, "gap_offset", kCommon},
    {&PrinterConfig::PrintOut, "PrintOut", "ComboBoxPrintOut", R::ComboShifted, "post_print_action",
     kCommon, 1, 0, kPostPrintNames},
    {&PrinterConfig::CutterPiece, "CutterPiece", "EditCutterPiece", R::CutterPiece, "cut_piece",
     kCommon},
    {&PrinterConfig::ReferenceX, "ReferenceX", "EditReferenceX", R::Integer, "reference_x",
     kCommon},
    {&PrinterConfig::ReferenceY, "ReferenceY", "EditReferenceY", R::Integer, "reference_y",
     kCommon},
    {&PrinterConfig::Direction, "Direction", "ComboBoxDirection", R::ComboShifted, "direction",
     kCommon, 0, 1},
    {&PrinterConfig::Mirror, "Mirror", "ComboBoxMirror", R::ComboShifted, "mirror", kCommon, 0, 1},
    {&PrinterConfig::Offset, "Offset", "EditOffset", R::Integer, "offset", kCommon},
    {&PrinterConfig::OffsetBase, "OffsetBase", "EditOffsetBase", R::Base, "offset_base", kCommon},
    {&PrinterConfig::Shift, "Shift", "EditShiftY", R::Integer, "shift_y", kCommon},
    {&PrinterConfig::ShiftBase, "ShiftBase", "EditShiftYBase", R::Base, "shift_y_base", kCommon},
    {&PrinterConfig::ShiftX, "ShiftX", "EditShiftX", R::Integer, "shift_x", kCommon},
    {&PrinterConfig::ShiftXBase, "ShiftXBase", "EditShiftXBase", R::Base, "shift_x_base", kCommon},
    {&PrinterConfig::Ribbon, "Ribbon", "ComboBoxRibbon", R::ComboShifted, "ribbon", kCommon, 1, 0,
     kOffOn},
    {&PrinterConfig::RibbonSensor, "RibbonSensor", "ComboBoxRibbonSensor", R::ComboShifted,
     "ribbon_sensor", kCommon, 1, 0, kOffOn, kLatest},
    {&PrinterConfig::RibbonEncoder, "RibbonEncoder", "ComboBoxRibbonEncoder", R::ComboShifted,
     "ribbon_encoder", kCommon, 1, 0, kOffOn, kLatest},
    {&PrinterConfig::CodePage, "CodePage", "ComboBoxCodePage", R::ComboShifted, "code_page",
     kCommon, 1, 0, kCodePageTable},
    {&PrinterConfig::Country, "Country", "ComboBoxCountryCode", R::ComboShifted, "country_code",
     kCommon, 1, 0, kCountryCodeTable},
    {&PrinterConfig::Head, "Head", "ComboBoxHead", R::ComboShifted, "head_up_sensor", kCommon, 1, 0,
     kOffOn},
    {&PrinterConfig::Reprint, "Reprint", "ComboBoxReprint", R::ComboShifted, "reprint_after_error",
     kCommon, 1, 0, kOffOn},
    {&PrinterConfig::MaxLength,
     "MaxLength",
     "EditMaximumLength",
     R::Length,
     "maximum_length",
     kCommon,
     1,
     0,
     {},
     kMaxLength},
    {&PrinterConfig::GapInten, "GapInten", "EditGapInten", R::Integer, "gap_intensity", kCommon},
    {&PrinterConfig::BlineInten, "BlineInten", "EditBlineInten", R::Integer, "black_mark_intensity",
     kCommon},
    {&PrinterConfig::ConInten, "ConInten", "EditContinuousInten", R::Integer,
     "continuous_intensity", kCommon},
    {&PrinterConfig::AutoThreshold, "AutoThreshold", "ComboBoxThreshold", R::ComboShifted,
     "threshold_detection", kCommon, 1, 0, kThresholdNames, kLatest},
    {&PrinterConfig::ZDarkness,
     "ZDarkness",
     "EditDarknessZ",
     R::Integer,
     "z_darkness",
     kZ,
     0,
     30,
     {},
     kEmulations},
    {&PrinterConfig::ZSpeed,
     "ZSpeed",
     "EditPrintSpeedZ",
     R::Integer,
     "z_print_speed",
     kZ,
     1,
     0,
     {},
     kEmulations},
    {&PrinterConfig::ZPosition,
     "ZPosition",
     "EditTearOffZ",
     R::Integer,
     "z_tear_off",
     kZ,
     -120,
     120,
     {},
     kEmulations},
    {&PrinterConfig::ZPrintMode, "ZPrintMode", "ComboBoxPrintModeZ", R::ComboDirect, "z_print_mode",
     kZ, 1, 0, kZPrintModeNames, kEmulations},
    {&PrinterConfig::ZLabelWidth,
     "ZLabelWidth",
     "EditPrintWidthZ",
     R::LengthDots,
     "z_print_width",
     kZ,
     1,
     0,
     {},
     kEmulations},
    {&PrinterConfig::ZControl,
     "ZControl",
     "EditControlPrefixZ",
     R::Character,
     "z_control_prefix",
     kZ,
     1,
     0,
     {},
     kEmulations},
    {&PrinterConfig::ZFormat,
     "ZFormat",
     "EditFormatPrefixZ",
     R::Character,
     "z_format_prefix",
     kZ,
     1,
     0,
     {},
     kEmulations},
    {&PrinterConfig::ZDelimiter,
     "ZDelimiter",
     "EditDelimiterCharZ",
     R::Character,
     "z_delimiter",
     kZ,
     1,
     0,
     {},
     kEmulations},
    {&PrinterConfig::ZFeedPowerUp, "ZFeedPowerUp", "ComboBoxMediaPowerUpZ", R::ComboDirect,
     "z_media_power_up", kZ, 1, 0, kZFeedNames, kEmulations},
    {&PrinterConfig::ZFeedHeadClose, "ZFeedHeadClose", "ComboBoxHeadCloseZ", R::ComboDirect,
     "z_head_close", kZ, 1, 0, kZFeedNames, kEmulations},
    {&PrinterConfig::ZLabelTop,
     "ZLabelTop",
     "EditLabelTopZ",
     R::Integer,
     "z_label_top",
     kZ,
     -120,
     120,
     {},
     kEmulations},
    {&PrinterConfig::ZLabelShift,
     "ZLabelShift",
     "EditLeftPositionZ",
     R::Integer,
     "z_left_position",
     kZ,
     -9999,
     9999,
     {},
     kEmulations},
    {&PrinterConfig::DHeat, "DHeat", "EditHeatD", R::Integer, "d_heat", kD, 0, 30, {}, kEmulations},
    // The speeds the emulation has letters for; others would be sent as 4.0.
    {&PrinterConfig::DSpeed,
     "DSpeed",
     "EditPrintSpeedD",
     R::Real,
     "d_print_speed",
     kD,
     1,
     20,
     {},
     kEmulations},
    {&PrinterConfig::DLabelWidth,
     "DLabelWidth",
     "EditLabelWidthD",
     R::LengthDots,
     "d_label_width",
     kD,
     1,
     0,
     {},
     kEmulations},
    {&PrinterConfig::DPresentSensor, "DPresentSensor", "ComboBoxPresentSensorD", R::ComboDirect,
     "d_present_sensor", kD, 1, 0, kOffOn, kEmulations},
    {&PrinterConfig::DCutterEquipped, "DCutterEquipped", "ComboBoxCutterEquippedD", R::ComboDirect,
     "d_cutter_equipped", kD, 1, 0, kOffOn, kEmulations},
    {&PrinterConfig::DControlCodes, "DControlCodes", "ComboBoxControlCodesD", R::ComboDirect,
     "d_control_codes", kD, 1, 0, kDControlCodeNames, kEmulations},
    {&PrinterConfig::DColumnOffset,
     "DColumnOffset",
     "EditColumnOffsetD",
     R::LengthDots,
     "d_column_offset",
     kD,
     1,
     0,
     {},
     kEmulations},
    {&PrinterConfig::DRowOffset,
     "DRowOffset",
     "EditRowOffsetD",
     R::LengthDots,
     "d_row_offset",
     kD,
     1,
     0,
     {},
     kEmulations},
    {&PrinterConfig::BaudRate, "BaudRate", "ComboBoxBaudrate", R::ComboDirect, "baud", kInterface,
     1, 0, kBaudNames},
    {&PrinterConfig::DataBit, "DataBit", "ComboBoxDatabit", R::ComboShifted, "data_bits",
     kInterface, 1, 0, kDataBitsTable},
    {&PrinterConfig::Parity, "Parity", "ComboBoxParity", R::ComboShifted, "parity", kInterface, 1,
     0, kParityNames},
    {&PrinterConfig::StopBit, "StopBit", "ComboBoxStopBit", R::ComboShifted, "stop_bits",
     kInterface, 1, 0, kStopBitsTable},
};

} // namespace

int32_t PageSetting::ChoiceValue(int32_t index) const {
    if (index < 0 || index >= static_cast<int32_t>(choices.size()))
        return -1;
    return rule == FieldRule::ComboDirect ? index + 1 : index;
}

int32_t PageSetting::ChoiceIndex(int32_t value) const {
    const int32_t index = rule == FieldRule::ComboDirect ? value - 1 : value;
    return ChoiceValue(index) < 0 ? -1 : index;
}

std::span<const PageSetting> PageSettingTable() {
    return kFields;
}

const PageSetting* FindPageSetting(std::string_view name) {
    for (const PageSetting& field : kFields) {
        if (name == field.name)
            return &field;
    }
    return nullptr;
}

double LengthToDots(double length, double factor, FieldRule rule) {
    const double dots = length * factor;
    return rule == FieldRule::LengthDots ? std::round(dots) : dots;
}
