#pragma once

#include <string>

namespace sim {

// The printer's configuration as it holds it: lengths along the paper in dots, switches
// as booleans, emulation settings in the letters it reports.
struct ConfigSettings {
    double speed = 4.0;
    int density = 8;
    double paperWidthDots = 0.0;
    double paperHeightDots = 0.0;
    int sensorMode = 0; // 0 gap, 1 black line, 2 continuous
    double gapSizeDots = 0.0;
    double gapOffsetDots = 0.0;
    int printOut = 1; // 0 off, 1 tear, 2 peel, 3 cutter
    int cutterPiece = 1;
    int referenceX = 0;
    int referenceY = 0;
    int direction = 0;
    int mirror = 0;
    double offsetDots = 0.0;
    int shiftY = 0;
    int shiftX = 0;
    bool ribbon = true;
    bool ribbonSensor = true;
    bool ribbonEncoder = true;
    std::string codePage = "850";
    std::string country = "001";
    bool head = true;
    bool reprint = true;
    double maxLengthDots = 0.0;
    int gapInten = 5;
    int blineInten = 4;
    int conInten = 3;
    int threshold = 0;
    bool autoThreshold = true;

    int zDarkness = 15;
    int zSpeed = 4;
    int zPosition = 0;
    char zPrintMode = 'T';
    int zLabelWidthDots = 0;
    char zControl = '~';
    char zFormat = '^';
    char zDelimiter = ',';
    char zFeedPowerUp = 'C';
    char zFeedHeadClose = 'C';
    int zLabelTop = 0;
    int zLabelShift = 0;

    int dHeat = 10;
    char dSpeed = 'G';
    int dLabelWidthDots = 0;
    bool dPresentSensor = false;
    bool dCutterEquipped = false;
    char dControlCodes = 'S';
    int dColumnOffsetDots = 0;
    int dRowOffsetDots = 0;

    std::string baudRate = "9600";
    std::string parity = "None";
    std::string dataBits = "8";
    std::string stopBits = "1";
};

} // namespace sim
