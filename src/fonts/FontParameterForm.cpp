#include "fonts/FontParameterForm.h"

#include "fonts/AsianLayout.h"
#include "fonts/CodePageConverter.h"
#include "fonts/CodeTable.h"
#include "fonts/GlyphSurface.h"
#include "numbers/NumberText.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr int kPrinterFileNameLimit = 31;

struct Outcome {
    std::optional<int32_t> value;
    std::optional<QString> message;
};

// Empty → parameter error; not a number → conversion message; else the value.
Outcome Number(const QString& text) {
    if (text.isEmpty())
        return {std::nullopt, QString::fromLatin1(kFontParameterError)};
    // Leading blanks are allowed here; the digits follow the one rule of typed numbers.
    const std::optional<int32_t> value = ParseStrictInteger(text, IntegerBlanks::Leading);
    if (!value)
        return {std::nullopt, NotAnIntegerMessage(text)};
    return {value, std::nullopt};
}

QString ParameterError() {
    return QString::fromLatin1(kFontParameterError);
}

} // namespace

int TableCodePage(int encodeChoice, int asianIndex) {
    if (encodeChoice == ChoiceAsianTable)
        if (const AsianLayout* layout = LayoutOf(static_cast<uint8_t>(asianIndex)))
            return layout->windowsCodePage;
    return 1252;
}

std::optional<QString> CollectFontParameters(const FontParameterForm& form,
                                             const std::function<QByteArray()>& loadTable,
                                             uint8_t* table, size_t capacity,
                                             FontParameters& parameters) {
    FontParameters p;
    p.pitch = form.pitchIndex == PitchFixed ? PitchFixed : PitchVariable;
    switch (form.encodeChoice) {
    case ChoiceStandard: {
        const Outcome first = Number(form.charStart);
        if (first.message)
            return first.message;
        if (*first.value < 0 || *first.value > 255)
            return ParameterError();
        const Outcome last = Number(form.charEnd);
        if (last.message)
            return last.message;
        if (*last.value < 0 || *last.value > 255)
            return ParameterError();
        p.encode = EncodeSingleByte;
        p.firstCode = *first.value;
        p.lastCode = *last.value;
        break;
    }
    case ChoiceAsian:
        p.encode = EncodeTwoByte;
        p.asianEncoding = static_cast<uint8_t>(form.asianIndex);
        p.pitch = PitchFixed;
        break;
    case ChoiceTable:
    case ChoiceAsianTable: {
        const bool twoByte = form.encodeChoice == ChoiceAsianTable;
        p.encode = twoByte ? EncodeTwoByte : EncodeSingleByte;
        // The Asian table's pairs are drawn in the code page of the chosen Asian encoding.
        p.asianEncoding = twoByte ? static_cast<uint8_t>(form.asianIndex) : 0;
        p.byTable = 1;
        const QByteArray codes = loadTable ? loadTable() : QByteArray();
        const auto length = std::min(static_cast<size_t>(codes.size()), capacity);
        if (length > 0)
            std::memcpy(table, codes.constData(), length);
        p.table = table;
        p.tableEntries = CodeTable::EntryCount(codes.left(static_cast<qsizetype>(length)), twoByte);
        if (p.tableEntries == 0)
            return ParameterError();
        break;
    }
    default:
        return ParameterError();
    }
    for (const QString* text : {&form.fontWidth, &form.fontHeight}) {
        const Outcome size = Number(*text);
        if (size.message)
            return size.message;
        if (*size.value < 0)
            return ParameterError();
        (text == &form.fontWidth ? p.cellWidth : p.cellHeight) = *size.value;
    }
    const Outcome italic = Number(form.italicWidth);
    if (italic.message)
        return italic.message;
    p.italicWidth = *italic.value;
    p.outputPath = parameters.outputPath;
    p.surface = parameters.surface;
    parameters = p;
    return std::nullopt;
}

std::optional<QByteArray> PrinterFontName(const QString& text) {
    CodePageConverter western(1252);
    const QByteArray name = western.Encode(text);
    if (name.isEmpty() || western.Decode(name) != text || name.size() > kPrinterFileNameLimit)
        return std::nullopt;
    for (const char byte : name)
        if (static_cast<unsigned char>(byte) < 32 || byte == '"')
            return std::nullopt;
    return name;
}

QSize SampleCellSize(const GlyphSurface& surface, int encodeChoice, int asianIndex) {
    static const uint8_t kAsianSample[2] = {0xE0, 0xA2};
    QString sample = QStringLiteral("W");
    if (encodeChoice == ChoiceAsian || encodeChoice == ChoiceAsianTable) {
        const AsianLayout* layout = LayoutOf(static_cast<uint8_t>(asianIndex));
        CodePageConverter converter(layout ? layout->windowsCodePage : 950);
        sample = converter.Character(kAsianSample, sizeof kAsianSample);
    }
    return surface.Measure(sample);
}
