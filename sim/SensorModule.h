#pragma once

#include "VirtualPrinter.h"

#include <string>

namespace sim {

// The media sensor: its mode, intensities and threshold, the readings of the gap and
// black-mark sensors at every intensity level over whatever lies under them, and the
// detection and set-up commands that change the settings.
class SensorModule : public SimModule {
public:
    enum Mode { GapMode = 0, BlackMarkMode = 1, ContinuousMode = 2 };
    // What lies under the sensor when it is read.
    enum Media { Label, Liner, BlackMark, Nothing };
    static constexpr int kFirstEditionWithThreshold = 104;
    static constexpr int kDefaultLevels = 16;

    void Install(VirtualPrinter& printer) override;
    void Reset() override;

    // Reading of the gap (transmissive) or black-mark (reflective) sensor at a level.
    int GapReading(Media media, int level) const;
    int BlackMarkReading(Media media, int level) const;
    int& IntensityOf(int mode);

    int sensorMode = GapMode;
    int gapIntensity = 3;
    int blackMarkIntensity = 3;
    int continuousIntensity = 3;
    int threshold = 128;
    bool automaticReference = true;  // SET SENSOR_REF AUTO / MANUAL
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
    void Detect(int mode, std::string_view arguments);
};

} // namespace sim
