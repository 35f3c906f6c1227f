#include "gui/link/TFormProcess.h"

#include "gui/kit/PlaceControl.h"

#include <QProgressBar>
#include <QPushButton>

namespace {
constexpr int kWidth = 241;
constexpr int kBarHeight = 49;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
// The progress window shows its title in English in every language.
const CaptionEntry kCaptions[] = {
    {"FormProcess", kCaptionEntry, EnglishOnly("Communicating...")},
};
} // namespace

TFormProcess::TFormProcess(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    ControlKit kit(this, "FormProcess", kCaptions);
    setFixedSize(kWidth, kBarHeight);

    ProgressBar1 = kit.Add<QProgressBar>(this, "ProgressBar1", {16, 16, 209, 17});
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    // Under the bar (Arrange moves it when the bar goes); its caption is the offer's.
    ButtonCancel = kit.Add<QPushButton>(
        this, "ButtonCancel",
        {(kWidth - kButtonWidth) / 2, kBarHeight - 4, kButtonWidth, kButtonHeight});
    ButtonCancel->hide();
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormProcess::ButtonCancelClick);

    move(100, 100);
}

void TFormProcess::SetBarPosition(int position) {
    // A transfer reports after every piece; the bar is drawn again only when it moved.
    if (position == ProgressBar1->value())
        return;
    ProgressBar1->setValue(position);
    ProgressBar1->repaint();
}

int TFormProcess::BarPosition() const {
    return ProgressBar1->value();
}

void TFormProcess::OfferCancel(const QString& caption, std::function<void()> onCancel) {
    onCancel_ = std::move(onCancel);
    ButtonCancel->setText(caption);
    ButtonCancel->setEnabled(true);
    ButtonCancel->show();
    Arrange();
}

void TFormProcess::WithdrawCancel() {
    onCancel_ = {};
    ButtonCancel->hide();
    Arrange();
}

void TFormProcess::SetBarVisible(bool visible) {
    ProgressBar1->setVisible(visible);
    Arrange();
}

void TFormProcess::Arrange() {
    // The button goes under the bar, or where the bar would be.
    const bool bar = !ProgressBar1->isHidden();
    const bool button = !ButtonCancel->isHidden();
    const int buttonTop = bar ? kBarHeight - 4 : (kBarHeight - kButtonHeight) / 2;
    MoveControl(ButtonCancel,
                QRect((kWidth - kButtonWidth) / 2, buttonTop, kButtonWidth, kButtonHeight));
    setFixedSize(kWidth, bar && button ? buttonTop + kButtonHeight + 12 : kBarHeight);
}

void TFormProcess::ButtonCancelClick() {
    // One request is enough; the button stays visible until the operation has ended.
    ButtonCancel->setEnabled(false);
    if (onCancel_)
        onCancel_();
}
