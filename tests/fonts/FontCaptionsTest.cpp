#include "MainWindowFixture.h"
#include "Screenshot.h"

#include "fonts/CodePageConverter.h"
#include "gui/fonts/FontManagerPage.h"
#include "gui/fonts/TFormPreviewFont.h"
#include "gui/kit/RadioGroup.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <vector>

namespace {

using FontCaptions = MainWindowFixture;

// The bitmap font page's entries of the main window's caption table, as documented.
struct Documented {
    const char* control;
    int item;
    const char* english;
};

const std::vector<Documented> kDocumented = {
    {"GroupBoxFontSelect", -1, "Font Select"},
    {"LabelFontEncode", -1, "Font Encode"},
    {"ComboBoxFontEncode", 0, "Standard Encode"},
    {"ComboBoxFontEncode", 1, "Asian Font Encode"},
    {"ComboBoxFontEncode", 2, "Encode by Table"},
    {"ComboBoxFontEncode", 3, "Encode by Table (Asian)"},
    {"LabelFontPitch", -1, "Font Picth"},
    {"ComboBoxFontPitch", 0, "Fixed Pitch"},
    {"ComboBoxFontPitch", 1, "Variable Pitch"},
    {"LabelPrinterDevice", -1, "Printer Device"},
    {"LabelWindowsFontName", -1, "Windows Font Name"},
    {"LabelFontSize", -1, "Font Size"},
    {"ButtonSelectFont", -1, "Select Font"},
    {"ButtonPreviewFont", -1, "Preview Font"},
    {"LabelPrinterFontName", -1, "Printer Font Name"},
    {"LabelFontWidth", -1, "Font Width"},
    {"LabelFontHeight", -1, "Font Height"},
    {"LabelItalicWidth", -1, "Italic Width"},
    {"GroupBoxSatndEncode", -1, "Standard Encode"},
    {"LabelFontMapping", -1, "Font Mapping"},
    {"LabelStartAscii", -1, "Character Start ASCII"},
    {"LabelEndAscii", -1, "Character End ASCII"},
    {"RadioGroupAsiaFontEncode", -1, "Asian Font Encode"},
    {"RadioGroupAsiaFontEncode", 0, "Traditional Chinese"},
    {"RadioGroupAsiaFontEncode", 1, "Simplified Chinese"},
    {"RadioGroupAsiaFontEncode", 2, "Korean"},
    {"RadioGroupAsiaFontEncode", 3, "Japanese"},
    {"GroupBoxEncodeTable", -1, "Encode by Table"},
    {"CheckBoxFileTable", -1, "By File"},
    {"ButtonFontTblLoad", -1, "Load"},
    {"ButtonFontTblSave", -1, "Save"},
    {"ButtonSaveFont", -1, "Save Font"},
    {"ButtonDowloadFont", -1, "Download Font"},
};

TEST_F(FontCaptions, PageSpanFollowsTheDocumentedListAndItsCodePages) {
    Start();
    const std::span<const CaptionEntry> span = window->FontManager->Captions();
    ASSERT_EQ(span.size(), kDocumented.size());
    CodePageConverter big5(950);
    CodePageConverter gbk(936);
    for (size_t i = 0; i < span.size(); ++i) {
        const CaptionEntry& entry = span[i];
        EXPECT_STREQ(entry.control, kDocumented[i].control) << i;
        EXPECT_EQ(entry.item, kDocumented[i].item) << i;
        EXPECT_STREQ(entry.text.english, kDocumented[i].english) << i;
        EXPECT_NE(window->findChild<QWidget*>(QString::fromLatin1(entry.control)), nullptr)
            << entry.control;
        for (auto [text, converter] :
             {std::pair{entry.text.traditional, &big5}, std::pair{entry.text.simplified, &gbk}}) {
            const QString unicode = QString::fromUtf8(text);
            EXPECT_EQ(converter->Decode(converter->Encode(unicode)), unicode)
                << entry.control << " " << text;
        }
    }
}

TEST_F(FontCaptions, SwitchingLanguageRewritesThePageAndKeepsChoices) {
    Start();
    FontManagerPage* page = window->FontManager;
    Choose(page->ComboBoxFontEncode, 2);
    page->RadioGroupAsiaFontEncode->SetItemIndex(3);
    EXPECT_EQ(page->ButtonDowloadFont->text(), QStringLiteral("Download Font"));
    EXPECT_EQ(page->LabelFontPitch->text(), QStringLiteral("Font Picth"));
    Choose(window->ComboBoxLanguage, 1);
    EXPECT_EQ(page->ButtonDowloadFont->text(), QString::fromUtf8("下載字型"));
    EXPECT_EQ(page->ComboBoxFontEncode->currentIndex(), 2);
    EXPECT_EQ(page->ComboBoxFontEncode->currentText(), QString::fromUtf8("依對照表編碼"));
    EXPECT_EQ(page->RadioGroupAsiaFontEncode->ItemIndex(), 3);
    Choose(window->ComboBoxLanguage, 2);
    EXPECT_EQ(page->RadioGroupAsiaFontEncode->ItemText(2), QString::fromUtf8("韩文"));
    EXPECT_EQ(page->ComboBoxMemoryDevice->currentText(), QStringLiteral("FLASH"));
}

TEST_F(FontCaptions, Screenshots) {
    Start();
    window->PageControl1->setCurrentIndex(2);
    for (int language = 0; language < 3; ++language) {
        Choose(window->ComboBoxLanguage, language);
        SaveScreenshot(*window, QStringLiteral("font_page_") + LanguageSuffix(language));
    }
    TFormPreviewFont preview(window->FontManager->ImageGet.Font());
    SaveScreenshot(preview, QStringLiteral("preview_font_en"));
}

} // namespace
