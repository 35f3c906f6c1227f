#pragma once

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)

// An optional setting: valid is 1 when value means something, 0 when the setting is
// absent and is not to be sent.
struct ConfigInt {
    uint8_t valid;
    int32_t value;
};

struct ConfigFloat {
    uint8_t valid;
    float value;
};

struct ConfigChar {
    uint8_t valid;
    char value;
};

// Gives an item a value and marks it valid.
inline void SetItem(ConfigInt& item, int32_t value) {
    item.valid = 1;
    item.value = value;
}
inline void SetItem(ConfigFloat& item, float value) {
    item.valid = 1;
    item.value = value;
}
inline void SetItem(ConfigChar& item, char value) {
    item.valid = 1;
    item.value = value;
}

// A printer's configuration as read, shown, written and stored in .dcf files. The
// layout is part of the file format: packed, little-endian, texts NUL-terminated.
// Lengths along the paper are in printer dots. Index fields refer to the tables of
// ConfigTables.h; an index equal to a table's length means "not in the table".
struct PrinterConfig {
    int32_t Edition;
    uint8_t ResolutionValid;
    float Dpi;
    float DotsPerMm;
    int32_t CutCounter;
    int32_t ResetCutCounter;
    char Version[256];
    char Milage[16];
    char ResetMilage[16];
    char Checksum[16];
    char Serial[64];

    // "Common" tab.
    ConfigFloat Speed;
    ConfigInt Density;
    ConfigInt DensityBase;
    ConfigFloat PaperWidth;
    ConfigFloat PaperHeight;
    ConfigInt SensorMode; // 0 gap, 1 black line, 2 continuous
    ConfigFloat GapSize;
    ConfigFloat GapOffset;
    ConfigInt PrintOut; // 0 off, 1 tear, 2 peel, 3 cutter
    ConfigInt CutterPiece;
    ConfigInt ReferenceX;
    ConfigInt ReferenceY;
    ConfigInt Direction;
    ConfigInt Mirror;
    ConfigInt Offset;
    ConfigInt OffsetBase;
    ConfigInt Shift;
    ConfigInt ShiftBase;
    ConfigInt ShiftX;
    ConfigInt ShiftXBase;
    ConfigInt Ribbon;
    ConfigInt RibbonSensor;
    ConfigInt RibbonEncoder;
    ConfigInt CodePage;
    ConfigInt Country;
    ConfigInt Head;
    ConfigInt Reprint;
    ConfigFloat MaxLength;
    ConfigInt GapInten;
    ConfigInt BlineInten;
    ConfigInt ConInten;
    ConfigInt AutoThreshold; // 0 manual, otherwise auto

    // 1 when the page was last collected in inch, 0 in millimetre.
    uint8_t InchUnit;

    // "Z" tab.
    ConfigInt ZDarkness;
    ConfigInt ZSpeed;
    ConfigInt ZPosition;
    ConfigInt ZPrintMode; // 1 tear off, 2 peel off, 3 cutter
    ConfigInt ZLabelWidth;
    ConfigChar ZControl;
    ConfigChar ZFormat;
    ConfigChar ZDelimiter;
    ConfigInt ZFeedPowerUp;   // 1 feed, 2 calibration, 3 length, 4 no motion
    ConfigInt ZFeedHeadClose; // coded as ZFeedPowerUp
    ConfigInt ZLabelTop;
    ConfigInt ZLabelShift;

    // "D" tab.
    ConfigInt DHeat;
    ConfigFloat DSpeed; // inch per second
    ConfigInt DLabelWidth;
    ConfigInt DPresentSensor;  // 1 off, 2 on
    ConfigInt DCutterEquipped; // 1 off, 2 on
    ConfigInt DControlCodes;   // 1 standard, 2 alternate, 3 alternate-2
    ConfigInt DColumnOffset;
    ConfigInt DRowOffset;

    // "Interface" tab: the printer's own serial port, as table indexes.
    ConfigInt BaudRate;
    ConfigInt DataBit;
    ConfigInt Parity;
    ConfigInt StopBit;
};

#pragma pack(pop)

static_assert(sizeof(ConfigInt) == 5);
static_assert(sizeof(ConfigFloat) == 5);
static_assert(sizeof(ConfigChar) == 2);
static_assert(sizeof(PrinterConfig) == 661);
static_assert(offsetof(PrinterConfig, ResolutionValid) == 4);
static_assert(offsetof(PrinterConfig, Dpi) == 5);
static_assert(offsetof(PrinterConfig, DotsPerMm) == 9);
static_assert(offsetof(PrinterConfig, CutCounter) == 13);
static_assert(offsetof(PrinterConfig, ResetCutCounter) == 17);
static_assert(offsetof(PrinterConfig, Version) == 21);
static_assert(offsetof(PrinterConfig, Milage) == 277);
static_assert(offsetof(PrinterConfig, ResetMilage) == 293);
static_assert(offsetof(PrinterConfig, Checksum) == 309);
static_assert(offsetof(PrinterConfig, Serial) == 325);
static_assert(offsetof(PrinterConfig, Speed) == 389);
static_assert(offsetof(PrinterConfig, Density) == 394);
static_assert(offsetof(PrinterConfig, PaperWidth) == 404);
static_assert(offsetof(PrinterConfig, SensorMode) == 414);
static_assert(offsetof(PrinterConfig, PrintOut) == 429);
static_assert(offsetof(PrinterConfig, Direction) == 449);
static_assert(offsetof(PrinterConfig, Offset) == 459);
static_assert(offsetof(PrinterConfig, Shift) == 469);
static_assert(offsetof(PrinterConfig, ShiftX) == 479);
static_assert(offsetof(PrinterConfig, Ribbon) == 489);
static_assert(offsetof(PrinterConfig, CodePage) == 504);
static_assert(offsetof(PrinterConfig, Country) == 509);
static_assert(offsetof(PrinterConfig, Reprint) == 519);
static_assert(offsetof(PrinterConfig, MaxLength) == 524);
static_assert(offsetof(PrinterConfig, GapInten) == 529);
static_assert(offsetof(PrinterConfig, AutoThreshold) == 544);
static_assert(offsetof(PrinterConfig, InchUnit) == 549);
static_assert(offsetof(PrinterConfig, ZDarkness) == 550);
static_assert(offsetof(PrinterConfig, ZLabelWidth) == 570);
static_assert(offsetof(PrinterConfig, ZControl) == 575);
static_assert(offsetof(PrinterConfig, ZFormat) == 577);
static_assert(offsetof(PrinterConfig, ZDelimiter) == 579);
static_assert(offsetof(PrinterConfig, ZFeedPowerUp) == 581);
static_assert(offsetof(PrinterConfig, ZLabelShift) == 596);
static_assert(offsetof(PrinterConfig, DHeat) == 601);
static_assert(offsetof(PrinterConfig, DSpeed) == 606);
static_assert(offsetof(PrinterConfig, DRowOffset) == 636);
static_assert(offsetof(PrinterConfig, BaudRate) == 641);
static_assert(offsetof(PrinterConfig, DataBit) == 646);
static_assert(offsetof(PrinterConfig, Parity) == 651);
static_assert(offsetof(PrinterConfig, StopBit) == 656);

// The configuration page's tabs; operation 4 sends the group of one of them.
enum ConfigTab : int32_t {
    ConfigTabCommon = 0,
    ConfigTabZ = 1,
    ConfigTabD = 2,
    ConfigTabInterface = 3,
};

// Clears the whole record except InchUnit, which keeps its byte, then writes the
// defaults: Dpi 200.0, DotsPerMm 11.8, Speed value 3.0, the Z characters "~", "^" and ","
// (all flags 0). Bytes past the texts' terminators are zero, so files written from it
// are deterministic.
void SetConfigDefaults(PrinterConfig& config);

// A zero-filled record (InchUnit 0) with the defaults.
PrinterConfig DefaultPrinterConfig();
