#include "config/ConfigCommands.h"

#include "config/ConfigReplies.h"
#include "config/ConfigTables.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr std::string_view kZControlStart = "\x10";
constexpr std::string_view kZControlEnd = "\x1eXA\x1eJUS\x1eXZ";
constexpr std::string_view kZFormatStart = "\x1eXA\x1e";
constexpr std::string_view kZFormatEnd = "\x1eJUS\x1eXZ";
constexpr std::string_view kCrLf = "\r\n";

std::string Decimal(int32_t value, const char* format = "%d") {
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// Every real a command carries is finite and below this size: a length divided by a tiny
// resolution becomes infinite or absurd, and such a value is left out instead.
constexpr double kLargestSent = 1e9;

bool Sendable(double value) {
    return std::isfinite(value) && std::fabs(value) < kLargestSent;
}

bool Usable(float value) {
    return Sendable(value);
}

bool UsableDivisor(float divisor) {
    return std::isfinite(divisor) && divisor != 0.0f;
}

float UnitDivisor(const PrinterConfig& config) {
    return config.InchUnit != 0 ? config.Dpi : config.DotsPerMm;
}

// A length in dots in the unit the page was collected in: "%.2f" inch or "%.2f mm";
// empty when the length cannot be sent.
std::string LengthInUnit(float dots, const PrinterConfig& config) {
    const double divisor = UnitDivisor(config);
    if (!Sendable(dots) || !std::isfinite(divisor) || divisor == 0.0 || !Sendable(dots / divisor))
        return {};
    return FormatFixed(dots / divisor, 2) + (config.InchUnit != 0 ? "" : " mm");
}

const char* OnOff(int32_t value) {
    return value != 0 ? "ON" : "OFF";
}

// Dots in hundredths of an inch, to the nearest (halves upwards, negative lengths
// too); false without a usable resolution. The product is taken wide so that large
// lengths do not wrap.
bool HundredthsOfInch(int32_t dots, float dpi, int32_t& hundredths) {
    if (!UsableDivisor(dpi))
        return false;
    const double value =
        std::floor(static_cast<double>(static_cast<int64_t>(dots) * 100) / dpi + 0.5);
    if (!std::isfinite(value))
        return false;
    constexpr double kLow = std::numeric_limits<int32_t>::min();
    constexpr double kHigh = std::numeric_limits<int32_t>::max();
    hundredths = static_cast<int32_t>(value < kLow ? kLow : value > kHigh ? kHigh : value);
    return true;
}

std::string PostPrintText(const PrinterConfig& config) {
    switch (config.PrintOut.value) {
    case 0:
        return "SET TEAR OFF\r\nSET PEEL OFF\r\nSET CUTTER OFF\r\n";
    case 1:
        return "SET TEAR ON\r\nSET PEEL OFF\r\nSET CUTTER OFF\r\n";
    case 2:
        return "SET TEAR OFF\r\nSET PEEL ON\r\nSET CUTTER OFF\r\n";
    case 3: {
        const int32_t pieces = config.CutterPiece.valid == 1 && config.CutterPiece.value != 0
                                   ? config.CutterPiece.value
                                   : 1;
        return "SET TEAR OFF\r\nSET PEEL OFF\r\nSET CUTTER " + Decimal(pieces) + "\r\n";
    }
    default:
        return {};
    }
}

std::string SensorText(const PrinterConfig& config) {
    const int32_t mode = config.SensorMode.value;
    if (mode == 2)
        return "GAP 0,0\r\n";
    if (mode != 0 && mode != 1)
        return {};
    if (config.GapSize.valid != 1 || config.GapOffset.valid != 1)
        return {};
    const std::string size = LengthInUnit(config.GapSize.value, config);
    const std::string offset = LengthInUnit(config.GapOffset.value, config);
    if (size.empty() || offset.empty())
        return {};
    return std::string(mode == 0 ? "GAP " : "BLINE ") + size + "," + offset + "\r\n";
}

void AddCommon(const PrinterConfig& c, std::vector<std::string>& texts) {
    if (c.Speed.valid == 1 && Usable(c.Speed.value))
        texts.push_back("SPEED " + FormatFixed(c.Speed.value, 1) + "\r\n");
    if (c.Density.valid == 1)
        texts.push_back("DENSITY " + Decimal(c.Density.value) + "\r\n");
    if (c.PaperWidth.valid == 1 && c.PaperHeight.valid == 1) {
        const std::string width = LengthInUnit(c.PaperWidth.value, c);
        const std::string height = LengthInUnit(c.PaperHeight.value, c);
        if (!width.empty() && !height.empty())
            texts.push_back("SIZE " + width + "," + height + "\r\n");
    }
    if (c.SensorMode.valid == 1) {
        if (std::string text = SensorText(c); !text.empty())
            texts.push_back(std::move(text));
    }
    if (c.PrintOut.valid == 1) {
        if (std::string text = PostPrintText(c); !text.empty())
            texts.push_back(std::move(text));
    }
    if (c.ReferenceX.valid == 1 && c.ReferenceY.valid == 1)
        texts.push_back("REFERENCE " + Decimal(c.ReferenceX.value) + "," +
                        Decimal(c.ReferenceY.value) + "\r\n");
    if (c.Direction.valid == 1) {
        if (c.Mirror.valid == 1)
            texts.push_back("DIRECTION " + Decimal(c.Direction.value) + "," +
                            Decimal(c.Mirror.value) + "\r\n");
        else
            texts.push_back("DIRECTION " + Decimal(c.Direction.value) + "\r\n");
    }
    if (c.Offset.valid == 1)
        texts.push_back("OFFSET " + Decimal(c.Offset.value) + " dot\r\n");
    if (c.ShiftX.valid == 1 || c.Shift.valid == 1) {
        const int32_t x = c.ShiftX.valid == 1 ? c.ShiftX.value : 0;
        const int32_t y = c.Shift.valid == 1 ? c.Shift.value : 0;
        if (c.ShiftX.valid == 1)
            texts.push_back("SHIFT " + Decimal(x) + "," + Decimal(y) + "\r\n");
        else
            texts.push_back("SHIFT " + Decimal(y) + "\r\n");
    }
    if (c.Ribbon.valid == 1)
        texts.push_back(std::string("SET RIBBON ") + OnOff(c.Ribbon.value) + "\r\n");
    if (c.RibbonSensor.valid == 1)
        texts.push_back(std::string("SET RIBBONEND ") + OnOff(c.RibbonSensor.value) + "\r\n");
    if (c.RibbonEncoder.valid == 1)
        texts.push_back(std::string("SET ENCODER ") + OnOff(c.RibbonEncoder.value) + "\r\n");
    if (c.CodePage.valid == 1) {
        if (const char* entry = ConfigTableEntry(kCodePageTable, c.CodePage.value))
            texts.push_back(std::string("CODEPAGE ") + entry + "\r\n");
    }
    if (c.Country.valid == 1) {
        if (const char* entry = ConfigTableEntry(kCountryCodeTable, c.Country.value))
            texts.push_back(std::string("COUNTRY ") + entry + "\r\n");
    }
    if (c.Head.valid == 1)
        texts.push_back(std::string("SET HEAD ") + OnOff(c.Head.value) + "\r\n");
    if (c.Reprint.valid == 1)
        texts.push_back(std::string("SET REPRINT ") + OnOff(c.Reprint.value) + "\r\n");
    if (c.MaxLength.valid == 1 && Usable(c.MaxLength.value))
        texts.push_back("LIMITFEED " + FormatFixed(c.MaxLength.value, 2) + " dot\r\n");

    // The intensity of the sensor in use goes out whatever the flags say.
    switch (c.SensorMode.value) {
    case 0:
        texts.push_back("SET GAP " + Decimal(c.GapInten.value) + "\r\n");
        break;
    case 1:
        texts.push_back("SET GAP " + Decimal(c.BlineInten.value) + "\r\n");
        break;
    case 2:
        texts.push_back("SET GAP " + Decimal(c.ConInten.value) + "\r\n");
        break;
    default:
        break;
    }
    if (c.AutoThreshold.valid == 1)
        texts.push_back(c.AutoThreshold.value != 0 ? "SET SENSOR_REF AUTO\r\n"
                                                   : "SET SENSOR_REF MANUAL\r\n");
}

char LetterOf(std::string_view letters, int32_t code) {
    if (code < 1 || code > static_cast<int32_t>(letters.size()))
        return '\0';
    return letters[static_cast<size_t>(code - 1)];
}

void AddZ(const PrinterConfig& c, std::vector<std::string>& texts) {
    if (c.ZDarkness.valid == 1)
        texts.push_back(ZControlEnvelope("SD" + Decimal(c.ZDarkness.value)));
    if (c.ZSpeed.valid == 1)
        texts.push_back(ZFormatEnvelope("PR" + Decimal(c.ZSpeed.value)));
    if (c.ZPosition.valid == 1)
        texts.push_back(ZControlEnvelope("TA" + Decimal(c.ZPosition.value, "%03d")));
    if (c.ZPrintMode.valid == 1) {
        if (const char letter = LetterOf("TPC", c.ZPrintMode.value))
            texts.push_back(ZFormatEnvelope(std::string("MM") + letter));
    }
    if (c.ZLabelWidth.valid == 1)
        texts.push_back(ZFormatEnvelope("PW" + Decimal(c.ZLabelWidth.value)));
    if (c.ZControl.valid == 1 && c.ZControl.value != '\0')
        texts.push_back(ZControlEnvelope(std::string("CT") + c.ZControl.value));
    if (c.ZFormat.valid == 1 && c.ZFormat.value != '\0')
        texts.push_back(ZControlEnvelope(std::string("CC") + c.ZFormat.value));
    if (c.ZDelimiter.valid == 1 && c.ZDelimiter.value != '\0')
        texts.push_back(ZControlEnvelope(std::string("CD") + c.ZDelimiter.value));
    if (c.ZFeedPowerUp.valid == 1) {
        if (const char letter = LetterOf("FCLN", c.ZFeedPowerUp.value))
            texts.push_back(ZFormatEnvelope(std::string("MF") + letter));
    }
    // The delimiter character goes in whatever its own flag says.
    if (c.ZFeedHeadClose.valid == 1 && c.ZDelimiter.value != '\0') {
        if (const char letter = LetterOf("FCLN", c.ZFeedHeadClose.value))
            texts.push_back(ZFormatEnvelope(std::string("MF") + c.ZDelimiter.value + letter));
    }
    if (c.ZLabelTop.valid == 1)
        texts.push_back(ZFormatEnvelope("LT" + Decimal(c.ZLabelTop.value)));
    if (c.ZLabelShift.valid == 1)
        texts.push_back(ZFormatEnvelope("LS" + Decimal(c.ZLabelShift.value)));
}

std::string DLabelText(const PrinterConfig& c) {
    std::string text;
    int32_t hundredths = 0;
    if (c.DLabelWidth.valid == 1 && HundredthsOfInch(c.DLabelWidth.value, c.Dpi, hundredths))
        text += "LW" + Decimal(hundredths, "%04d") + ";";
    if (c.DPresentSensor.valid == 1 && (c.DPresentSensor.value == 1 || c.DPresentSensor.value == 2))
        text += std::string("PS") + (c.DPresentSensor.value == 2 ? 'Y' : 'N') + ";";
    if (c.DCutterEquipped.valid == 1 &&
        (c.DCutterEquipped.value == 1 || c.DCutterEquipped.value == 2))
        text += std::string("CE") + (c.DCutterEquipped.value == 2 ? 'Y' : 'N') + ";";
    if (c.DControlCodes.valid == 1) {
        if (const char letter = LetterOf("S12", c.DControlCodes.value))
            text += std::string("CC") + letter + ";";
    }
    if (c.DColumnOffset.valid == 1 && HundredthsOfInch(c.DColumnOffset.value, c.Dpi, hundredths))
        text += "CO" + Decimal(hundredths, "%04d") + ";";
    if (c.DRowOffset.valid == 1 && HundredthsOfInch(c.DRowOffset.value, c.Dpi, hundredths))
        text += "RO" + Decimal(hundredths, "%04d") + ";";
    return text;
}

void AddD(const PrinterConfig& c, std::vector<std::string>& texts) {
    if (c.DHeat.valid == 1)
        texts.push_back(DTripleText("KZH" + Decimal(c.DHeat.value, "%02d")));
    if (c.DSpeed.valid == 1)
        texts.push_back(DTripleText(std::string("KZP") + DSpeedLetter(c.DSpeed.value)));
    if (const std::string label = DLabelText(c); !label.empty())
        texts.push_back(DTripleText("Kc" + label));
}

void AddInterface(const PrinterConfig& c, std::vector<std::string>& texts) {
    if (c.BaudRate.valid != 1 || c.DataBit.valid != 1 || c.Parity.valid != 1 ||
        c.StopBit.valid != 1)
        return;
    const char* baud = ConfigTableEntry(kBaudCodeTable, c.BaudRate.value);
    const char* parity = ConfigTableEntry(kParityTable, c.Parity.value);
    const char* dataBits = ConfigTableEntry(kDataBitsTable, c.DataBit.value);
    const char* stopBits = ConfigTableEntry(kStopBitsTable, c.StopBit.value);
    if (!baud || !parity || !dataBits || !stopBits)
        return;
    texts.push_back(std::string("SET COM1 ") + baud + "," + parity[0] + "," + dataBits[0] + "," +
                    stopBits[0] + "\r\n");
}

} // namespace

bool RealsSendable(const PrinterConfig& c) {
    const auto plain = [](auto field) { return field.valid != 1 || Sendable(field.value); };
    const auto length = [&c](auto field) {
        return field.valid != 1 || !UsableDivisor(UnitDivisor(c)) ||
               !LengthInUnit(field.value, c).empty();
    };
    return plain(c.Speed) && plain(c.MaxLength) && length(c.PaperWidth) && length(c.PaperHeight) &&
           length(c.GapSize) && length(c.GapOffset);
}

std::string FormatFixed(double value, int decimals) {
    char text[400];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc())
        return {};
    return std::string(text, result.ptr);
}

std::string ZControlEnvelope(std::string_view command) {
    std::string text(kZControlStart);
    text.append(command).append(kZControlEnd).append(kCrLf);
    return text;
}

std::string ZFormatEnvelope(std::string_view command) {
    std::string text(kZFormatStart);
    text.append(command).append(kZFormatEnd).append(kCrLf);
    return text;
}

std::string DTripleText(std::string_view command) {
    std::string text;
    text.append("\x02").append(command).append("\r\r\n");
    text.append("~").append(command).append("\r\r\n");
    text.append("~").append(command).append("|\r\n");
    return text;
}

std::vector<std::string> ConfigCommandTexts(const PrinterConfig& config, int32_t tab) {
    std::vector<std::string> texts;
    switch (tab) {
    case ConfigTabCommon:
        AddCommon(config, texts);
        break;
    case ConfigTabZ:
        AddZ(config, texts);
        break;
    case ConfigTabD:
        AddD(config, texts);
        break;
    case ConfigTabInterface:
        AddInterface(config, texts);
        break;
    default:
        break;
    }
    return texts;
}
