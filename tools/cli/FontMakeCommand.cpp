#include "FontMakeCommand.h"

#include "fonts/CodeTable.h"
#include "fonts/FontParameterForm.h"
#include "fonts/GlyphSurface.h"
#include "fonts/MakeFont.h"

#include <QFileInfo>
#include <QFontInfo>

#include <vector>

namespace {

QCommandLineOption Option(const QString& name, const QString& description,
                          const QString& value = {}) {
    return QCommandLineOption(name, description, value);
}

// The index of the text in the choices, or -1.
int ChoiceIndex(const QString& text, const QStringList& choices) {
    return static_cast<int>(choices.indexOf(text.toLower()));
}

// The encode, Asian code page and pitch choices, and whether a code table goes with them.
std::optional<FontParameterForm> ReadChoices(const QCommandLineParser& p, QString* error) {
    FontParameterForm form;
    form.encodeChoice = p.isSet(QStringLiteral("encode"))
                            ? ChoiceIndex(p.value(QStringLiteral("encode")),
                                          {QStringLiteral("standard"), QStringLiteral("asian"),
                                           QStringLiteral("table"), QStringLiteral("asian-table")})
                            : ChoiceStandard;
    form.asianIndex = p.isSet(QStringLiteral("asian"))
                          ? ChoiceIndex(p.value(QStringLiteral("asian")),
                                        {QStringLiteral("tc"), QStringLiteral("sc"),
                                         QStringLiteral("kr"), QStringLiteral("jp")})
                          : AsianTraditionalChinese;
    form.pitchIndex = p.isSet(QStringLiteral("pitch"))
                          ? ChoiceIndex(p.value(QStringLiteral("pitch")),
                                        {QStringLiteral("fixed"), QStringLiteral("variable")})
                          : PitchVariable;
    if (form.encodeChoice < 0 || form.asianIndex < 0 || form.pitchIndex < 0) {
        *error = QStringLiteral("--encode, --asian or --pitch is not one of its choices");
        return std::nullopt;
    }
    const bool byTable = form.encodeChoice == ChoiceTable || form.encodeChoice == ChoiceAsianTable;
    if (byTable != p.isSet(QStringLiteral("table"))) {
        *error = QStringLiteral("--table goes with the table encodes, and only with them");
        return std::nullopt;
    }
    return form;
}

// The installed font the glyphs are drawn with: its family, pixel size and weight.
std::optional<QFont> ReadFont(const QCommandLineParser& p, QString* error) {
    bool sizeOk = true;
    const int size =
        p.isSet(QStringLiteral("size")) ? p.value(QStringLiteral("size")).toInt(&sizeOk) : 13;
    if (!sizeOk || size < 1 || size > 1000) {
        *error = QStringLiteral("--size takes 1 to 1000 pixels");
        return std::nullopt;
    }
    QFont font(p.value(QStringLiteral("font")));
    font.setPixelSize(size);
    font.setBold(p.isSet(QStringLiteral("bold")));
    return font;
}

// The character range and the cell, as the options give them or from the sample cell.
void FillSizes(const QCommandLineParser& p, QSize sample, FontParameterForm& form) {
    const auto value = [&p](const char* name, const QString& otherwise) {
        const QString option = QString::fromLatin1(name);
        return p.isSet(option) ? p.value(option) : otherwise;
    };
    form.charStart = value("first", QStringLiteral("32"));
    form.charEnd = value("last", QStringLiteral("127"));
    form.fontWidth = value("width", QString::number(sample.width()));
    form.fontHeight = value("height", QString::number(sample.height()));
    form.italicWidth = value("italic", QStringLiteral("0"));
}

// Makes the font file and reports it as the command's one result row.
PrinterResult MakeFontRow(FontParameters& parameters, const QFont& font) {
    PrinterResult row;
    row.link = QStringLiteral("-");
    row.data[QStringLiteral("file")] = parameters.outputPath;
    row.data[QStringLiteral("font")] = QFontInfo(font).family();
    if (!MakeFont(parameters)) {
        row.code = 4; // nothing usable was written
        row.summary = QStringLiteral("Make Font Error");
        return row;
    }
    row.data[QStringLiteral("glyphs")] = parameters.glyphCount;
    row.data[QStringLiteral("cellWidth")] = parameters.cellWidth;
    row.data[QStringLiteral("cellHeight")] = parameters.cellHeight;
    row.data[QStringLiteral("bytes")] = QFileInfo(parameters.outputPath).size();
    row.summary = QStringLiteral("%1 glyphs of %2 x %3 in %4")
                      .arg(parameters.glyphCount)
                      .arg(parameters.cellWidth)
                      .arg(parameters.cellHeight)
                      .arg(parameters.outputPath);
    return row;
}

} // namespace

bool IsFontMake(const QStringList& arguments) {
    const qsizetype at = arguments.indexOf(QStringLiteral("font"));
    return at >= 0 && arguments.value(at + 1) == QStringLiteral("make");
}

CliCommand FontMake() {
    CliCommand c;
    c.words = {QStringLiteral("font"), QStringLiteral("make")};
    c.syntax = QStringLiteral("OUT.BMF");
    c.summary = QStringLiteral("Make a printer bitmap font from an installed font (no --link).");
    c.options = [] {
        return QList<QCommandLineOption>{
            Option(QStringLiteral("font"), QStringLiteral("The installed font's family."),
                   QStringLiteral("FAMILY")),
            Option(QStringLiteral("size"), QStringLiteral("Its size in pixels (default 13)."),
                   QStringLiteral("PX")),
            Option(QStringLiteral("bold"), QStringLiteral("The bold face.")),
            Option(QStringLiteral("encode"),
                   QStringLiteral("standard, asian, table or asian-table (default standard)."),
                   QStringLiteral("KIND")),
            Option(QStringLiteral("asian"),
                   QStringLiteral("tc, sc, kr or jp: the code page of the Asian encodes."),
                   QStringLiteral("CODE")),
            Option(QStringLiteral("pitch"), QStringLiteral("fixed or variable (default)."),
                   QStringLiteral("PITCH")),
            Option(QStringLiteral("first"),
                   QStringLiteral("First character code of a standard font (default 32)."),
                   QStringLiteral("N")),
            Option(QStringLiteral("last"),
                   QStringLiteral("Last character code of a standard font (default 127)."),
                   QStringLiteral("N")),
            Option(QStringLiteral("width"),
                   QStringLiteral("Cell width (default: measured from the sample)."),
                   QStringLiteral("DOTS")),
            Option(QStringLiteral("height"),
                   QStringLiteral("Cell height (default: measured from the sample)."),
                   QStringLiteral("DOTS")),
            Option(QStringLiteral("italic"), QStringLiteral("Italic width (default 0)."),
                   QStringLiteral("DOTS")),
            Option(QStringLiteral("table"),
                   QStringLiteral("Code table file of the table encodes (one code per byte "
                                  "or byte pair)."),
                   QStringLiteral("FILE")),
        };
    };
    c.runLocal = [](const CommandInput& input,
                    QString* error) -> std::optional<std::vector<PrinterResult>> {
        if (input.arguments.size() != 1) {
            *error = QStringLiteral("expects OUT.BMF");
            return std::nullopt;
        }
        const QCommandLineParser& p = input.parser;
        if (p.value(QStringLiteral("font")).isEmpty()) {
            *error = QStringLiteral("--font is required");
            return std::nullopt;
        }
        std::optional<FontParameterForm> form = ReadChoices(p, error);
        if (!form)
            return std::nullopt;
        const std::optional<QFont> font = ReadFont(p, error);
        if (!font)
            return std::nullopt;
        GlyphSurface surface;
        surface.SetFont(*font);
        FillSizes(p, SampleCellSize(surface, form->encodeChoice, form->asianIndex), *form);

        const QString tablePath = p.value(QStringLiteral("table"));
        std::vector<uint8_t> table(65536);
        FontParameters parameters;
        const std::optional<QString> refusal = CollectFontParameters(
            *form, [&tablePath] { return CodeTable::FromBytes(CodeTable::ReadFile(tablePath)); },
            table.data(), table.size(), parameters);
        if (refusal) {
            *error = *refusal;
            return std::nullopt;
        }
        parameters.outputPath = input.arguments.first();
        parameters.surface = &surface;
        return std::vector<PrinterResult>{MakeFontRow(parameters, *font)};
    };
    return c;
}
