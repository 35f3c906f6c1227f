#include "ModalDriver.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace {

constexpr int kPollMs = 10;
constexpr int kMaxPolls = 100;

void Poll(std::shared_ptr<std::function<void(QWidget*)>> action, int remaining) {
    QTimer::singleShot(kPollMs, [action, remaining] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            (*action)(modal);
            return;
        }
        if (remaining <= 0) {
            (*action)(nullptr);
            return;
        }
        Poll(action, remaining - 1);
    });
}

} // namespace

void WhenModalOpens(std::function<void(QWidget*)> action) {
    Poll(std::make_shared<std::function<void(QWidget*)>>(std::move(action)), kMaxPolls);
}
