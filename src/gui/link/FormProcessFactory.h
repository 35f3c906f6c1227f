#pragma once

#include "link/ProgressView.h"

// Puts the progress state on screen as a TFormProcess window.
class FormProcessFactory : public ProgressViewFactory {
public:
    ProgressView* CreateView(int left, int top, const QString& caption) override;
};
