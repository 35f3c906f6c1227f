#include "fonts/FontManagerPage.h"

#include "fonts/AsianLayout.h"
#include "fonts/CodePageConverter.h"
#include "fonts/CodeTable.h"
#include "fonts/FontParameterForm.h"
#include "fonts/MakeFont.h"
#include "fonts/TFormPreviewFont.h"
#include "operations/MemoryRecords.h"
#include "operations/OperationCode.h"
#include "password/PasswordGate.h"
#include "ui/OperationHost.h"
#include "ui/PlaceControl.h"
#include "ui/Prompter.h"
#include "ui/RadioGroup.h"
#include "ui/WholeFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

// The page's span of the main window's caption table, in the order it is applied.
const CaptionEntry kFontCaptions[] = {
    {"GroupBoxFontSelect", kCaptionEntry, {"Font Select", "字型選擇", "字体选择"}},
    {"LabelFontEncode", kCaptionEntry, {"Font Encode", "字型編碼", "字体编码"}},
    {"ComboBoxFontEncode", 0, {"Standard Encode", "標準編碼", "标准编码"}},
    {"ComboBoxFontEncode", 1, {"Asian Font Encode", "亞洲字型編碼", "亚洲字体编码"}},
    {"ComboBoxFontEncode", 2, {"Encode by Table", "依對照表編碼", "依对照表编码"}},
    {"ComboBoxFontEncode",
     3,
     {"Encode by Table (Asian)", "依對照表編碼 (亞洲)", "依对照表编码 (亚洲)"}},
    {"LabelFontPitch", kCaptionEntry, {"Font Picth", "字元間距", "字符间距"}},
    {"ComboBoxFontPitch", 0, {"Fixed Pitch", "固定間距", "固定间距"}},
    {"ComboBoxFontPitch", 1, {"Variable Pitch", "可變間距", "可变间距"}},
    {"LabelPrinterDevice", kCaptionEntry, {"Printer Device", "印表機記憶體", "打印机存储器"}},
    {"LabelWindowsFontName",
     kCaptionEntry,
     {"Windows Font Name", "Windows 字型名稱", "Windows 字体名称"}},
    {"LabelFontSize", kCaptionEntry, {"Font Size", "字型大小", "字体大小"}},
    {"ButtonSelectFont", kCaptionEntry, {"Select Font", "選擇字型", "选择字体"}},
    {"ButtonPreviewFont", kCaptionEntry, {"Preview Font", "預覽字型", "预览字体"}},
    {"LabelPrinterFontName",
     kCaptionEntry,
     {"Printer Font Name", "印表機字型名稱", "打印机字体名称"}},
    {"LabelFontWidth", kCaptionEntry, {"Font Width", "字型寬度", "字体宽度"}},
    {"LabelFontHeight", kCaptionEntry, {"Font Height", "字型高度", "字体高度"}},
    {"LabelItalicWidth", kCaptionEntry, {"Italic Width", "斜體寬度", "斜体宽度"}},
    {"GroupBoxSatndEncode", kCaptionEntry, {"Standard Encode", "標準編碼", "标准编码"}},
    {"LabelFontMapping", kCaptionEntry, {"Font Mapping", "字型對應", "字体对应"}},
    {"LabelStartAscii",
     kCaptionEntry,
     {"Character Start ASCII", "起始字元 ASCII", "起始字符 ASCII"}},
    {"LabelEndAscii", kCaptionEntry, {"Character End ASCII", "結束字元 ASCII", "结束字符 ASCII"}},
    {"RadioGroupAsiaFontEncode",
     kCaptionEntry,
     {"Asian Font Encode", "亞洲字型編碼", "亚洲字体编码"}},
    {"RadioGroupAsiaFontEncode", 0, {"Traditional Chinese", "繁體中文", "繁体中文"}},
    {"RadioGroupAsiaFontEncode", 1, {"Simplified Chinese", "簡體中文", "简体中文"}},
    {"RadioGroupAsiaFontEncode", 2, {"Korean", "韓文", "韩文"}},
    {"RadioGroupAsiaFontEncode", 3, {"Japanese", "日文", "日文"}},
    {"GroupBoxEncodeTable", kCaptionEntry, {"Encode by Table", "依對照表編碼", "依对照表编码"}},
    {"CheckBoxFileTable", kCaptionEntry, {"By File", "使用檔案", "使用档案"}},
    {"ButtonFontTblLoad", kCaptionEntry, {"Load", "載入", "载入"}},
    {"ButtonFontTblSave", kCaptionEntry, {"Save", "儲存", "保存"}},
    {"ButtonSaveFont", kCaptionEntry, {"Save Font", "儲存字型", "保存字体"}},
    {"ButtonDowloadFont", kCaptionEntry, {"Download Font", "下載字型", "下载字体"}},
};

const char* const kMakeFontError = "Make Font Error";
const char* const kTemporaryFontName = "Temp.BMF";
const char* const kStartupPrinterFontName = "FONT001";
constexpr int kSampleWidth = 150;
constexpr int kSampleHeight = 56;

QLabel* MakeLabel(QWidget* parent, const char* name, const char* text, int x, int y, int width) {
    auto* label = PlaceControl<QLabel>(parent, name, x, y, width, 16);
    label->setText(QString::fromLatin1(text));
    return label;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, int x, int y, int width) {
    return PlaceControl<QLineEdit>(parent, name, x, y, width, 21);
}

QComboBox* MakeCombo(QWidget* parent, const char* name, const QStringList& items, int x, int y,
                     int width) {
    auto* combo = PlaceControl<QComboBox>(parent, name, x, y, width, 21);
    combo->addItems(items);
    return combo;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* text, int x, int y,
                        int width, int height = 25) {
    auto* button = PlaceControl<QPushButton>(parent, name, x, y, width, height);
    button->setText(QString::fromLatin1(text));
    return button;
}

// The size the font dialog shows, in points (pixel sizes at 96 dots per inch).
int PointSize(const QFont& font) {
    if (font.pointSizeF() > 0)
        return qRound(font.pointSizeF());
    return qRound(font.pixelSize() * 72.0 / 96.0);
}

// "Exactly italic" or "exactly bold italic": no underline and no strike-out.
bool ExactlyItalic(const QFont& font) {
    return font.style() == QFont::StyleItalic && !font.underline() && !font.strikeOut();
}

} // namespace

FontManagerPage::FontManagerPage(OperationHost& host, FontPageRecords records, QWidget* parent)
    : MainPage(host, parent), records_(records) {
    setObjectName(QStringLiteral("FontManagerPage"));
    BuildFontSelect();
    BuildEncodeGroups();
    ButtonSaveFont = MakeButton(this, "ButtonSaveFont", "Save Font", 8, 440, 120, 33);
    ButtonDowloadFont = MakeButton(this, "ButtonDowloadFont", "Dowload Font", 136, 440, 120, 33);

    connect(ComboBoxFontEncode, &QComboBox::activated, this,
            &FontManagerPage::ComboBoxFontEncodeChange);
    connect(ComboBoxSEncode, &QComboBox::activated, this, &FontManagerPage::ComboBoxSEncodeChange);
    connect(ButtonSelectFont, &QPushButton::clicked, this, &FontManagerPage::ButtonSelectFontClick);
    connect(ButtonPreviewFont, &QPushButton::clicked, this,
            &FontManagerPage::ButtonPreviewFontClick);
    connect(ButtonFontTblLoad, &QPushButton::clicked, this,
            &FontManagerPage::ButtonFontTblLoadClick);
    connect(ButtonFontTblSave, &QPushButton::clicked, this,
            &FontManagerPage::ButtonFontTblSaveClick);
    connect(ButtonSaveFont, &QPushButton::clicked, this, &FontManagerPage::ButtonSaveFontClick);
    connect(ButtonDowloadFont, &QPushButton::clicked, this,
            &FontManagerPage::ButtonDowloadFontClick);

    ComboBoxFontEncodeChange();
    ShowChosenFont();
}

void FontManagerPage::BuildFontSelect() {
    GroupBoxFontSelect = PlaceControl<QGroupBox>(this, "GroupBoxFontSelect", 8, 4, 353, 425);
    GroupBoxFontSelect->setTitle(QStringLiteral("Font Select"));
    QGroupBox* box = GroupBoxFontSelect;
    constexpr int kLabelX = 12;
    constexpr int kLabelWidth = 130;
    constexpr int kFieldX = 148;
    LabelFontEncode = MakeLabel(box, "LabelFontEncode", "Font Encode:", kLabelX, 27, kLabelWidth);
    ComboBoxFontEncode =
        MakeCombo(box, "ComboBoxFontEncode",
                  {QStringLiteral("Standard Encode"), QStringLiteral("Asian Font Encode"),
                   QStringLiteral("Encode by Table"), QStringLiteral("Encode by Table (Asian)")},
                  kFieldX, 24, 193);
    LabelFontPitch = MakeLabel(box, "LabelFontPitch", "Font Picth:", kLabelX, 59, kLabelWidth);
    ComboBoxFontPitch = MakeCombo(box, "ComboBoxFontPitch",
                                  {QStringLiteral("Fixed Pitch"), QStringLiteral("Variable Pitch")},
                                  kFieldX, 56, 193);
    ComboBoxFontPitch->setCurrentIndex(PitchVariable);
    LabelPrinterDevice =
        MakeLabel(box, "LabelPrinterDevice", "Printer Device:", kLabelX, 91, kLabelWidth);
    ComboBoxMemoryDevice =
        MakeCombo(box, "ComboBoxMemoryDevice",
                  {QStringLiteral("DRAM"), QStringLiteral("FLASH"), QStringLiteral("CARD")},
                  kFieldX, 88, 193);
    ComboBoxMemoryDevice->setCurrentIndex(MemoryFlash);

    LabelWindowsFontName =
        MakeLabel(box, "LabelWindowsFontName", "Windows Font Name:", kLabelX, 131, kLabelWidth);
    EditWinFontName = MakeEdit(box, "EditWinFontName", kFieldX, 128, 193);
    EditWinFontName->setReadOnly(true);
    LabelFontSize = MakeLabel(box, "LabelFontSize", "Font Size:", kLabelX, 163, kLabelWidth);
    EditWinFontSize = MakeEdit(box, "EditWinFontSize", kFieldX, 160, 57);
    EditWinFontSize->setReadOnly(true);
    ButtonSelectFont = MakeButton(box, "ButtonSelectFont", "Select Font", 12, 196, 160);
    ButtonPreviewFont = MakeButton(box, "ButtonPreviewFont", "Preview Font", 181, 196, 160);

    LabelPrinterFontName =
        MakeLabel(box, "LabelPrinterFontName", "Printer Font Name:", kLabelX, 243, kLabelWidth);
    EditPrinterFontName = MakeEdit(box, "EditPrinterFontName", kFieldX, 240, 193);
    LabelFontWidth = MakeLabel(box, "LabelFontWidth", "Font Width:", kLabelX, 275, kLabelWidth);
    EditFontWidth = MakeEdit(box, "EditFontWidth", kFieldX, 272, 57);
    LabelFontHeight = MakeLabel(box, "LabelFontHeight", "Font Height:", kLabelX, 307, kLabelWidth);
    EditFontHeight = MakeEdit(box, "EditFontHeight", kFieldX, 304, 57);
    LabelItalicWidth =
        MakeLabel(box, "LabelItalicWidth", "Italic Width:", kLabelX, 339, kLabelWidth);
    EditItalicWidth = MakeEdit(box, "EditItalicWidth", kFieldX, 336, 57);
    ImageSmaple = PlaceControl<QLabel>(box, "ImageSmaple", 12, 364, kSampleWidth, kSampleHeight);
}

void FontManagerPage::BuildEncodeGroups() {
    GroupBoxSatndEncode = PlaceControl<QGroupBox>(this, "GroupBoxSatndEncode", 369, 4, 300, 113);
    GroupBoxSatndEncode->setTitle(QStringLiteral("Standard Encode"));
    QGroupBox* standard = GroupBoxSatndEncode;
    LabelFontMapping = MakeLabel(standard, "LabelFontMapping", "Font Mapping:", 12, 27, 120);
    ComboBoxSEncode =
        MakeCombo(standard, "ComboBoxSEncode",
                  {QStringLiteral("Standard Mapping"), QStringLiteral("Full ASCII Mapping"),
                   QStringLiteral("Customer Mapping")},
                  136, 24, 153);
    LabelStartAscii = MakeLabel(standard, "LabelStartAscii", "Character Start ASCII:", 12, 59, 140);
    EditCharStart = MakeEdit(standard, "EditCharStart", 156, 56, 57);
    EditCharStart->setMaxLength(3);
    EditCharStart->setText(QStringLiteral("32"));
    LabelEndAscii = MakeLabel(standard, "LabelEndAscii", "Character End ASCII:", 12, 91, 140);
    EditCharEnd = MakeEdit(standard, "EditCharEnd", 156, 88, 57);
    EditCharEnd->setMaxLength(3);
    EditCharEnd->setText(QStringLiteral("127"));

    RadioGroupAsiaFontEncode =
        new RadioGroup(QStringLiteral("RadioGroupAsiaFontEncode"),
                       {QStringLiteral("Traditional Chinese"), QStringLiteral("Simplified Chinese"),
                        QStringLiteral("Korean"), QStringLiteral("Japanese")},
                       2, this);
    RadioGroupAsiaFontEncode->setGeometry(369, 124, 300, 65);
    RadioGroupAsiaFontEncode->setTitle(QStringLiteral("Asian Font Encode"));
    RadioGroupAsiaFontEncode->SetItemIndex(AsianTraditionalChinese);

    GroupBoxEncodeTable = PlaceControl<QGroupBox>(this, "GroupBoxEncodeTable", 369, 196, 300, 233);
    GroupBoxEncodeTable->setTitle(QStringLiteral("Encode by Table"));
    QGroupBox* table = GroupBoxEncodeTable;
    MemoFontTable = PlaceControl<QPlainTextEdit>(table, "MemoFontTable", 12, 24, 277, 160);
    CheckBoxFileTable = PlaceControl<QCheckBox>(table, "CheckBoxFileTable", 12, 198, 110, 17);
    CheckBoxFileTable->setText(QStringLiteral("By File"));
    ButtonFontTblLoad = MakeButton(table, "ButtonFontTblLoad", "Load", 132, 194, 75);
    ButtonFontTblSave = MakeButton(table, "ButtonFontTblSave", "Save", 214, 194, 75);
}

std::span<const CaptionEntry> FontManagerPage::Captions() const {
    return kFontCaptions;
}

void FontManagerPage::ComboBoxFontEncodeChange() {
    const int encode = ComboBoxFontEncode->currentIndex();
    const bool standard = encode == ChoiceStandard;
    const bool asian = encode == ChoiceAsian;
    const bool table = encode == ChoiceTable || encode == ChoiceAsianTable;
    for (QWidget* control :
         {static_cast<QWidget*>(GroupBoxSatndEncode), static_cast<QWidget*>(ComboBoxSEncode),
          static_cast<QWidget*>(EditCharStart), static_cast<QWidget*>(EditCharEnd)})
        control->setEnabled(standard);
    RadioGroupAsiaFontEncode->setEnabled(asian);
    for (QWidget* control :
         {static_cast<QWidget*>(GroupBoxEncodeTable), static_cast<QWidget*>(MemoFontTable),
          static_cast<QWidget*>(ButtonFontTblLoad), static_cast<QWidget*>(ButtonFontTblSave),
          static_cast<QWidget*>(CheckBoxFileTable)})
        control->setEnabled(table);
    const bool fixed = encode == ChoiceAsian || encode == ChoiceAsianTable;
    ComboBoxFontPitch->setCurrentIndex(fixed ? PitchFixed : PitchVariable);
}

void FontManagerPage::ComboBoxSEncodeChange() {
    switch (ComboBoxSEncode->currentIndex()) {
    case 0:
        EditCharStart->setText(QStringLiteral("32"));
        EditCharEnd->setText(QStringLiteral("127"));
        break;
    case 1:
        EditCharStart->setText(QStringLiteral("32"));
        EditCharEnd->setText(QStringLiteral("255"));
        break;
    default:
        break;
    }
}

void FontManagerPage::ButtonSelectFontClick() {
    const std::optional<QFont> font =
        Host().Prompts().ChooseFont(Host().HostWindow(), Records().CurrentFont);
    if (!font)
        return;
    Records().CurrentFont = *font;
    ShowChosenFont();
}

void FontManagerPage::ShowChosenFont() {
    const QFont& font = Records().CurrentFont;
    EditWinFontName->setText(font.family());
    EditWinFontSize->setText(QString::number(PointSize(font)));
    ImageGet.SetFont(font);

    const QSize size = SampleCellSize(ImageGet, ComboBoxFontEncode->currentIndex(),
                                      RadioGroupAsiaFontEncode->ItemIndex());
    EditFontWidth->setText(QString::number(size.width()));
    EditFontHeight->setText(QString::number(size.height()));
    EditItalicWidth->setText(QString::number(ExactlyItalic(font) ? size.width() * 3 / 10 : 0));
    EditPrinterFontName->setText(QString::fromLatin1(kStartupPrinterFontName));

    QImage picture(kSampleWidth, kSampleHeight, QImage::Format_RGB32);
    picture.setDotsPerMeterX(GlyphSurface::kDotsPerMeter);
    picture.setDotsPerMeterY(GlyphSurface::kDotsPerMeter);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(0, QFontMetrics(font, &picture).ascent(), QStringLiteral("ABCD"));
    }
    ImageSmaple->setPixmap(QPixmap::fromImage(picture));
}

QByteArray FontManagerPage::LoadFontTable() {
    if (CheckBoxFileTable->isChecked())
        return CodeTable::FromBytes(CodeTable::ReadFile(Records().TableFilePath));
    CodePageConverter converter(
        TableCodePage(ComboBoxFontEncode->currentIndex(), RadioGroupAsiaFontEncode->ItemIndex()));
    return CodeTable::FromBytes(converter.Encode(MemoFontTable->toPlainText()));
}

bool FontManagerPage::CollectParameters(const QString& path) {
    FontParameterForm form;
    form.encodeChoice = ComboBoxFontEncode->currentIndex();
    form.pitchIndex = ComboBoxFontPitch->currentIndex();
    form.asianIndex = RadioGroupAsiaFontEncode->ItemIndex();
    form.charStart = EditCharStart->text();
    form.charEnd = EditCharEnd->text();
    form.fontWidth = EditFontWidth->text();
    form.fontHeight = EditFontHeight->text();
    form.italicWidth = EditItalicWidth->text();
    FontParameters& parameters = Records().FontParameters;
    parameters.outputPath = path;
    parameters.surface = &ImageGet;
    const std::optional<QString> refusal = CollectFontParameters(
        form, [this] { return LoadFontTable(); }, Records().FontTable.data(),
        Records().FontTable.size(), parameters);
    if (refusal) {
        Host().Prompts().Error(Host().HostWindow(), *refusal);
        return false;
    }
    return true;
}

bool FontManagerPage::MakeFontInto(const QString& path) {
    Host().HostWindow()->setEnabled(false);
    Records().FontParameters.outputPath = path;
    Records().FontParameters.surface = &ImageGet;
    const FontMakerHooks hooks{Host().Progress(), [] { QCoreApplication::processEvents(); }};
    if (MakeFont(Records().FontParameters, hooks))
        return true;
    Host().Prompts().Error(Host().HostWindow(), QString::fromLatin1(kMakeFontError));
    return false;
}

void FontManagerPage::EndAction() {
    QWidget* window = Host().HostWindow();
    window->setEnabled(true);
    window->raise();
    window->activateWindow();
}

void FontManagerPage::ButtonSaveFontClick() {
    Prompter::FileDialogOptions options;
    const std::optional<QString> path = Host().Prompts().SaveFile(Host().HostWindow(), options);
    if (!path)
        return;
    if (!CollectParameters(*path))
        return;
    MakeFontInto(*path);
    EndAction();
}

QString FontManagerPage::TemporaryFontPath() {
    const QString startup = Host().StartupDirectory();
    // A desktop launch may start in a folder the user cannot write; the font is made in
    // the temporary directory then.
    QTemporaryFile probe(QDir(startup).filePath(QStringLiteral("Temp.XXXXXX")));
    if (!startup.isEmpty() && probe.open())
        return QDir(startup).filePath(QString::fromLatin1(kTemporaryFontName));
    return QDir(QStandardPaths::writableLocation(QStandardPaths::TempLocation))
        .filePath(QString::fromLatin1(kTemporaryFontName));
}

void FontManagerPage::ButtonDowloadFontClick() {
    const QString path = TemporaryFontPath();
    if (!CollectParameters(path))
        return;
    const std::optional<QByteArray> name = PrinterFontName(EditPrinterFontName->text());
    if (!name) {
        Host().Prompts().Error(Host().HostWindow(), QString::fromLatin1(kFontParameterError));
        return;
    }
    if (!GateAllows(PasswordGate(Host())))
        return;
    if (!MakeFontInto(path)) {
        EndAction();
        return;
    }
    const QByteArray localPath = path.toLocal8Bit();
    DownloadRequest request{localPath.constData(), name->constData(),
                            ComboBoxMemoryDevice->currentIndex()};
    Host().Run<Op::DownloadFile>(request);
    EndAction();
}

void FontManagerPage::ButtonPreviewFontClick() {
    TFormPreviewFont preview(ImageGet.Font(), Host().HostWindow());
    const QPoint corner = Host().HostWindow()->pos();
    preview.move(corner.x() + 20, corner.y() + 20);
    Host().ExecDialog(preview);
}

void FontManagerPage::ButtonFontTblLoadClick() {
    Prompter::FileDialogOptions options;
    const std::optional<QString> path = Host().Prompts().OpenFile(Host().HostWindow(), options);
    if (!path)
        return;
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    Records().TableFilePath = *path;
    const QByteArray text = CodeTable::TextPart(file.readAll());
    CodePageConverter converter(
        TableCodePage(ComboBoxFontEncode->currentIndex(), RadioGroupAsiaFontEncode->ItemIndex()));
    MemoFontTable->setPlainText(converter.Decode(text));
    CheckBoxFileTable->setChecked(true);
}

void FontManagerPage::ButtonFontTblSaveClick() {
    Prompter::FileDialogOptions options;
    const std::optional<QString> path = Host().Prompts().SaveFile(Host().HostWindow(), options);
    if (!path)
        return;
    CodePageConverter converter(
        TableCodePage(ComboBoxFontEncode->currentIndex(), RadioGroupAsiaFontEncode->ItemIndex()));
    if (!SaveWholeFile(*path, converter.Encode(MemoFontTable->toPlainText())))
        Host().Prompts().Error(Host().HostWindow(), QStringLiteral("Save File Error"));
}
