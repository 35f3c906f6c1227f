#include "gui/kit/CancelOffer.h"

#include "gui/kit/Language.h"
#include "link/LinkWait.h"
#include "link/ProgressWindow.h"

namespace {
constexpr CaptionText kCancelCaption{"Cancel", "取消", "取消"};
}

CancelOffer::CancelOffer(LinkWait& waits, ProgressWindow* progress, int languageIndex,
                         std::chrono::milliseconds after)
    : progress_(progress) {
    waits.Clear();
    if (!progress_)
        return;
    timer_.setSingleShot(true);
    timer_.setInterval(after);
    QObject::connect(&timer_, &QTimer::timeout, [this, &waits, languageIndex] {
        progress_->OfferCancel(TextFor(kCancelCaption, languageIndex),
                               [&waits] { waits.Cancel(); });
    });
    timer_.start();
}

CancelOffer::~CancelOffer() {
    timer_.stop();
    if (progress_)
        progress_->WithdrawCancel();
}
