#pragma once

#include "fonts/FontParameters.h"

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)

// The 32-byte header of a printer bitmap font file. The two-byte fields hold the low byte
// of the value and then the value divided by 256.
struct BitmapFontHeader {
    uint8_t magic;         // 'B'
    uint8_t pitch;         // FontPitch
    uint8_t twoByte;       // 1 for an Asian font
    uint8_t indexed;       // 1 when the index follows the header
    uint8_t italic;        // 1 when the italic width is not 0
    uint8_t cellHeight[2]; // pixels
    uint8_t cellWidth[2];  // pixels
    uint8_t firstCode[2];  // single-byte range fonts only
    uint8_t lastCode[2];
    uint8_t encodingLetter; // 'T', 'G', 'K' or 'J' for an Asian range font, else 0
    uint8_t reserved14;
    uint8_t glyphCount[2];
    uint8_t italicWidth[2];
    uint8_t reserved[13];
};

// One index entry: the code's bytes and where its glyph record starts in the file.
struct BitmapIndexEntry {
    uint8_t first;
    uint8_t second;    // 0 for single-byte fonts
    uint8_t offset[4]; // little-endian, from the start of the file
};

#pragma pack(pop)

static_assert(sizeof(BitmapFontHeader) == 32);
static_assert(offsetof(BitmapFontHeader, cellHeight) == 5);
static_assert(offsetof(BitmapFontHeader, cellWidth) == 7);
static_assert(offsetof(BitmapFontHeader, firstCode) == 9);
static_assert(offsetof(BitmapFontHeader, lastCode) == 11);
static_assert(offsetof(BitmapFontHeader, encodingLetter) == 13);
static_assert(offsetof(BitmapFontHeader, glyphCount) == 15);
static_assert(offsetof(BitmapFontHeader, italicWidth) == 17);
static_assert(offsetof(BitmapFontHeader, reserved) == 19);
static_assert(sizeof(BitmapIndexEntry) == 6);
static_assert(offsetof(BitmapIndexEntry, offset) == 2);

constexpr uint32_t kBitmapFontHeaderSize = sizeof(BitmapFontHeader);
constexpr uint32_t kBitmapIndexEntrySize = sizeof(BitmapIndexEntry);
// Largest packed glyph bitmap the maker handles.
constexpr uint32_t kGlyphBitmapCapacity = 65536;
// Largest glyph count the header's two-byte field can carry.
constexpr int32_t kMaxGlyphCount = 65535;

// Low byte, then the value divided by 256 (truncated).
void PutField16(uint8_t field[2], int32_t value);

// Bytes of one glyph bitmap: rows of (width + 7) / 8 bytes.
uint32_t PackedBitmapSize(int32_t width, int32_t height);

// The letter a range-laid-out Asian font carries in byte 13, or 0.
uint8_t AsianEncodingLetter(uint8_t asianEncoding);

// The header the makers write. Range codes are kept only for single-byte range fonts and
// the encoding letter only for Asian range fonts, so nothing stale from the records leaks
// into a table font.
BitmapFontHeader MakeBitmapFontHeader(const FontParameters& parameters, bool indexed,
                                      int32_t glyphCount);

BitmapIndexEntry MakeIndexEntry(uint8_t first, uint8_t second, uint32_t offset);
