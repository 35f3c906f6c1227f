#pragma once

#include "link/ProgressView.h"

#include <QWidget>

class QProgressBar;
class QPushButton;

// The small modeless "Communicating..." window with one progress bar, and a "Cancel"
// button when a long wait can be cancelled.
class TFormProcess : public QWidget, public ProgressView {
    Q_OBJECT

public:
    explicit TFormProcess(QWidget* parent = nullptr);

    void SetBarPosition(int position) override;
    int BarPosition() const override;
    void OfferCancel(const QString& caption, std::function<void()> onCancel) override;
    void WithdrawCancel() override;
    void SetBarVisible(bool visible) override;

    QProgressBar* ProgressBar1;
    QPushButton* ButtonCancel;

private:
    void ButtonCancelClick();
    void Arrange();

    std::function<void()> onCancel_;
};
