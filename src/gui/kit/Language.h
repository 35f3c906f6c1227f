#pragma once

#include <QFont>
#include <QString>

#include <cstdint>

class QLocale;
class QWidget;

// The display languages, equal to the item index of the language list.
enum LanguageId : int32_t {
    LanguageEnglish = 0,
    LanguageTraditionalChinese = 1,
    LanguageSimplifiedChinese = 2,
};

inline constexpr int kLanguageCount = 3;

// Font character sets of the translated controls, by language.
inline constexpr int kCharsetAnsi = 0;
inline constexpr int kCharsetBig5 = 136;
inline constexpr int kCharsetGb2312 = 134;

// One caption in the three languages, in language order. The texts are UTF-8; every
// Traditional Chinese text lies within Big5 and every Simplified Chinese one within GB2312.
struct CaptionText {
    const char* english;
    const char* traditional;
    const char* simplified;
};

// A text that a window shows in English in every language (the progress window, the font
// preview, the dump text dialog).
constexpr CaptionText EnglishOnly(const char* text) {
    return {text, text, text};
}

QString TextFor(const CaptionText& caption, int languageIndex);

// Taiwan Chinese gives 1, mainland Chinese 2, every other locale 0.
int LanguageIndexForLocale(const QLocale& locale);

// A language index as the language list hands it over: anything but 1 and 2 is English.
int NormalizeLanguageIndex(int index);

// 0, 136 or 134 for the language.
int LanguageCharset(int languageIndex);

// The fonts every window is built with: the Western face at the window's text size, and
// the same font set up for a character set (Chinese sets draw with the Noto CJK faces of
// their script, so no glyph falls back to an empty box).
QFont BaseWindowFont();
QFont FontForCharset(int charset);

// Gives the widget the font of the character set (a page's tab, a list view's column
// captions: the tab bar's, the header's).
void ApplyCharset(QWidget* widget, int charset);

// Sets what the user reads on a control: the title of a group box or radio group, the
// text of a button, label or edit, the tab caption of a page.
void SetControlCaption(QWidget* control, const QString& text);
// Replaces one item of a combo box or radio group, keeping the selection, or the caption
// of a list view's column.
void SetControlItem(QWidget* control, int item, const QString& text);
