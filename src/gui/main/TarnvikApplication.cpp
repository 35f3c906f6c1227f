#include "gui/main/TarnvikApplication.h"

#include <QMessageBox>

#include <exception>

bool TarnvikApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QStringLiteral("Tarnvik"),
                              QString::fromLocal8Bit(error.what()));
    } catch (...) {
        QMessageBox::critical(nullptr, QStringLiteral("Tarnvik"),
                              QStringLiteral("Unexpected error"));
    }
    return false;
}
