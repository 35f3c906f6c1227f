#pragma once

#include <QString>
#include <QWidget>

// Creates a control of a window at its fixed position, named after its component so that
// tests and the caption tables find it.
template <class T>
T* PlaceControl(QWidget* parent, const char* name, int x, int y, int width, int height) {
    auto* control = new T(parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(x, y, width, height);
    return control;
}
