#include "ui/WindowLook.h"

#include "ui/Language.h"

#include <QWidget>

void ApplyWindowLook(QWidget* window) {
    window->setFont(BaseWindowFont());
    window->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
        " left: 6px; top: -1px; padding: 0px 2px; }"
        "QGroupBox[chineseTitle=\"true\"]::title { top: -3px; }"));
}
