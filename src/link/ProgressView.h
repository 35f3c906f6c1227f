#pragma once

#include <QString>

#include <functional>

// What the progress state drives on screen. The windows library supplies the real
// window; engine tests supply a recording one. Created on open, destroyed on close.
class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual void SetBarPosition(int position) = 0;
    virtual int BarPosition() const = 0;
    // A "Cancel" button under the bar, or in place of it in a window that shows no bar.
    virtual void OfferCancel(const QString& /*caption*/, std::function<void()> /*onCancel*/) {}
    virtual void WithdrawCancel() {}
    virtual void SetBarVisible(bool /*visible*/) {}
};

// Makes the view for one showing of the progress window.
class ProgressViewFactory {
public:
    virtual ~ProgressViewFactory() = default;
    virtual ProgressView* CreateView(int left, int top, const QString& caption) = 0;
};
