#pragma once

#include <cstdint>

// What the printer functions take from the printer's configuration: the resolution as last
// read, the sensor mode and the label size a test page is printed on. The main window
// fills it from the stored configuration and, for "Print Test Page", from what the
// configuration page shows.
struct LabelSettings {
    struct Size {
        uint8_t valid; // 1 when a size is given
        float value;   // in dots
    };
    bool ResolutionRead = false;
    float Dpi = 0;
    float DotsPerMm = 0;
    int32_t SensorMode = 0; // 0 gap, 1 black line, 2 continuous
    Size PaperWidth{};
    Size PaperHeight{};
};
