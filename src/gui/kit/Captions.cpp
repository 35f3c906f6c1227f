#include "gui/kit/Captions.h"

#include <QWidget>

void ApplyCaptions(QWidget* root, std::span<const CaptionEntry> entries, int languageIndex) {
    const int charset = LanguageCharset(languageIndex);
    for (const CaptionEntry& entry : entries) {
        const QString name = QString::fromLatin1(entry.control);
        QWidget* control = root->objectName() == name ? root : root->findChild<QWidget*>(name);
        if (!control)
            continue;
        const QString text = TextFor(entry.text, languageIndex);
        // The title bar is the window system's; the window's font is its controls'.
        if (control->isWindow()) {
            SetControlCaption(control, text);
            continue;
        }
        ApplyCharset(control, charset);
        if (entry.item == kCaptionEntry) {
            SetControlCaption(control, text);
            control->setAccessibleName(text);
        } else {
            SetControlItem(control, entry.item, text);
        }
    }
}
