#pragma once

#include <QCoreApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>

// The busy cursor for the life of a printer exchange. Before the exchange blocks, the
// screen is brought up to date (paint events, not user input), so a dialog that just
// closed does not linger while the printer is busy.
class BusyCursor {
public:
    BusyCursor() {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};
