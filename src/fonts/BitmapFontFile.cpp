#include "fonts/BitmapFontFile.h"

#include <cstring>

void PutField16(uint8_t field[2], int32_t value) {
    field[0] = static_cast<uint8_t>(value & 0xFF);
    field[1] = static_cast<uint8_t>((value / 256) & 0xFF);
}

uint32_t PackedBitmapSize(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0)
        return 0;
    return static_cast<uint32_t>((width + 7) / 8) * static_cast<uint32_t>(height);
}

uint8_t AsianEncodingLetter(uint8_t asianEncoding) {
    switch (asianEncoding) {
    case AsianTraditionalChinese:
        return 'T';
    case AsianSimplifiedChinese:
        return 'G';
    case AsianKorean:
        return 'K';
    case AsianJapanese:
        return 'J';
    default:
        return 0;
    }
}

BitmapFontHeader MakeBitmapFontHeader(const FontParameters& parameters, bool indexed,
                                      int32_t glyphCount) {
    BitmapFontHeader header;
    std::memset(&header, 0, sizeof header);
    const bool twoByte = parameters.encode == EncodeTwoByte;
    const bool range = parameters.byTable == 0;
    header.magic = 'B';
    header.pitch = parameters.pitch;
    header.twoByte = twoByte ? 1 : 0;
    header.indexed = indexed ? 1 : 0;
    header.italic = parameters.italicWidth != 0 ? 1 : 0;
    PutField16(header.cellHeight, parameters.cellHeight);
    PutField16(header.cellWidth, parameters.cellWidth);
    if (!twoByte && range) {
        PutField16(header.firstCode, parameters.firstCode);
        PutField16(header.lastCode, parameters.lastCode);
    }
    if (twoByte && range)
        header.encodingLetter = AsianEncodingLetter(parameters.asianEncoding);
    PutField16(header.glyphCount, glyphCount);
    PutField16(header.italicWidth, parameters.italicWidth);
    return header;
}

BitmapIndexEntry MakeIndexEntry(uint8_t first, uint8_t second, uint32_t offset) {
    BitmapIndexEntry entry;
    entry.first = first;
    entry.second = second;
    for (int i = 0; i < 4; ++i)
        entry.offset[i] = static_cast<uint8_t>(offset >> (8 * i));
    return entry;
}
