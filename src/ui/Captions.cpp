#include "ui/Captions.h"

#include <QWidget>

void ApplyCaptions(QWidget* root, std::span<const CaptionEntry> entries, int languageIndex) {
    const int charset = LanguageCharset(languageIndex);
    for (const CaptionEntry& entry : entries) {
        auto* control = root->findChild<QWidget*>(QString::fromLatin1(entry.control));
        if (!control)
            continue;
        ApplyCharset(control, charset);
        const QString text = TextFor(entry.text, languageIndex);
        if (entry.item == kCaptionEntry)
            SetControlCaption(control, text);
        else
            SetControlItem(control, entry.item, text);
    }
}
