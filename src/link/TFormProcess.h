#pragma once

#include "link/ProgressView.h"

#include <QWidget>

class QProgressBar;

// The small modeless "Communicating..." window with one progress bar.
class TFormProcess : public QWidget, public ProgressView {
    Q_OBJECT
public:
    explicit TFormProcess(QWidget* parent = nullptr);

    void SetBarPosition(int position) override;
    int BarPosition() const override;

    QProgressBar* ProgressBar1;
};
