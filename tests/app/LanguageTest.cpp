#include "gui/functions/PrinterFunctionGroup.h"
#include "MainWindowFixture.h"

#include "gui/kit/Language.h"
#include "gui/kit/RadioGroup.h"
#include "gui/main/MainCaptions.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

// True when the UTF-8 text has a representation in the code page.
bool Encodable(const char* utf8, const char* codePage) {
    iconv_t converter = iconv_open(codePage, "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string input(utf8);
    std::string output(input.size() * 4 + 4, '\0');
    char* in = input.data();
    size_t inLeft = input.size();
    char* out = output.data();
    size_t outLeft = output.size();
    const size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    return result != static_cast<size_t>(-1) && inLeft == 0;
}

TEST(LanguageChoice, FollowsTheLocale) {
    EXPECT_EQ(LanguageIndexForLocale(QLocale("zh_TW")), 1);
    EXPECT_EQ(LanguageIndexForLocale(QLocale("zh_CN")), 2);
    EXPECT_EQ(LanguageIndexForLocale(QLocale("en_US")), 0);
    EXPECT_EQ(LanguageIndexForLocale(QLocale("zh_HK")), 0);
    EXPECT_EQ(LanguageIndexForLocale(QLocale("zh_SG")), 0);
    EXPECT_EQ(LanguageIndexForLocale(QLocale("ja_JP")), 0);
    EXPECT_EQ(LanguageIndexForLocale(QLocale("de_DE")), 0);
    EXPECT_EQ(LanguageIndexForLocale(QLocale::c()), 0);

    EXPECT_EQ(NormalizeLanguageIndex(3), 0);
    EXPECT_EQ(NormalizeLanguageIndex(-1), 0);
    EXPECT_EQ(NormalizeLanguageIndex(2), 2);
    EXPECT_EQ(LanguageCharset(0), 0);
    EXPECT_EQ(LanguageCharset(1), 136);
    EXPECT_EQ(LanguageCharset(2), 134);
}

TEST(CaptionTexts, ChineseTextsLieInTheirCodePages) {
    for (const CaptionEntry& entry : MainCaptionTable()) {
        EXPECT_TRUE(Encodable(entry.text.traditional, "CP950")) << entry.control;
        EXPECT_TRUE(Encodable(entry.text.simplified, "CP936")) << entry.control;
        for (const char* c = entry.text.english; *c; ++c)
            EXPECT_LT(static_cast<unsigned char>(*c), 0x80) << entry.control;
    }
    for (int word = 0; word <= static_cast<int>(StatusWord::OtherError); ++word) {
        const CaptionText& text = StatusWordCaption(static_cast<StatusWord>(word));
        EXPECT_TRUE(Encodable(text.traditional, "CP950")) << text.english;
        EXPECT_TRUE(Encodable(text.simplified, "CP936")) << text.english;
    }
}

using MainWindowLanguage = MainWindowFixture;

TEST_F(MainWindowLanguage, EveryTableEntryNamesAControlOfTheWindow) {
    Start();
    for (const CaptionEntry& entry : MainCaptionTable()) {
        QWidget* control = window->findChild<QWidget*>(QString::fromLatin1(entry.control));
        EXPECT_NE(control, nullptr) << entry.control;
    }
}

TEST_F(MainWindowLanguage, StartsInTheLanguageOfTheLocale) {
    Start(QLocale("zh_TW"));
    EXPECT_EQ(window->LanguageIndex(), 1);
    EXPECT_EQ(window->ComboBoxLanguage->currentIndex(), 1);
    EXPECT_EQ(window->GroupBoxLanguage->title(), "語言");
    EXPECT_EQ(window->ButtonGetStatus->text(), "讀取狀態");
    EXPECT_EQ(window->PageControl1->tabText(2), "點陣字工具");
    EXPECT_EQ(window->RadioGroupUnit->ItemText(1), "公厘");
    EXPECT_TRUE(
        window->FunctionGroup->ButtonPassword->font().families().contains("Noto Sans CJK TC"));
    EXPECT_TRUE(window->PageControl1->tabBar()->font().families().contains("Noto Sans CJK TC"));

    window.reset();
    Start(QLocale("zh_CN"));
    EXPECT_EQ(window->LanguageIndex(), 2);
    EXPECT_EQ(window->GroupBoxInterFace->title(), "通讯接口");
    EXPECT_TRUE(window->GroupBoxInterFace->font().families().contains("Noto Sans CJK SC"));

    window.reset();
    Start(QLocale("fr_FR"));
    EXPECT_EQ(window->LanguageIndex(), 0);
    EXPECT_EQ(window->FunctionGroup->ButtonEthernet->text(), "Ethernet Setup");
    EXPECT_EQ(window->windowTitle(), "Tarnvik 1.40");
}

TEST_F(MainWindowLanguage, EveryCaptionFollowsTheSwitch) {
    Start();
    for (int language : {2, 1, 0}) {
        Choose(window->ComboBoxLanguage, language);
        for (const CaptionEntry& entry : MainCaptionTable()) {
            QWidget* control = window->findChild<QWidget*>(QString::fromLatin1(entry.control));
            ASSERT_NE(control, nullptr);
            const QString expected = TextFor(entry.text, language);
            QString shown;
            if (entry.item >= 0) {
                if (auto* combo = qobject_cast<QComboBox*>(control))
                    shown = combo->itemText(entry.item);
                else if (auto* radio = qobject_cast<RadioGroup*>(control))
                    shown = radio->ItemText(entry.item);
            } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
                shown = group->title();
            } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
                shown = button->text();
            } else {
                // A tab page: its caption is the tab text of the tab control that holds it.
                for (auto* tabs : window->findChildren<QTabWidget*>())
                    if (tabs->indexOf(control) >= 0)
                        shown = tabs->tabText(tabs->indexOf(control));
            }
            EXPECT_EQ(shown, expected) << entry.control << " item " << entry.item;
        }
    }
    EXPECT_EQ(window->windowTitle(), "Tarnvik 1.40");
}

TEST_F(MainWindowLanguage, SwitchKeepsSelectionsAndClearsTheStatus) {
    Start(QLocale(QLocale::English, QLocale::UnitedStates), true);
    window->RadioGroupUnit->ItemButton(1)->click();
    Choose(window->ComboBoxInterFace, 3);
    window->ButtonGetStatus->click(); // ETHERNET with no address: the status stays empty
    prompter.Clear();
    Choose(window->ComboBoxInterFace, 0);
    window->ButtonGetStatus->click();
    ASSERT_EQ(window->EditPrinterStatus->text(), "Ready");
    Choose(window->ComboBoxInterFace, 3);

    // A unit label of the configuration page, as the page will add it.
    auto* unit = new QLabel(QStringLiteral("inch"), window->TabSheet1);
    unit->setObjectName(QStringLiteral("LabelUnit4"));

    Choose(window->ComboBoxLanguage, 2);
    EXPECT_EQ(window->RadioGroupUnit->ItemIndex(), 1);
    EXPECT_EQ(window->RadioGroupUnit->ItemText(1), "毫米");
    EXPECT_EQ(unit->text(), "毫米");
    EXPECT_TRUE(unit->font().families().contains("Noto Sans CJK SC"));
    EXPECT_EQ(window->ComboBoxInterFace->currentIndex(), 3);
    EXPECT_EQ(window->ComboBoxLanguage->currentIndex(), 2);
    EXPECT_TRUE(window->EditPrinterStatus->text().isEmpty());

    Choose(window->ComboBoxInterFace, 0);
    window->ButtonGetStatus->click();
    EXPECT_EQ(window->EditPrinterStatus->text(), "待机中");

    Choose(window->ComboBoxLanguage, 0);
    EXPECT_EQ(unit->text(), "mm");
    window->RadioGroupUnit->ItemButton(0)->click();
    EXPECT_EQ(unit->text(), "inch");
    EXPECT_TRUE(window->EditPrinterStatus->text().isEmpty());
    EXPECT_EQ(window->ButtonGetStatus->text(), "Get Status");
    EXPECT_FALSE(window->ButtonGetStatus->font().families().contains("Noto Sans CJK SC"));
    EXPECT_TRUE(prompter.Messages().isEmpty());
}

TEST(StatusWordRules, LaterRulesWin) {
    struct Case {
        std::vector<int> flags;
        StatusWord word;
    };
    const Case cases[] = {
        {{}, StatusWord::Ready},
        {{StatusKept}, StatusWord::Ready},
        {{StatusPrinting}, StatusWord::Printing},
        {{StatusPrinting, StatusPaused}, StatusWord::Paused},
        {{StatusPaused, StatusPaperJam}, StatusWord::PaperJam},
        {{StatusPaperJam, StatusOutOfPaper}, StatusWord::OutOfPaper},
        {{StatusOutOfPaper, StatusRibbonFault, StatusRibbonEncoderError},
         StatusWord::RibbonEncoderError},
        {{StatusRibbonFault, StatusRibbonEncoderError, StatusOutOfRibbon}, StatusWord::OutOfRibbon},
        {{StatusRibbonFault}, StatusWord::Ready},
        {{StatusRibbonEncoderError}, StatusWord::Ready},
        {{StatusOutOfRibbon, StatusPrinting}, StatusWord::Printing},
        {{StatusRibbonFault, StatusOutOfRibbon, StatusOtherError}, StatusWord::OtherError},
        {{StatusOtherError, StatusHeadOpen}, StatusWord::HeadOpen},
        {{StatusHeadOpen, StatusPrinting}, StatusWord::HeadOpen},
        {{StatusHeadOpen, StatusPaperJam, StatusOutOfPaper, StatusRibbonFault, StatusPaused,
          StatusPrinting, StatusKept, StatusOtherError, StatusRibbonEncoderError},
         StatusWord::HeadOpen},
    };
    for (const Case& c : cases) {
        PrinterStatus status{};
        for (int flag : c.flags)
            status.flags[flag] = 1;
        EXPECT_EQ(StatusWordFor(status), c.word) << c.flags.size();
    }
}

// The main window's caption table in the order it is applied, as the product documents
// it: control and item (-1 for a caption).
struct DocumentedEntry {
    const char* control;
    int item;
};
const DocumentedEntry kDocumentedTable[] = {
    {"GroupBoxLanguage", -1},
    {"ComboBoxLanguage", 0},
    {"ComboBoxLanguage", 1},
    {"ComboBoxLanguage", 2},
    {"GroupBoxPrinterFunction", -1},
    {"ButtonSensorCalibrate", -1},
    {"ButtonEthernet", -1},
    {"ButtonRTCSetTime", -1},
    {"ButtonInitial", -1},
    {"ButtonRestPrinter", -1},
    {"ButtonTestPatern", -1},
    {"ButtonSelfTest", -1},
    {"ButtonDump", -1},
    {"ButtonIgnoreAuto", -1},
    {"ButtonLineModeOut", -1},
    {"ButtonPassword", -1},
    {"GroupBoxInterFace", -1},
    {"ButtonInterFace", -1},
    {"GroupBoxPrinterStatus", -1},
    {"ButtonGetStatus", -1},
    {"TabSheet1", -1},
    {"TabSheet2", -1},
    {"TabSheet3", -1},
    {"TabSheet4", -1},
    {"TabSheet8", -1},
    {"GroupBoxPrintreConfig", -1},
    {"GroupBoxPrinterInfo", -1},
    {"LabelVersion", -1},
    {"LabelMilage", -1},
    {"LabelCHecksum", -1},
    {"LabelSerial", -1},
    {"LabelCuttingCounter", -1},
    {"RadioGroupUnit", -1},
    {"RadioGroupUnit", 0},
    {"RadioGroupUnit", 1},
    {"LabelSpeed", -1},
    {"LabelDensity", -1},
    {"LabelWidth", -1},
    {"LabelHeight", -1},
    {"LabelSensorType", -1},
    {"ComboBoxMediaSensor", 1},
    {"ComboBoxMediaSensor", 2},
    {"ComboBoxMediaSensor", 3},
    {"LabelVirticalGap", -1},
    {"LabelGapOffset", -1},
    {"LabelPrintOut", -1},
    {"ComboBoxPrintOut", 1},
    {"ComboBoxPrintOut", 2},
    {"ComboBoxPrintOut", 3},
    {"ComboBoxPrintOut", 4},
    {"LabelCutterPiece", -1},
    {"LabelReference", -1},
    {"LabelDirection", -1},
    {"LabelOffset", -1},
    {"LabelShiftX", -1},
    {"LabelShiftY", -1},
    {"LabelRibbon", -1},
    {"ComboBoxRibbon", 1},
    {"ComboBoxRibbon", 2},
    {"LabelRibbonSensor", -1},
    {"ComboBoxRibbonSensor", 1},
    {"ComboBoxRibbonSensor", 2},
    {"LabelRibbonEncoder", -1},
    {"ComboBoxRibbonEncoder", 1},
    {"ComboBoxRibbonEncoder", 2},
    {"LabelCodePage", -1},
    {"LabelCountryCode", -1},
    {"LabelHead", -1},
    {"ComboBoxHead", 1},
    {"ComboBoxHead", 2},
    {"LabelReprint", -1},
    {"ComboBoxReprint", 1},
    {"ComboBoxReprint", 2},
    {"LabelMaximumLength", -1},
    {"LabelGapInten", -1},
    {"LabelBlineInten", -1},
    {"LabelContinuousInten", -1},
    {"LabelThresholdDetection", -1},
    {"ComboBoxThreshold", 1},
    {"ComboBoxThreshold", 2},
    {"LabelDarknessZ", -1},
    {"LabelPrintSpeedZ", -1},
    {"LabelTearOffZ", -1},
    {"LabelPrintModeZ", -1},
    {"ComboBoxPrintModeZ", 1},
    {"ComboBoxPrintModeZ", 2},
    {"ComboBoxPrintModeZ", 3},
    {"LabelPrintWidthZ", -1},
    {"LabelControlPrefixZ", -1},
    {"LabelFormatPrefixZ", -1},
    {"LabelDelimiterCharZ", -1},
    {"LabelMediaPowerUpZ", -1},
    {"ComboBoxMediaPowerUpZ", 1},
    {"ComboBoxMediaPowerUpZ", 2},
    {"ComboBoxMediaPowerUpZ", 3},
    {"ComboBoxMediaPowerUpZ", 4},
    {"LabelHeadCloseZ", -1},
    {"ComboBoxHeadCloseZ", 1},
    {"ComboBoxHeadCloseZ", 2},
    {"ComboBoxHeadCloseZ", 3},
    {"ComboBoxHeadCloseZ", 4},
    {"LabelLabelTopZ", -1},
    {"LabelLeftPositionZ", -1},
    {"LabelHeatD", -1},
    {"LabelPrintSpeedD", -1},
    {"LabelLabelWidthD", -1},
    {"LabelPresentSensorD", -1},
    {"ComboBoxPresentSensorD", 1},
    {"ComboBoxPresentSensorD", 2},
    {"LabelCutterEquippedD", -1},
    {"ComboBoxCutterEquippedD", 1},
    {"ComboBoxCutterEquippedD", 2},
    {"LabelControlCodesD", -1},
    {"ComboBoxControlCodesD", 1},
    {"ComboBoxControlCodesD", 2},
    {"ComboBoxControlCodesD", 3},
    {"LabelColumnOffsetD", -1},
    {"LabelRowOffsetD", -1},
    {"LabelBaudrate", -1},
    {"LabelDataBit", -1},
    {"LabelParity", -1},
    {"LabelStopBit", -1},
    {"ButtonClear", -1},
    {"ButtonLoad", -1},
    {"ButtonSave", -1},
    {"ButtonConfigSet", -1},
    {"ButtonRead", -1},
    {"GroupBoxFileDownload", -1},
    {"LabelFileType", -1},
    {"LabelFileName", -1},
    {"LabelFileSize", -1},
    {"LabelMemoryDevice", -1},
    {"ButtonBrowse", -1},
    {"ButtonFontView", -1},
    {"ButtonDownload", -1},
    {"GroupBoxFileInfo", -1},
    {"RadioGroupDevice", -1},
    {"LabelPhysicalSpace", -1},
    {"LabelFreeSpace", -1},
    {"ButtonGet", -1},
    {"GroupBoxFileFormat", -1},
    {"RadioGroupFormatDevice", -1},
    {"ButtonFileFormat", -1},
    {"GroupBoxFontSelect", -1},
    {"LabelFontEncode", -1},
    {"ComboBoxFontEncode", 0},
    {"ComboBoxFontEncode", 1},
    {"ComboBoxFontEncode", 2},
    {"ComboBoxFontEncode", 3},
    {"LabelFontPitch", -1},
    {"ComboBoxFontPitch", 0},
    {"ComboBoxFontPitch", 1},
    {"LabelPrinterDevice", -1},
    {"LabelWindowsFontName", -1},
    {"LabelFontSize", -1},
    {"ButtonSelectFont", -1},
    {"ButtonPreviewFont", -1},
    {"LabelPrinterFontName", -1},
    {"LabelFontWidth", -1},
    {"LabelFontHeight", -1},
    {"LabelItalicWidth", -1},
    {"GroupBoxSatndEncode", -1},
    {"LabelFontMapping", -1},
    {"LabelStartAscii", -1},
    {"LabelEndAscii", -1},
    {"RadioGroupAsiaFontEncode", -1},
    {"RadioGroupAsiaFontEncode", 0},
    {"RadioGroupAsiaFontEncode", 1},
    {"RadioGroupAsiaFontEncode", 2},
    {"RadioGroupAsiaFontEncode", 3},
    {"GroupBoxEncodeTable", -1},
    {"CheckBoxFileTable", -1},
    {"ButtonFontTblLoad", -1},
    {"ButtonFontTblSave", -1},
    {"ButtonSaveFont", -1},
    {"ButtonDowloadFont", -1},
    {"ButtonSendFile", -1},
    {"ButtonSend", -1},
    {"ButtonLoadFile", -1},
    {"ButtonSaveFile", -1},
};

TEST_F(MainWindowLanguage, WholeTableFollowsTheDocumentedOrderAndNamesControls) {
    Start();
    const std::vector<CaptionEntry> table = window->CaptionTable();
    // The reply view of the command tool is the one entry the product does not have; it
    // follows the command tool's documented entries.
    std::vector<std::pair<std::string, int>> documented, shown;
    for (const DocumentedEntry& entry : kDocumentedTable)
        documented.emplace_back(entry.control, entry.item);
    for (const CaptionEntry& entry : table) {
        EXPECT_NE(window->findChild<QWidget*>(QString::fromLatin1(entry.control)), nullptr)
            << entry.control;
        EXPECT_TRUE(Encodable(entry.text.traditional, "CP950")) << entry.control;
        EXPECT_TRUE(Encodable(entry.text.simplified, "CP936")) << entry.control;
        if (std::string(entry.control) != "CheckBoxShowReplies")
            shown.emplace_back(entry.control, entry.item);
    }
    EXPECT_EQ(documented.size(), 180u);
    EXPECT_EQ(shown, documented);
    EXPECT_EQ(table.size(), 181u);
}

} // namespace
