#pragma once

#include <QString>

#include <cstdint>

class GlyphSurface;

enum FontEncodeKind : uint8_t {
    EncodeSingleByte = 0,
    EncodeTwoByte = 1,
};

enum FontPitch : uint8_t {
    PitchFixed = 0,
    PitchVariable = 1,
};

enum AsianEncoding : uint8_t {
    AsianTraditionalChinese = 0,
    AsianSimplifiedChinese = 1,
    AsianKorean = 2,
    AsianJapanese = 3,
};

constexpr int kAsianEncodingCount = 4;

// What the font page hands the font maker. Lives in the main window's records; only the
// bitmap font file it produces goes to disk.
struct FontParameters {
    uint8_t encode = EncodeSingleByte;
    uint8_t pitch = PitchVariable;
    uint8_t asianEncoding = AsianTraditionalChinese;
    int32_t firstCode = 0;
    int32_t lastCode = 0;
    int32_t cellWidth = 0;
    int32_t cellHeight = 0;
    int32_t italicWidth = 0;
    int32_t glyphCount = 0; // set by MakeFont
    uint8_t byTable = 0;
    const uint8_t* table = nullptr; // owned by the page, valid during the call
    uint32_t tableEntries = 0;      // bytes (single-byte) or byte pairs (two-byte)
    QString outputPath;
    GlyphSurface* surface = nullptr; // carries the chosen font
};
