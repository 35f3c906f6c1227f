#pragma once

#include "FirmwareProfile.h"
#include "VirtualPrinter.h"

#include <string>

namespace sim {

// Where the sensor settings live. By default in the sensor module itself; a printer
// whose configuration module already holds them points the view at those fields, so both
// modules see one set of settings.
struct SensorSettingsView {
    int* sensorMode = nullptr; // 0 gap, 1 black mark, 2 continuous
    int* gapIntensity = nullptr;
    int* blackMarkIntensity = nullptr;
    int* continuousIntensity = nullptr;
    int* threshold = nullptr;
    bool* automaticReference = nullptr; // SET SENSOR_REF AUTO / MANUAL
};

// The media sensor: the readings of the gap and black-mark sensors at every intensity
// level over whatever lies under them, the detection commands, and (unless another module
// already answers them) the sensor settings' reports and set-up commands.
class SensorModule : public SimModule {
public:
    enum Mode { GapMode = 0, BlackMarkMode = 1, ContinuousMode = 2 };
    // What lies under the sensor when it is read.
    enum Media { Label, Liner, BlackMark, Nothing };
    static constexpr int kDefaultLevels = 16;

    SensorModule();
    void Install(VirtualPrinter& printer) override;
    // The measuring state, and the settings when the module holds them itself.
    void Reset() override;

    // Reading of the gap (transmissive) or black-mark (reflective) sensor at a level.
    int GapReading(Media media, int level) const;
    int BlackMarkReading(Media media, int level) const;

    // Points the settings at fields held elsewhere.
    void UseSettings(const SensorSettingsView& view) { settings_ = view; }
    int& SensorMode() { return *settings_.sensorMode; }
    int& IntensityOf(int mode);
    int& Threshold() { return *settings_.threshold; }
    bool& AutomaticReference() { return *settings_.automaticReference; }

    Media underSensor = Label;
    // The paper loaded, which AUTODETECT finds out.
    int loadedPaper = GapMode;
    // Number of levels the sensor lists report; more than 128 tests the readers' limit.
    int levelCount = kDefaultLevels;
    // Sizes given with the last detection, in dots (0: not given).
    int detectedPaperHeight = 0;
    int detectedGapLength = 0;
    int detections = 0;

private:
    struct OwnSettings {
        int sensorMode = GapMode;
        int gapIntensity = 3;
        int blackMarkIntensity = 3;
        int continuousIntensity = 3;
        int threshold = 128;
        bool automaticReference = true;
    };

    void Detect(int mode, std::string_view arguments);
    void AddSettingCommands(VirtualPrinter& printer);

    OwnSettings own_;
    SensorSettingsView settings_;
};

} // namespace sim
