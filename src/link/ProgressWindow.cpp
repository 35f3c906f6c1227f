#include "link/ProgressWindow.h"

#include "link/LinkWait.h"

#include <algorithm>
#include <thread>

namespace {
const char* const kCommunicatingCaption = "Communicating...";
}

ProgressWindow::ProgressWindow(ProgressViewFactory* factory) : factory_(factory) {}

ProgressWindow::~ProgressWindow() = default;

void ProgressWindow::SetProgressPosition(int left, int top) {
    left_ = left;
    top_ = top;
}

void ProgressWindow::ShowProgress(ProgressMode mode, int initialStep, int step) {
    mode_ = mode;
    initialStep_ = initialStep;
    step_ = step;
    ShowWithCaption(left_, top_, QString::fromLatin1(kCommunicatingCaption));
    SetBarPosition(BarPosition() + initialStep_);
}

void ProgressWindow::ShowWithCaption(int left, int top, const QString& caption) {
    view_.reset();
    shown_ = true;
    bar_ = 0;
    if (!factory_)
        return;
    view_.reset(factory_->CreateView(left, top, caption));
    if (onCancel_) {
        cancelView_.reset();
        view_->OfferCancel(cancelCaption_, onCancel_);
    }
}

void ProgressWindow::SetBarPosition(int position) {
    bar_ = std::clamp(position, 0, kMaximum);
    if (view_)
        view_->SetBarPosition(bar_);
}

int ProgressWindow::BarPosition() const {
    return view_ ? view_->BarPosition() : bar_;
}

void ProgressWindow::ReportProgress(int kind, int value) {
    if (!shown_ || kind != mode_)
        return;
    if (mode_ == ProgressStep)
        SetBarPosition(BarPosition() + step_);
    else
        SetBarPosition(value);
}

void ProgressWindow::HideProgress(const LinkWait* wait) {
    // The window stays up with the last position reached.
    if (wait)
        wait->Pause(hidePause);
    else
        std::this_thread::sleep_for(hidePause);
    shown_ = false;
    SetBarPosition(kMaximum);
    view_.reset();
    if (onCancel_)
        ShowCancelWindow();
}

void ProgressWindow::OfferCancel(const QString& buttonCaption, std::function<void()> onCancel) {
    cancelCaption_ = buttonCaption;
    onCancel_ = std::move(onCancel);
    if (view_)
        view_->OfferCancel(cancelCaption_, onCancel_);
    else
        ShowCancelWindow();
}

void ProgressWindow::ShowCancelWindow() {
    if (!factory_ || cancelView_)
        return;
    cancelView_.reset(
        factory_->CreateView(left_, top_, QString::fromLatin1(kCommunicatingCaption)));
    cancelView_->SetBarVisible(false);
    cancelView_->OfferCancel(cancelCaption_, onCancel_);
}

void ProgressWindow::WithdrawCancel() {
    onCancel_ = {};
    cancelView_.reset();
    if (view_)
        view_->WithdrawCancel();
}

void ProgressWindow::Reset() {
    WithdrawCancel();
    view_.reset();
    shown_ = false;
    left_ = 100;
    top_ = 100;
    bar_ = 0;
}
