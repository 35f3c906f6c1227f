#include "link/EventPump.h"

#include <QCoreApplication>

void EventPump::operator()() {
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < interval_)
        return;
    QCoreApplication::processEvents();
    // Measured after the turn, so a slow turn cannot take the whole transfer.
    last_ = std::chrono::steady_clock::now();
}
