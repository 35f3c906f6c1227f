#include "gui/kit/WindowLook.h"

#include "gui/kit/Language.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QWidget>

void ApplyWindowLook(QWidget* window) {
    window->setFont(BaseWindowFont());
    window->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
        " left: 6px; top: -1px; padding: 0px 2px; }"
        "QGroupBox[chineseTitle=\"true\"]::title { top: -3px; }"));
}

void FitButtonText(QAbstractButton* button) {
    constexpr int kMargin = 8; // the frame and the padding of a push button
    constexpr int kSmallest = 8;
    QFont font = button->font();
    if (font.pixelSize() <= 0)
        font.setPixelSize(QFontMetrics(font).height() - 2);
    const int room = button->width() - kMargin;
    while (font.pixelSize() > kSmallest &&
           QFontMetrics(font).horizontalAdvance(button->text()) > room)
        font.setPixelSize(font.pixelSize() - 1);
    button->setFont(font);
}
