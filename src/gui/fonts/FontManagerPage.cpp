#include "gui/fonts/FontManagerPage.h"

#include "fonts/AsianLayout.h"
#include "fonts/CodePageConverter.h"
#include "fonts/CodeTable.h"
#include "fonts/FontParameterForm.h"
#include "fonts/MakeFont.h"
#include "gui/fonts/TFormPreviewFont.h"
#include "gui/kit/OperationHost.h"
#include "gui/kit/PlaceControl.h"
#include "gui/kit/Prompter.h"
#include "gui/kit/RadioGroup.h"
#include "gui/kit/WindowFiles.h"
#include "gui/password/PasswordGate.h"
#include "operations/MemoryRecords.h"
#include "operations/OperationCode.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
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

constexpr int kLabelHeight = 16;
constexpr int kFieldHeight = 21;

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
    BuildFontSelect();
    BuildEncodeGroups();
    ControlKit kit(this, kFontCaptions);
    ButtonSaveFont = kit.Add<QPushButton>(this, "ButtonSaveFont", {8, 440, 120, 33});
    ButtonDowloadFont = kit.Add<QPushButton>(this, "ButtonDowloadFont", {136, 440, 120, 33});

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
    ControlKit kit(this, kFontCaptions);
    GroupBoxFontSelect = kit.Add<QGroupBox>(this, "GroupBoxFontSelect", {8, 4, 353, 425});
    QGroupBox* box = GroupBoxFontSelect;
    constexpr int kLabelX = 12;
    constexpr int kLabelWidth = 130;
    constexpr int kFieldX = 148;
    const auto label = [](int y) { return QRect(kLabelX, y, kLabelWidth, kLabelHeight); };
    const auto field = [](int y, int width) { return QRect(kFieldX, y, width, kFieldHeight); };
    LabelFontEncode = kit.Add<QLabel>(box, "LabelFontEncode", label(27));
    ComboBoxFontEncode = kit.Add<QComboBox>(box, "ComboBoxFontEncode", field(24, 193));
    LabelFontPitch = kit.Add<QLabel>(box, "LabelFontPitch", label(59));
    ComboBoxFontPitch = kit.Add<QComboBox>(box, "ComboBoxFontPitch", field(56, 193));
    ComboBoxFontPitch->setCurrentIndex(PitchVariable);
    LabelPrinterDevice = kit.Add<QLabel>(box, "LabelPrinterDevice", label(91));
    ComboBoxMemoryDevice = kit.Add<QComboBox>(box, "ComboBoxMemoryDevice", field(88, 193));
    ComboBoxMemoryDevice->addItems(
        {QStringLiteral("DRAM"), QStringLiteral("FLASH"), QStringLiteral("CARD")});
    ComboBoxMemoryDevice->setCurrentIndex(MemoryFlash);

    LabelWindowsFontName = kit.Add<QLabel>(box, "LabelWindowsFontName", label(131));
    EditWinFontName = kit.Add<QLineEdit>(box, "EditWinFontName", field(128, 193));
    EditWinFontName->setReadOnly(true);
    LabelFontSize = kit.Add<QLabel>(box, "LabelFontSize", label(163));
    EditWinFontSize = kit.Add<QLineEdit>(box, "EditWinFontSize", field(160, 57));
    EditWinFontSize->setReadOnly(true);
    ButtonSelectFont = kit.Add<QPushButton>(box, "ButtonSelectFont", {12, 196, 160, 25});
    ButtonPreviewFont = kit.Add<QPushButton>(box, "ButtonPreviewFont", {181, 196, 160, 25});

    LabelPrinterFontName = kit.Add<QLabel>(box, "LabelPrinterFontName", label(243));
    EditPrinterFontName = kit.Add<QLineEdit>(box, "EditPrinterFontName", field(240, 193));
    LabelFontWidth = kit.Add<QLabel>(box, "LabelFontWidth", label(275));
    EditFontWidth = kit.Add<QLineEdit>(box, "EditFontWidth", field(272, 57));
    LabelFontHeight = kit.Add<QLabel>(box, "LabelFontHeight", label(307));
    EditFontHeight = kit.Add<QLineEdit>(box, "EditFontHeight", field(304, 57));
    LabelItalicWidth = kit.Add<QLabel>(box, "LabelItalicWidth", label(339));
    EditItalicWidth = kit.Add<QLineEdit>(box, "EditItalicWidth", field(336, 57));
    ImageSmaple = kit.Add<QLabel>(box, "ImageSmaple", {12, 364, kSampleWidth, kSampleHeight});

    const std::pair<QLabel*, QWidget*> labelled[] = {
        {LabelFontEncode, ComboBoxFontEncode},
        {LabelFontPitch, ComboBoxFontPitch},
        {LabelPrinterDevice, ComboBoxMemoryDevice},
        {LabelWindowsFontName, EditWinFontName},
        {LabelFontSize, EditWinFontSize},
        {LabelPrinterFontName, EditPrinterFontName},
        {LabelFontWidth, EditFontWidth},
        {LabelFontHeight, EditFontHeight},
        {LabelItalicWidth, EditItalicWidth},
    };
    for (const auto& [caption, control] : labelled)
        caption->setBuddy(control);
}

void FontManagerPage::BuildEncodeGroups() {
    ControlKit kit(this, kFontCaptions);
    GroupBoxSatndEncode = kit.Add<QGroupBox>(this, "GroupBoxSatndEncode", {369, 4, 300, 113});
    QGroupBox* standard = GroupBoxSatndEncode;
    LabelFontMapping = kit.Add<QLabel>(standard, "LabelFontMapping", {12, 27, 120, kLabelHeight});
    ComboBoxSEncode = kit.Add<QComboBox>(standard, "ComboBoxSEncode", {136, 24, 153, kFieldHeight});
    ComboBoxSEncode->addItems({QStringLiteral("Standard Mapping"),
                               QStringLiteral("Full ASCII Mapping"),
                               QStringLiteral("Customer Mapping")});
    LabelStartAscii = kit.Add<QLabel>(standard, "LabelStartAscii", {12, 59, 140, kLabelHeight});
    EditCharStart = kit.Add<QLineEdit>(standard, "EditCharStart", {156, 56, 57, kFieldHeight});
    EditCharStart->setMaxLength(3);
    EditCharStart->setText(QStringLiteral("32"));
    LabelEndAscii = kit.Add<QLabel>(standard, "LabelEndAscii", {12, 91, 140, kLabelHeight});
    EditCharEnd = kit.Add<QLineEdit>(standard, "EditCharEnd", {156, 88, 57, kFieldHeight});
    EditCharEnd->setMaxLength(3);
    EditCharEnd->setText(QStringLiteral("127"));
    LabelFontMapping->setBuddy(ComboBoxSEncode);
    LabelStartAscii->setBuddy(EditCharStart);
    LabelEndAscii->setBuddy(EditCharEnd);

    RadioGroupAsiaFontEncode =
        kit.Add<RadioGroup>(this, "RadioGroupAsiaFontEncode", {369, 124, 300, 65}, 2);
    RadioGroupAsiaFontEncode->SetItemIndex(AsianTraditionalChinese);

    GroupBoxEncodeTable = kit.Add<QGroupBox>(this, "GroupBoxEncodeTable", {369, 196, 300, 233});
    QGroupBox* table = GroupBoxEncodeTable;
    MemoFontTable = kit.Add<QPlainTextEdit>(table, "MemoFontTable", {12, 24, 277, 160});
    CheckBoxFileTable = kit.Add<QCheckBox>(table, "CheckBoxFileTable", {12, 198, 110, 17});
    ButtonFontTblLoad = kit.Add<QPushButton>(table, "ButtonFontTblLoad", {132, 194, 75, 25});
    ButtonFontTblSave = kit.Add<QPushButton>(table, "ButtonFontTblSave", {214, 194, 75, 25});
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
    // A table that cannot be opened: nothing, no message.
    const std::optional<QByteArray> bytes =
        LoadWholeFile(Host(), *path, {.cannotRead = QStringLiteral("Open File Error")});
    if (!bytes)
        return;
    Records().TableFilePath = *path;
    const QByteArray text = CodeTable::TextPart(*bytes);
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
    SaveWholeFile(Host(), *path, converter.Encode(MemoFontTable->toPlainText()),
                  QStringLiteral("Save File Error"));
}
