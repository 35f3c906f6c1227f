#pragma once

#include "link/ProgressView.h"

#include <vector>

// A progress view that remembers every position the bar was set to.
class RecordingView : public ProgressView {
public:
    explicit RecordingView(std::vector<int>& log) : log_(log) {}
    void SetBarPosition(int position) override {
        position_ = position;
        log_.push_back(position);
    }
    int BarPosition() const override { return position_; }

private:
    std::vector<int>& log_;
    int position_ = 0;
};

class RecordingViewFactory : public ProgressViewFactory {
public:
    ProgressView* CreateView(int left, int top, const QString& caption) override {
        ++created;
        lastLeft = left;
        lastTop = top;
        lastCaption = caption;
        return new RecordingView(positions);
    }
    std::vector<int> positions;
    int created = 0;
    int lastLeft = 0;
    int lastTop = 0;
    QString lastCaption;
};
