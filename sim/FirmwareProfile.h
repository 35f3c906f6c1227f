#pragma once

#include <string>

namespace sim {

// What kind of printer the virtual printer pretends to be: its firmware edition, which
// decides the configuration keys it knows, its resolution and its fixed information.
//
// Keys by edition: every edition answers the main configuration keys; editions from 1
// also REPRINT, SHIFTX, SHIFTXBASE and EDITION (edition 0 is firmware older than those
// keys); from 100 the Z and D emulation keys; from 102 CUTCOUNTER and MAXLENGTH; from 103
// RESETMILAGE, RESETCUTCOUNTER, RIBBONSENSOR, RIBBONENCODER and AUTOTHRESHOLD; from 104
// the sensor THRESHOLD.
struct FirmwareProfile {
    // The edition of the standard printer, new enough for every feature.
    static constexpr int kStandardEdition = 105;
    // The thresholds of the features by edition, for every module of the printer.
    static constexpr int kFirstEditionWithEmulations = 100;
    static constexpr int kLastEditionWithoutPassword = 100;
    static constexpr int kFirstEditionWithCutCounter = 102;
    static constexpr int kFirstEditionWithRibbonKeys = 103;
    static constexpr int kFirstEditionWithThreshold = 104;

    int edition = kStandardEdition;
    int dpi = 203;
    // Dots per millimetre the printer converts with; 0: dpi / 25.4 to one decimal.
    double dotsPerMm = 0.0;
    std::string version;
    std::string checksum = "5A3C91E4";
    std::string milage = "12.5";
    std::string resetMilage = "3.1";
    std::string serial;
    int cutCounter = 41;
    int resetCutCounter = 7;
    int densityBase = 8;
    int offsetBase = 2;
    int shiftBase = 3;
    int shiftXBase = 4;
    // Z print speeds 2, 3, 4, 6 and 8 are reported as the letters A to E.
    bool zSpeedLetters = true;

    // A profile of the edition and resolution with its version and serial texts filled.
    static FirmwareProfile Of(int edition, int dpi = 203);

    double DotsPerMm() const;
    bool KnowsLateCommonKeys() const { return edition >= 1; }
    bool KnowsEmulations() const { return edition >= kFirstEditionWithEmulations; }
    bool KnowsCutCounter() const { return edition >= kFirstEditionWithCutCounter; }
    bool KnowsRibbonKeys() const { return edition >= kFirstEditionWithRibbonKeys; }
    bool KnowsThreshold() const { return edition >= kFirstEditionWithThreshold; }
};

} // namespace sim
