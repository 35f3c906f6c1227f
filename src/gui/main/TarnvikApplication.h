#pragma once

#include <QApplication>

// The application object. An exception that escapes an event handler is shown in a message
// box and the event loop goes on.
class TarnvikApplication : public QApplication {
    Q_OBJECT
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override;
};
