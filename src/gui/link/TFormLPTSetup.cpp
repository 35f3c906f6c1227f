#include "gui/link/TFormLPTSetup.h"

#include "gui/kit/Captions.h"
#include "gui/kit/PlaceControl.h"
#include "gui/kit/WindowLook.h"
#include "link/FixedText.h"
#include "link/PortNames.h"

#include <QComboBox>
#include <QPushButton>

#include <cstring>

namespace {

const CaptionEntry kCaptions[] = {
    {"FormLPTSetup", kCaptionEntry, EnglishOnly("LPT Setup")},
    {"ButtonSet", kCaptionEntry, {"Set", "設定", "设定"}},
    {"ButtonCancel", kCaptionEntry, {"Cancel", "取消", "取消"}},
};

} // namespace

TFormLPTSetup::TFormLPTSetup(LptPortName& port, int languageIndex, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      port_(port) {
    ControlKit kit(this, "FormLPTSetup", kCaptions);
    ApplyWindowLook(this);
    setFixedSize(210, 96);

    ComboBoxLPT = kit.Add<QComboBox>(this, "ComboBoxLPT", {16, 16, 178, 22});
    ComboBoxLPT->addItems({QStringLiteral("LPT1"), QStringLiteral("LPT2"), QStringLiteral("LPT3"),
                           QStringLiteral("LPT4")});

    ButtonSet = kit.Add<QPushButton>(this, "ButtonSet", {16, 56, 75, 25});
    ButtonSet->setDefault(true);
    connect(ButtonSet, &QPushButton::clicked, this, &TFormLPTSetup::ButtonSetClick);
    ButtonCancel = kit.Add<QPushButton>(this, "ButtonCancel", {119, 56, 75, 25});
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormLPTSetup::ButtonCancelClick);
    kit.OrderTabs();

    ApplyCaptions(this, kCaptions, languageIndex);
    ComboBoxLPT->setCurrentIndex(
        PortItemForName(FixedText(port_.text, FixedTextKind::Local), kLptPortCount));
}

void TFormLPTSetup::ButtonSetClick() {
    // "LPT1" to "LPT4" always fit.
    [[maybe_unused]] const FixedTextResult stored =
        StoreFixedText(port_.text, QStringLiteral("LPT%1").arg(ComboBoxLPT->currentIndex() + 1),
                       FixedTextKind::Local);
    Q_ASSERT(stored == FixedTextResult::Stored);
    accept();
}

void TFormLPTSetup::ButtonCancelClick() {
    reject();
}
