#pragma once

#include "fonts/FontParameters.h"

#include <QByteArray>
#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

// The page's encode choices, the item indexes of its encode list.
enum FontEncodeChoice : int {
    ChoiceStandard = 0,
    ChoiceAsian = 1,
    ChoiceTable = 2,
    ChoiceAsianTable = 3,
};

// What the font page's controls hold when a font is to be made.
struct FontParameterForm {
    int encodeChoice = ChoiceStandard;
    int pitchIndex = PitchVariable;
    int asianIndex = AsianTraditionalChinese;
    QString charStart;
    QString charEnd;
    QString fontWidth;
    QString fontHeight;
    QString italicWidth;
};

inline const char* const kFontParameterError = "Font Parameter Error";

// Fills the parameters from the form (all but the output path and the surface). The table
// choices call `loadTable` for the codes and copy them into `table` (at most `capacity`
// bytes). Returns the message to show when the form does not make a font: the integer
// conversion message for a text that is not a number, "Font Parameter Error" for anything
// else.
std::optional<QString> CollectFontParameters(const FontParameterForm& form,
                                             const std::function<QByteArray()>& loadTable,
                                             uint8_t* table, size_t capacity,
                                             FontParameters& parameters);

// The code page a table's text is read and written in: the chosen Asian encoding's for the
// Asian table choice, Windows Western otherwise.
int TableCodePage(int encodeChoice, int asianIndex);

// The name a made font gets in the printer, as bytes; nothing when it does not fit the
// download request (1 to 31 bytes) or holds a double quote, a control byte or a character
// Windows Western cannot write.
std::optional<QByteArray> PrinterFontName(const QString& text);

class GlyphSurface;

// The cell a font starts with: the size of "W" in the surface's font, or for the Asian
// choices of the two-byte sample E0 A2 in the chosen encoding's code page.
QSize SampleCellSize(const GlyphSurface& surface, int encodeChoice, int asianIndex);
