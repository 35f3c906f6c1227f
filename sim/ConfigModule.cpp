#include "ConfigModule.h"
#include "SimText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace sim {

namespace {

constexpr std::string_view kZControlStart = "\x10";
constexpr std::string_view kZControlEnd = "\x1eXA\x1eJUS\x1eXZ";
constexpr std::string_view kZFormatStart = "\x1eXA\x1e";
constexpr std::string_view kZFormatEnd = "\x1eJUS\x1eXZ";

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(separator, start);
        parts.push_back(
            Trimmed(text.substr(start, at == std::string_view::npos ? at : at - start)));
        if (at == std::string_view::npos)
            return parts;
        start = at + 1;
    }
}

bool ParseInt(std::string_view text, int& value) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

constexpr double kLargestReal = 1e9;

// A leading decimal number; the rest of the text is returned in rest.
bool ParseReal(std::string_view text, double& value, std::string_view* rest = nullptr) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    // No setting takes a billion of anything; larger values are refused like bad text.
    if (error != std::errc() || !std::isfinite(value) || std::fabs(value) > kLargestReal)
        return false;
    if (rest)
        *rest = Trimmed(text.substr(static_cast<size_t>(end - text.data())));
    return true;
}

std::string Number(double value, int decimals) {
    // Room for any double in fixed notation with the few decimals asked for.
    char text[400];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc())
        return "0";
    std::string out(text, result.ptr);
    if (out.find('.') != std::string::npos) {
        while (out.back() == '0')
            out.pop_back();
        if (out.back() == '.')
            out.pop_back();
    }
    return out == "-0" ? "0" : out;
}

bool IsOn(std::string_view argument, bool& on) {
    if (argument == "ON")
        on = true;
    else if (argument == "OFF")
        on = false;
    else
        return false;
    return true;
}

const char* OnOffDigit(bool on) {
    return on ? "1" : "0";
}

} // namespace

ConfigModule::ConfigModule(FirmwareProfile profile)
    : profile_(std::move(profile)), settings_(DefaultsFor(profile_)) {}

ConfigSettings ConfigModule::DefaultsFor(const FirmwareProfile& profile) {
    ConfigSettings s;
    s.paperWidthDots = 4.0 * profile.dpi;
    s.paperHeightDots = 2.5 * profile.dpi;
    s.gapSizeDots = std::round(0.12 * profile.dpi);
    s.gapOffsetDots = 0.0;
    s.maxLengthDots = 10.0 * profile.dpi;
    s.zLabelWidthDots = 4 * profile.dpi;
    s.dLabelWidthDots = 4 * profile.dpi;
    return s;
}

void ConfigModule::Install(VirtualPrinter& printer) {
    printer_ = &printer;
    printer.serialNumber = profile_.serial;
    AddReports(printer);
    AddCommonCommands(printer);
    AddEmulationCommands(printer);
}

void ConfigModule::Reset() {
    settings_ = DefaultsFor(profile_);
    if (printer_)
        printer_->serialNumber = profile_.serial;
}

double ConfigModule::LengthInDots(std::string_view text) const {
    double value = 0.0;
    std::string_view unit;
    if (!ParseReal(text, value, &unit))
        return std::nan("");
    if (unit == "mm")
        return value * profile_.DotsPerMm();
    if (unit == "dot")
        return value;
    if (unit.empty())
        return value * profile_.dpi;
    return std::nan("");
}

int ConfigModule::HundredthsToDots(int hundredths) const {
    const double dots = std::round(static_cast<double>(hundredths) * profile_.dpi / 100.0);
    constexpr double kMost = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(dots, -kMost, kMost));
}

void ConfigModule::AddReports(VirtualPrinter& printer) {
    using Value = std::function<std::string()>;
    auto report = [&](const char* key, bool known, Value value) {
        if (!known)
            return;
        printer.AddReportKey(key, [value = std::move(value)](VirtualPrinter&, std::string& out) {
            out = value();
            return true;
        });
    };
    const FirmwareProfile& p = profile_;
    ConfigSettings& s = settings_;
    auto integer = [](int value) { return std::to_string(value); };
    auto dots = [](double value) { return Number(value, 2); };

    report("DPI", true, [&p] { return std::to_string(p.dpi); });
    report("VERSION", true, [&p] { return p.version; });
    report("MILAGE", true, [&p] { return p.milage; });
    report("CHECKSUM", true, [&p] { return p.checksum; });

    report("SPEED", true, [&s] { return Number(s.speed, 1); });
    report("DENSITY", true, [&s, integer] { return integer(s.density); });
    report("DENSITYBASE", true, [&p, integer] { return integer(p.densityBase); });
    report("PAPERWIDTH", true, [&s, dots] { return dots(s.paperWidthDots); });
    report("PAPERHEIGHT", true, [&s, dots] { return dots(s.paperHeightDots); });
    report("SENSORMODE", true, [&s, integer] { return integer(s.sensorMode); });
    report("GAPSIZE", true, [&s, dots] { return dots(s.gapSizeDots); });
    report("GAPOFFSET", true, [&s, dots] { return dots(s.gapOffsetDots); });
    report("PRINTOUT", true, [&s, integer] { return integer(s.printOut); });
    report("CUTTERPIECE", true, [&s, integer] { return integer(s.cutterPiece); });
    report("REFERENCEX", true, [&s, integer] { return integer(s.referenceX); });
    report("REFERENCEY", true, [&s, integer] { return integer(s.referenceY); });
    // The firmware spells this key so.
    report("DIRCTION", true, [&s, integer] { return integer(s.direction); });
    report("MIRROR", true, [&s, integer] { return integer(s.mirror); });
    report("OFFSET", true, [&s] { return Number(std::round(s.offsetDots), 0); });
    report("OFFSETBASE", true, [&p, integer] { return integer(p.offsetBase); });
    report("SHIFT", true, [&s, integer] { return integer(s.shiftY); });
    report("SHIFTBASE", true, [&p, integer] { return integer(p.shiftBase); });
    report("RIBBON", true, [&s] { return OnOffDigit(s.ribbon); });
    report("CODEPAGE", true, [&s] { return s.codePage; });
    report("COUNTRY", true, [&s] { return s.country; });
    report("HEAD", true, [&s] { return OnOffDigit(s.head); });
    report("GAPINTEN", true, [&s, integer] { return integer(s.gapInten); });
    report("BLINEINTEN", true, [&s, integer] { return integer(s.blineInten); });
    report("CONINTEN", true, [&s, integer] { return integer(s.conInten); });
    report("THRESHOLD", p.KnowsThreshold(), [&s, integer] { return integer(s.threshold); });
    report("BAUDRATE", true, [&s] { return s.baudRate; });
    report("DATABIT", true, [&s] { return s.dataBits; });
    report("PARITY", true, [&s] { return s.parity; });
    report("STOPBIT", true, [&s] { return s.stopBits; });

    const bool late = p.KnowsLateCommonKeys();
    report("REPRINT", late, [&s] { return OnOffDigit(s.reprint); });
    report("SHIFTX", late, [&s, integer] { return integer(s.shiftX); });
    report("SHIFTXBASE", late, [&p, integer] { return integer(p.shiftXBase); });
    report("EDITION", late, [&p, integer] { return integer(p.edition); });

    const bool emulations = p.KnowsEmulations();
    auto letter = [](char c) { return std::string(1, c); };
    report("ZDARKNESS", emulations, [&s, integer] { return integer(s.zDarkness); });
    report("ZSPEED", emulations, [&s, &p, integer] {
        if (p.zSpeedLetters) {
            switch (s.zSpeed) {
            case 2:
                return std::string("A");
            case 3:
                return std::string("B");
            case 4:
                return std::string("C");
            case 6:
                return std::string("D");
            case 8:
                return std::string("E");
            default:
                break;
            }
        }
        return integer(s.zSpeed);
    });
    report("ZPOSITION", emulations, [&s, integer] { return integer(s.zPosition); });
    report("ZPRINTMODE", emulations, [&s, letter] { return letter(s.zPrintMode); });
    report("ZLABELWIDTH", emulations, [&s, integer] { return integer(s.zLabelWidthDots); });
    report("ZCONTROL", emulations, [&s, letter] { return letter(s.zControl); });
    report("ZFORMAT", emulations, [&s, letter] { return letter(s.zFormat); });
    report("ZDELIMITER", emulations, [&s, letter] { return letter(s.zDelimiter); });
    report("ZFEEDPOWERUP", emulations, [&s, letter] { return letter(s.zFeedPowerUp); });
    report("ZFEEDHEADCLOSE", emulations, [&s, letter] { return letter(s.zFeedHeadClose); });
    report("ZLABELTOP", emulations, [&s, integer] { return integer(s.zLabelTop); });
    report("ZLABELSHIFT", emulations, [&s, integer] { return integer(s.zLabelShift); });
    report("DHEAT", emulations, [&s, integer] { return integer(s.dHeat); });
    report("DSPEED", emulations, [&s, letter] { return letter(s.dSpeed); });
    report("DLABELWIDTH", emulations, [&s, integer] { return integer(s.dLabelWidthDots); });
    report("DPRESENTSENSOR", emulations, [&s] { return s.dPresentSensor ? "E" : "N"; });
    report("DCUTTEREQUIPPED", emulations, [&s] { return s.dCutterEquipped ? "E" : "N"; });
    report("DCONTROLCODES", emulations, [&s, letter] { return letter(s.dControlCodes); });
    report("DCOLUMNOFFSET", emulations, [&s, integer] { return integer(s.dColumnOffsetDots); });
    report("DROWOFFSET", emulations, [&s, integer] { return integer(s.dRowOffsetDots); });

    report("CUTCOUNTER", p.KnowsCutCounter(), [&p, integer] { return integer(p.cutCounter); });
    report("MAXLENGTH", p.KnowsCutCounter(), [&s, dots] { return dots(s.maxLengthDots); });

    const bool ribbonKeys = p.KnowsRibbonKeys();
    report("RESETMILAGE", ribbonKeys, [&p] { return p.resetMilage; });
    report("RESETCUTCOUNTER", ribbonKeys, [&p, integer] { return integer(p.resetCutCounter); });
    report("RIBBONSENSOR", ribbonKeys, [&s] { return OnOffDigit(s.ribbonSensor); });
    report("RIBBONENCODER", ribbonKeys, [&s] { return OnOffDigit(s.ribbonEncoder); });
    report("AUTOTHRESHOLD", ribbonKeys, [&s] { return OnOffDigit(s.autoThreshold); });
}

void ConfigModule::AddCommonCommands(VirtualPrinter& printer) {
    // In this order: a handler of a shorter name never sees a longer name's line.
    AddMediaCommands(printer);
    AddPrintOutCommands(printer);
    AddPlacementCommands(printer);
    AddSettingCommands(printer);
    AddSensorCommands(printer);
    AddSerialCommand(printer);
}

void ConfigModule::AddCommand(VirtualPrinter& printer, std::string name, Apply apply) {
    const size_t length = name.size();
    printer.AddLineHandler(
        std::move(name),
        [length, apply = std::move(apply)](VirtualPrinter&, std::string_view line, std::string&) {
            // "SET RIBBON" must not take "SET RIBBONX ON".
            if (line.size() > length && line[length] != ' ')
                return;
            apply(Trimmed(line.substr(length)));
        });
}

void ConfigModule::AddSwitch(VirtualPrinter& printer, std::string name, bool& target) {
    AddCommand(printer, std::move(name),
               [&target](std::string_view argument) { IsOn(argument, target); });
}

bool ConfigModule::LengthPair(std::string_view argument, double& first, double& second) const {
    const std::vector<std::string_view> parts = Split(argument, ',');
    if (parts.size() != 2)
        return false;
    const double a = LengthInDots(parts[0]);
    const double b = LengthInDots(parts[1]);
    if (std::isnan(a) || std::isnan(b))
        return false;
    first = a;
    second = b;
    return true;
}

// Speed, density, the label size and the gap or black line.
void ConfigModule::AddMediaCommands(VirtualPrinter& printer) {
    ConfigSettings& s = settings_;
    AddCommand(printer, "SPEED", [&s](std::string_view argument) {
        double value = 0.0;
        std::string_view rest;
        if (ParseReal(argument, value, &rest) && rest.empty())
            s.speed = value;
    });
    AddCommand(printer, "DENSITY",
               [&s](std::string_view argument) { ParseInt(argument, s.density); });
    AddCommand(printer, "SIZE", [this, &s](std::string_view argument) {
        LengthPair(argument, s.paperWidthDots, s.paperHeightDots);
    });
    AddCommand(printer, "GAP", [this, &s](std::string_view argument) {
        double size = 0.0;
        double offset = 0.0;
        if (!LengthPair(argument, size, offset))
            return;
        if (size == 0.0 && offset == 0.0) {
            s.sensorMode = 2;
            return;
        }
        s.sensorMode = 0;
        s.gapSizeDots = size;
        s.gapOffsetDots = offset;
    });
    AddCommand(printer, "BLINE", [this, &s](std::string_view argument) {
        double size = 0.0;
        double offset = 0.0;
        if (!LengthPair(argument, size, offset))
            return;
        s.sensorMode = 1;
        s.gapSizeDots = size;
        s.gapOffsetDots = offset;
    });
}

// Tear-off, peeler and cutter.
void ConfigModule::AddPrintOutCommands(VirtualPrinter& printer) {
    ConfigSettings& s = settings_;
    AddCommand(printer, "SET TEAR", [&s](std::string_view argument) {
        bool on = false;
        if (!IsOn(argument, on))
            return;
        if (on)
            s.printOut = 1;
        else if (s.printOut == 1)
            s.printOut = 0;
    });
    AddCommand(printer, "SET PEEL", [&s](std::string_view argument) {
        bool on = false;
        if (!IsOn(argument, on))
            return;
        if (on)
            s.printOut = 2;
        else if (s.printOut == 2)
            s.printOut = 0;
    });
    AddCommand(printer, "SET CUTTER", [&s](std::string_view argument) {
        int pieces = 0;
        if (argument == "OFF") {
            if (s.printOut == 3)
                s.printOut = 0;
        } else if (ParseInt(argument, pieces) && pieces > 0) {
            s.printOut = 3;
            s.cutterPiece = pieces;
        }
    });
}

// Where and which way round the label prints.
void ConfigModule::AddPlacementCommands(VirtualPrinter& printer) {
    ConfigSettings& s = settings_;
    AddCommand(printer, "REFERENCE", [&s](std::string_view argument) {
        const std::vector<std::string_view> parts = Split(argument, ',');
        int x = 0;
        int y = 0;
        if (parts.size() == 2 && ParseInt(parts[0], x) && ParseInt(parts[1], y)) {
            s.referenceX = x;
            s.referenceY = y;
        }
    });
    AddCommand(printer, "DIRECTION", [&s](std::string_view argument) {
        const std::vector<std::string_view> parts = Split(argument, ',');
        int direction = 0;
        int mirror = 0;
        if (parts.empty() || parts.size() > 2 || !ParseInt(parts[0], direction))
            return;
        if (parts.size() == 2 && !ParseInt(parts[1], mirror))
            return;
        s.direction = direction;
        if (parts.size() == 2)
            s.mirror = mirror;
    });
    AddCommand(printer, "OFFSET", [this, &s](std::string_view argument) {
        const double dots = LengthInDots(argument);
        if (!std::isnan(dots))
            s.offsetDots = dots;
    });
    AddCommand(printer, "SHIFT", [&s](std::string_view argument) {
        const std::vector<std::string_view> parts = Split(argument, ',');
        int x = 0;
        int y = 0;
        if (parts.size() == 1 && ParseInt(parts[0], y)) {
            s.shiftY = y;
        } else if (parts.size() == 2 && ParseInt(parts[0], x) && ParseInt(parts[1], y)) {
            s.shiftX = x;
            s.shiftY = y;
        }
    });
}

// The switches, the code page and country, the feed limit.
void ConfigModule::AddSettingCommands(VirtualPrinter& printer) {
    ConfigSettings& s = settings_;
    AddSwitch(printer, "SET RIBBON", s.ribbon);
    AddSwitch(printer, "SET RIBBONEND", s.ribbonSensor);
    AddSwitch(printer, "SET ENCODER", s.ribbonEncoder);
    AddSwitch(printer, "SET HEAD", s.head);
    AddSwitch(printer, "SET REPRINT", s.reprint);
    AddCommand(printer, "CODEPAGE", [&s](std::string_view argument) {
        if (!argument.empty())
            s.codePage = std::string(argument);
    });
    AddCommand(printer, "COUNTRY", [&s](std::string_view argument) {
        if (!argument.empty())
            s.country = std::string(argument);
    });
    AddCommand(printer, "LIMITFEED", [this, &s](std::string_view argument) {
        const double dots = LengthInDots(argument);
        if (!std::isnan(dots))
            s.maxLengthDots = dots;
    });
}

// The sensor in use: its intensity and threshold.
void ConfigModule::AddSensorCommands(VirtualPrinter& printer) {
    ConfigSettings& s = settings_;
    // The intensity (and optionally the threshold) of the sensor now in use.
    AddCommand(printer, "SET GAP", [&s](std::string_view argument) {
        const std::vector<std::string_view> parts = Split(argument, ',');
        int intensity = 0;
        int threshold = 0;
        if (parts.empty() || parts.size() > 2 || !ParseInt(parts[0], intensity))
            return;
        if (parts.size() == 2 && !ParseInt(parts[1], threshold))
            return;
        int& target = s.sensorMode == 1   ? s.blineInten
                      : s.sensorMode == 2 ? s.conInten
                                          : s.gapInten;
        target = intensity;
        if (parts.size() == 2)
            s.threshold = threshold;
    });
    AddCommand(printer, "SET SENSOR_REF", [&s](std::string_view argument) {
        if (argument == "AUTO")
            s.autoThreshold = true;
        else if (argument == "MANUAL")
            s.autoThreshold = false;
    });
}

// The serial port's settings.
void ConfigModule::AddSerialCommand(VirtualPrinter& printer) {
    ConfigSettings& s = settings_;
    AddCommand(printer, "SET COM1", [&s](std::string_view argument) {
        static const char* const kRates[][2] = {
            {"12", "1200"},  {"24", "2400"},  {"48", "4800"},  {"96", "9600"},
            {"19", "19200"}, {"38", "38400"}, {"56", "57600"}, {"115", "115200"},
        };
        const std::vector<std::string_view> parts = Split(argument, ',');
        if (parts.size() != 4)
            return;
        const char* rate = nullptr;
        for (const auto& entry : kRates) {
            if (parts[0] == entry[0])
                rate = entry[1];
        }
        const std::string_view parity = parts[1];
        const std::string_view data = parts[2];
        const std::string_view stop = parts[3];
        if (!rate || (parity != "N" && parity != "O" && parity != "E") ||
            (data != "7" && data != "8") || (stop != "1" && stop != "2"))
            return;
        s.baudRate = rate;
        s.parity = parity == "N" ? "None" : parity == "O" ? "Odd" : "Even";
        s.dataBits = std::string(data);
        s.stopBits = std::string(stop);
    });
}

void ConfigModule::AddEmulationCommands(VirtualPrinter& printer) {
    printer.AddLineHandler(std::string(kZControlStart),
                           [this](VirtualPrinter&, std::string_view line, std::string&) {
                               line.remove_prefix(kZControlStart.size());
                               if (line.size() >= kZControlEnd.size() &&
                                   line.substr(line.size() - kZControlEnd.size()) == kZControlEnd)
                                   ApplyZ(line.substr(0, line.size() - kZControlEnd.size()));
                           });
    printer.AddLineHandler(std::string(kZFormatStart),
                           [this](VirtualPrinter&, std::string_view line, std::string&) {
                               line.remove_prefix(kZFormatStart.size());
                               if (line.size() >= kZFormatEnd.size() &&
                                   line.substr(line.size() - kZFormatEnd.size()) == kZFormatEnd)
                                   ApplyZ(line.substr(0, line.size() - kZFormatEnd.size()));
                           });
    // The D commands come once for each control-code set: STX, "~" with CR, "~" with "|".
    auto d = [this](VirtualPrinter&, std::string_view line, std::string&) {
        line.remove_prefix(1);
        if (!line.empty() && (line.back() == '|' || line.back() == '\r'))
            line.remove_suffix(1);
        ApplyD(line);
    };
    printer.AddLineHandler("\x02K", d);
    printer.AddLineHandler("~K", d);
}

void ConfigModule::ApplyZ(std::string_view command) {
    if (command.size() < 2)
        return;
    ConfigSettings& s = settings_;
    const std::string_view name = command.substr(0, 2);
    const std::string_view argument = command.substr(2);
    int value = 0;
    auto isFeed = [](char c) { return c == 'F' || c == 'C' || c == 'L' || c == 'N'; };
    if (name == "SD" && ParseInt(argument, value)) {
        s.zDarkness = value;
    } else if (name == "PR" && ParseInt(argument, value)) {
        s.zSpeed = value;
    } else if (name == "TA" && ParseInt(argument, value)) {
        s.zPosition = value;
    } else if (name == "MM" && argument.size() == 1 &&
               argument.find_first_of("TPRACD") != std::string_view::npos) {
        s.zPrintMode = argument[0];
    } else if (name == "PW" && ParseInt(argument, value)) {
        s.zLabelWidthDots = value;
    } else if (name == "CT" && argument.size() == 1) {
        s.zControl = argument[0];
    } else if (name == "CC" && argument.size() == 1) {
        s.zFormat = argument[0];
    } else if (name == "CD" && argument.size() == 1) {
        s.zDelimiter = argument[0];
    } else if (name == "MF") {
        // MFa, MFa<delimiter>b or MF<delimiter>b.
        std::string_view rest = argument;
        if (!rest.empty() && isFeed(rest[0])) {
            s.zFeedPowerUp = rest[0];
            rest.remove_prefix(1);
        }
        if (rest.size() == 2 && isFeed(rest[1]))
            s.zFeedHeadClose = rest[1];
    } else if (name == "LT" && ParseInt(argument, value)) {
        s.zLabelTop = value;
    } else if (name == "LS" && ParseInt(argument, value)) {
        s.zLabelShift = value;
    }
}

void ConfigModule::ApplyD(std::string_view command) {
    ConfigSettings& s = settings_;
    int value = 0;
    if (command.substr(0, 3) == "KZH" && ParseInt(command.substr(3), value)) {
        s.dHeat = value;
    } else if (command.substr(0, 3) == "KZP" && command.size() == 4) {
        const char letter = command[3];
        if ((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'e'))
            s.dSpeed = letter;
    } else if (command.substr(0, 2) == "Kc") {
        ApplyDLabel(command.substr(2));
    }
}

void ConfigModule::ApplyDLabel(std::string_view pieces) {
    ConfigSettings& s = settings_;
    for (std::string_view piece : Split(pieces, ';')) {
        if (piece.size() < 3)
            continue;
        const std::string_view name = piece.substr(0, 2);
        const std::string_view argument = piece.substr(2);
        int value = 0;
        if (name == "LW" && ParseInt(argument, value)) {
            s.dLabelWidthDots = HundredthsToDots(value);
        } else if (name == "CO" && ParseInt(argument, value)) {
            s.dColumnOffsetDots = HundredthsToDots(value);
        } else if (name == "RO" && ParseInt(argument, value)) {
            s.dRowOffsetDots = HundredthsToDots(value);
        } else if ((name == "PS" || name == "CE") && (argument == "Y" || argument == "N")) {
            (name == "PS" ? s.dPresentSensor : s.dCutterEquipped) = argument == "Y";
        } else if (name == "CC" && (argument == "S" || argument == "1" || argument == "2")) {
            s.dControlCodes = argument[0];
        }
    }
}

} // namespace sim
