#include "gui/kit/Language.h"

#include "gui/kit/RadioGroup.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

// Western captions at 11 pixels (8 points at 96 dpi), Chinese ones at 12 so that the
// ideographs stay legible.
constexpr int kWindowTextPixels = 11;
constexpr int kChineseTextPixels = 12;

const char* const kWesternFamily = "DejaVu Sans";
const char* const kTraditionalFamily = "Noto Sans CJK TC";
const char* const kSimplifiedFamily = "Noto Sans CJK SC";

// The tab widget that shows the page, if the widget is a page of one.
QTabWidget* TabWidgetOfPage(QWidget* page) {
    auto* stack = qobject_cast<QStackedWidget*>(page->parentWidget());
    if (!stack)
        return nullptr;
    return qobject_cast<QTabWidget*>(stack->parentWidget());
}

} // namespace

QString TextFor(const CaptionText& caption, int languageIndex) {
    switch (languageIndex) {
    case LanguageTraditionalChinese:
        return QString::fromUtf8(caption.traditional);
    case LanguageSimplifiedChinese:
        return QString::fromUtf8(caption.simplified);
    default:
        return QString::fromUtf8(caption.english);
    }
}

int LanguageIndexForLocale(const QLocale& locale) {
    if (locale.language() != QLocale::Chinese)
        return LanguageEnglish;
    switch (locale.territory()) {
    case QLocale::Taiwan:
        return LanguageTraditionalChinese;
    case QLocale::China:
        return LanguageSimplifiedChinese;
    default:
        return LanguageEnglish;
    }
}

int NormalizeLanguageIndex(int index) {
    return index == LanguageTraditionalChinese || index == LanguageSimplifiedChinese
               ? index
               : LanguageEnglish;
}

int LanguageCharset(int languageIndex) {
    switch (languageIndex) {
    case LanguageTraditionalChinese:
        return kCharsetBig5;
    case LanguageSimplifiedChinese:
        return kCharsetGb2312;
    default:
        return kCharsetAnsi;
    }
}

QFont BaseWindowFont() {
    QFont font;
    font.setFamilies({QString::fromLatin1(kWesternFamily)});
    font.setPixelSize(kWindowTextPixels);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont FontForCharset(int charset) {
    QFont font = BaseWindowFont();
    // Latin letters of a Chinese caption (the "RTC" of "RTC設定") come from the CJK face too,
    // so that a caption reads in one style.
    if (charset == kCharsetBig5)
        font.setFamilies(
            {QString::fromLatin1(kTraditionalFamily), QString::fromLatin1(kWesternFamily)});
    else if (charset == kCharsetGb2312)
        font.setFamilies(
            {QString::fromLatin1(kSimplifiedFamily), QString::fromLatin1(kWesternFamily)});
    if (charset == kCharsetBig5 || charset == kCharsetGb2312)
        font.setPixelSize(kChineseTextPixels);
    return font;
}

void ApplyCharset(QWidget* widget, int charset) {
    if (!widget)
        return;
    // A page's caption is drawn by the tab bar; the page's own controls keep their fonts.
    if (QTabWidget* tabs = TabWidgetOfPage(widget)) {
        tabs->tabBar()->setFont(FontForCharset(charset));
        return;
    }
    // A list view's translated texts are its column captions; its rows keep their font.
    if (auto* list = qobject_cast<QTreeView*>(widget)) {
        list->header()->setFont(FontForCharset(charset));
        return;
    }
    widget->setFont(FontForCharset(charset));
    // The Chinese faces are taller; their group titles sit higher so that they stay clear of
    // the controls placed just below the frame line (see WindowLook).
    if (qobject_cast<QGroupBox*>(widget)) {
        widget->setProperty("chineseTitle", charset != kCharsetAnsi);
        widget->style()->unpolish(widget);
        widget->style()->polish(widget);
    }
}

void SetControlCaption(QWidget* control, const QString& text) {
    if (!control)
        return;
    if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(text);
    } else if (QTabWidget* tabs = TabWidgetOfPage(control)) {
        tabs->setTabText(tabs->indexOf(control), text);
    } else if (control->isWindow()) {
        control->setWindowTitle(text);
    }
}

void SetControlItem(QWidget* control, int item, const QString& text) {
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        if (item < 0 || item >= combo->count())
            return;
        const int selected = combo->currentIndex();
        combo->setItemText(item, text);
        combo->setCurrentIndex(selected);
    } else if (auto* radio = qobject_cast<RadioGroup*>(control)) {
        const int selected = radio->ItemIndex();
        radio->SetItemText(item, text);
        radio->SetItemIndex(selected);
    } else if (auto* list = qobject_cast<QTreeWidget*>(control)) {
        if (item >= 0 && item < list->columnCount())
            list->headerItem()->setText(item, text);
    }
}
