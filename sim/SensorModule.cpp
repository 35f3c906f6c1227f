#include "SensorModule.h"

#include "FirmwareModule.h"
#include "SimText.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>

namespace sim {

namespace {

constexpr int kFullScale = 1023;

int Scaled(int base, int perLevel, int level) {
    return static_cast<int>(
        std::clamp<int64_t>(int64_t{base} + int64_t{perLevel} * level, 0, kFullScale));
}

} // namespace

SensorModule::SensorModule() {
    settings_ = {&own_.sensorMode,          &own_.gapIntensity, &own_.blackMarkIntensity,
                 &own_.continuousIntensity, &own_.threshold,    &own_.automaticReference};
}

void SensorModule::Reset() {
    own_ = OwnSettings{};
    underSensor = Label;
    loadedPaper = GapMode;
    levelCount = kDefaultLevels;
    detectedPaperHeight = 0;
    detectedGapLength = 0;
    detections = 0;
}

int SensorModule::GapReading(Media media, int level) const {
    switch (media) {
    case Liner: // the backing paper alone lets the most light through
        return Scaled(40, 60, level);
    case Label:
    case BlackMark:
        return Scaled(20, 25, level);
    case Nothing:
        break;
    }
    return kFullScale;
}

int SensorModule::BlackMarkReading(Media media, int level) const {
    switch (media) {
    case BlackMark:
        return Scaled(30, 5, level);
    case Label:
        return Scaled(60, 45, level);
    case Liner:
        return Scaled(50, 40, level);
    case Nothing:
        break;
    }
    return 10;
}

int& SensorModule::IntensityOf(int mode) {
    if (mode == BlackMarkMode)
        return *settings_.blackMarkIntensity;
    if (mode == ContinuousMode)
        return *settings_.continuousIntensity;
    return *settings_.gapIntensity;
}

void SensorModule::Detect(int mode, std::string_view arguments) {
    SensorMode() = mode;
    ++detections;
    detectedPaperHeight = static_cast<int>(LeadingNumber(CommaField(arguments, 0)));
    detectedGapLength = static_cast<int>(LeadingNumber(CommaField(arguments, 1)));
    if (mode == ContinuousMode)
        return;
    // The level that tells the two media apart best, the threshold halfway between them.
    int bestLevel = 0;
    int bestDifference = -1;
    int low = 0;
    int high = 0;
    for (int level = 0; level < kDefaultLevels; ++level) {
        const int a = mode == GapMode ? GapReading(Liner, level) : BlackMarkReading(Label, level);
        const int b =
            mode == GapMode ? GapReading(Label, level) : BlackMarkReading(BlackMark, level);
        if (std::abs(a - b) > bestDifference) {
            bestDifference = std::abs(a - b);
            bestLevel = level;
            low = std::min(a, b);
            high = std::max(a, b);
        }
    }
    IntensityOf(mode) = bestLevel;
    Threshold() = (low + high) / 2;
}

void SensorModule::Install(VirtualPrinter& printer) {
    Reset();
    // A configuration module installed before answers the settings itself.
    if (!printer.HasReportKey("SENSORMODE"))
        AddSettingCommands(printer);

    // The readings at every level, one frame each, and an empty frame at the end.
    const auto list = [this](bool blackMarkSensor) {
        return [this, blackMarkSensor](VirtualPrinter&, std::string_view, std::string& reply) {
            for (int level = 0; level < levelCount; ++level) {
                const int value = blackMarkSensor ? BlackMarkReading(underSensor, level % 16)
                                                  : GapReading(underSensor, level % 16);
                reply += VirtualPrinter::Frame(std::to_string(value));
            }
            reply += VirtualPrinter::Frame("");
        };
    };
    printer.AddLineHandler("DIAGNOSTIC REPORT GAPSENSOR", list(false));
    printer.AddLineHandler("DIAGNOSTIC REPORT BLINESENSOR", list(true));

    printer.AddLineHandler("GAPDETECT",
                           [this](VirtualPrinter&, std::string_view line, std::string&) {
                               Detect(GapMode, ArgumentsAfter(line, "GAPDETECT"));
                           });
    printer.AddLineHandler("BLINEDETECT",
                           [this](VirtualPrinter&, std::string_view line, std::string&) {
                               Detect(BlackMarkMode, ArgumentsAfter(line, "BLINEDETECT"));
                           });
    printer.AddLineHandler("AUTODETECT",
                           [this](VirtualPrinter&, std::string_view line, std::string&) {
                               Detect(loadedPaper, ArgumentsAfter(line, "AUTODETECT"));
                           });
}

void SensorModule::AddSettingCommands(VirtualPrinter& printer) {
    const auto number = [&printer](const char* key, std::function<int()> value) {
        printer.AddReportKey(key, [value](VirtualPrinter&, std::string& out) {
            out = std::to_string(value());
            return true;
        });
    };
    number("SENSORMODE", [this] { return SensorMode(); });
    number("GAPINTEN", [this] { return IntensityOf(GapMode); });
    number("BLINEINTEN", [this] { return IntensityOf(BlackMarkMode); });
    number("CONINTEN", [this] { return IntensityOf(ContinuousMode); });
    printer.AddReportKey("THRESHOLD", [this](VirtualPrinter& p, std::string& value) {
        if (EditionOf(p) < FirmwareProfile::kFirstEditionWithThreshold)
            return false;
        value = std::to_string(Threshold());
        return true;
    });

    printer.AddLineHandler(
        "SET SENSOR_REF", [this](VirtualPrinter&, std::string_view line, std::string&) {
            const std::string_view which = ArgumentsAfter(line, "SET SENSOR_REF");
            if (which == "AUTO")
                AutomaticReference() = true;
            else if (which == "MANUAL")
                AutomaticReference() = false;
        });
    // GAP m,n and BLINE m,n choose the sensor; a gap of 0,0 means continuous paper.
    printer.AddLineHandler("GAP", [this](VirtualPrinter&, std::string_view line, std::string&) {
        const std::string_view args = ArgumentsAfter(line, "GAP");
        const double size = std::atof(CommaField(args, 0).c_str());
        const double offset = std::atof(CommaField(args, 1).c_str());
        SensorMode() = (size == 0 && offset == 0) ? ContinuousMode : GapMode;
    });
    printer.AddLineHandler("BLINE", [this](VirtualPrinter&, std::string_view, std::string&) {
        SensorMode() = BlackMarkMode;
    });
    // SET GAP intensity[,threshold] for the sensor in use.
    printer.AddLineHandler("SET GAP", [this](VirtualPrinter&, std::string_view line, std::string&) {
        const std::string_view args = ArgumentsAfter(line, "SET GAP");
        IntensityOf(SensorMode()) = static_cast<int>(LeadingNumber(CommaField(args, 0)));
        const std::string second = CommaField(args, 1);
        if (!second.empty())
            Threshold() = static_cast<int>(LeadingNumber(second));
    });
}

} // namespace sim
