#include "SensorModule.h"

#include "FirmwareModule.h"
#include "SimText.h"

#include <algorithm>
#include <cstdlib>

namespace sim {

namespace {

constexpr int kFullScale = 1023;

int Scaled(int base, int perLevel, int level) {
    return std::min(kFullScale, base + perLevel * level);
}

} // namespace

void SensorModule::Reset() {
    sensorMode = GapMode;
    gapIntensity = 3;
    blackMarkIntensity = 3;
    continuousIntensity = 3;
    threshold = 128;
    automaticReference = true;
    underSensor = Label;
    loadedPaper = GapMode;
    levelCount = kDefaultLevels;
    detectedPaperHeight = 0;
    detectedGapLength = 0;
    detections = 0;
}

int SensorModule::GapReading(Media media, int level) const {
    switch (media) {
    case Liner:  // the backing paper alone lets the most light through
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
        return blackMarkIntensity;
    if (mode == ContinuousMode)
        return continuousIntensity;
    return gapIntensity;
}

void SensorModule::Detect(int mode, std::string_view arguments) {
    sensorMode = mode;
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
        const int b = mode == GapMode ? GapReading(Label, level) : BlackMarkReading(BlackMark, level);
        if (std::abs(a - b) > bestDifference) {
            bestDifference = std::abs(a - b);
            bestLevel = level;
            low = std::min(a, b);
            high = std::max(a, b);
        }
    }
    IntensityOf(mode) = bestLevel;
    threshold = (low + high) / 2;
}

void SensorModule::Install(VirtualPrinter& printer) {
    Reset();
    printer.AddReportKey("SENSORMODE", [this](VirtualPrinter&, std::string& value) {
        value = std::to_string(sensorMode);
        return true;
    });
    printer.AddReportKey("GAPINTEN", [this](VirtualPrinter&, std::string& value) {
        value = std::to_string(gapIntensity);
        return true;
    });
    printer.AddReportKey("BLINEINTEN", [this](VirtualPrinter&, std::string& value) {
        value = std::to_string(blackMarkIntensity);
        return true;
    });
    printer.AddReportKey("CONINTEN", [this](VirtualPrinter&, std::string& value) {
        value = std::to_string(continuousIntensity);
        return true;
    });
    printer.AddReportKey("THRESHOLD", [this](VirtualPrinter& p, std::string& value) {
        if (EditionOf(p) < kFirstEditionWithThreshold)
            return false;
        value = std::to_string(threshold);
        return true;
    });

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

    printer.AddLineHandler("SET SENSOR_REF", [this](VirtualPrinter&, std::string_view line,
                                                    std::string&) {
        const std::string_view which = ArgumentsAfter(line, "SET SENSOR_REF");
        if (which == "AUTO")
            automaticReference = true;
        else if (which == "MANUAL")
            automaticReference = false;
    });
    printer.AddLineHandler("GAPDETECT", [this](VirtualPrinter&, std::string_view line,
                                               std::string&) {
        Detect(GapMode, ArgumentsAfter(line, "GAPDETECT"));
    });
    printer.AddLineHandler("BLINEDETECT", [this](VirtualPrinter&, std::string_view line,
                                                 std::string&) {
        Detect(BlackMarkMode, ArgumentsAfter(line, "BLINEDETECT"));
    });
    printer.AddLineHandler("AUTODETECT", [this](VirtualPrinter&, std::string_view line,
                                                std::string&) {
        Detect(loadedPaper, ArgumentsAfter(line, "AUTODETECT"));
    });
    // GAP m,n and BLINE m,n choose the sensor; a gap of 0,0 means continuous paper.
    printer.AddLineHandler("GAP", [this](VirtualPrinter&, std::string_view line, std::string&) {
        const std::string_view args = ArgumentsAfter(line, "GAP");
        const double size = std::atof(CommaField(args, 0).c_str());
        const double offset = std::atof(CommaField(args, 1).c_str());
        sensorMode = (size == 0 && offset == 0) ? ContinuousMode : GapMode;
    });
    printer.AddLineHandler("BLINE", [this](VirtualPrinter&, std::string_view, std::string&) {
        sensorMode = BlackMarkMode;
    });
    // SET GAP intensity[,threshold] for the sensor in use.
    printer.AddLineHandler("SET GAP", [this](VirtualPrinter&, std::string_view line,
                                             std::string&) {
        const std::string_view args = ArgumentsAfter(line, "SET GAP");
        IntensityOf(sensorMode) = static_cast<int>(LeadingNumber(CommaField(args, 0)));
        const std::string second = CommaField(args, 1);
        if (!second.empty())
            threshold = static_cast<int>(LeadingNumber(second));
    });
}

} // namespace sim
