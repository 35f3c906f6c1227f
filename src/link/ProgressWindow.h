#pragma once

#include "link/ProgressView.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

class LinkWait;

enum ProgressMode : int32_t {
    ProgressStep = 0,
    ProgressPercent = 1,
};

// The progress window's process-wide state. The transport reports into it
// unconditionally; only a shown window moves.
class ProgressWindow {
public:
    static constexpr int kMaximum = 100;

    explicit ProgressWindow(ProgressViewFactory* factory = nullptr);
    ~ProgressWindow();

    void SetViewFactory(ProgressViewFactory* factory) { factory_ = factory; }

    void SetProgressPosition(int left, int top);
    void ShowProgress(ProgressMode mode, int initialStep, int step);
    void ReportProgress(int kind, int value);
    // Given the link's waits, the pause lets the window run and ends early on a cancel.
    void HideProgress(const LinkWait* wait = nullptr);

    // The running operation can be cancelled: a "Cancel" button in the progress window
    // while it is up, otherwise in a window of its own, captioned and placed like it.
    void OfferCancel(const QString& buttonCaption, std::function<void()> onCancel);
    void WithdrawCancel();
    bool CancelOffered() const { return static_cast<bool>(onCancel_); }
    // The window that carries the button when no progress window is up; absent otherwise.
    ProgressView* CancelWindow() const { return cancelView_.get(); }

    // The font maker opens the window itself with its own caption and sets the bar directly.
    void ShowWithCaption(int left, int top, const QString& caption);
    void SetBarPosition(int position);

    // Back to the start-up state: position (100, 100), not shown.
    void Reset();

    bool IsShown() const { return shown_; }
    ProgressMode Mode() const { return mode_; }
    int Left() const { return left_; }
    int Top() const { return top_; }
    int BarPosition() const;

    // The pause before the window closes; the product waits 200 ms.
    std::chrono::milliseconds hidePause{200};

private:
    ProgressViewFactory* factory_;
    void ShowCancelWindow();

    std::unique_ptr<ProgressView> view_;
    std::unique_ptr<ProgressView> cancelView_;
    QString cancelCaption_;
    std::function<void()> onCancel_;
    bool shown_ = false;
    ProgressMode mode_ = ProgressStep;
    int initialStep_ = 0;
    int step_ = 0;
    int left_ = 100;
    int top_ = 100;
    int bar_ = 0; // where the bar is when no view is attached
};
