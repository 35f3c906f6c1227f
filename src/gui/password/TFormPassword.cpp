#include "gui/password/TFormPassword.h"

#include "dispatch/PasswordCheck.h"
#include "gui/kit/Captions.h"
#include "gui/kit/Language.h"
#include "gui/kit/PlaceControl.h"
#include "gui/kit/Prompter.h"
#include "gui/kit/WindowLook.h"
#include "operations/PasswordValidator.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

const CaptionEntry kCaptions[] = {
    {"FormPassword", kCaptionEntry, {"Please enter your password", "請輸入密碼", "请输入密码"}},
    {"ButtonOK", kCaptionEntry, {"OK", "確定", "确定"}},
    {"ButtonCancel", kCaptionEntry, {"Cancel", "取消", "取消"}},
};

} // namespace

TFormPassword::TFormPassword(const PasswordText& printerPassword, int languageIndex,
                             Prompter& prompter, const QPoint& position, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      printerPassword_(printerPassword), prompter_(prompter) {
    ControlKit kit(this, "FormPassword", kCaptions);
    ApplyWindowLook(this);
    setFixedSize(172, 73);

    EditPassword = kit.Add<QLineEdit>(this, "EditPassword", {8, 8, 153, 21});
    EditPassword->setMaxLength(kPasswordMaxLength);
    EditPassword->setValidator(new PasswordValidator(EditPassword));

    ButtonOK = kit.Add<QPushButton>(this, "ButtonOK", {8, 40, 75, 25});
    ButtonOK->setDefault(true);
    connect(ButtonOK, &QPushButton::clicked, this, &TFormPassword::ButtonOKClick);

    ButtonCancel = kit.Add<QPushButton>(this, "ButtonCancel", {88, 40, 75, 25});
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormPassword::ButtonCancelClick);
    kit.OrderTabs();

    move(position);
    ApplyCaptions(this, kCaptions, languageIndex);
}

void TFormPassword::ButtonOKClick() {
    if (JudgePassword(PasswordBytes(printerPassword_), EditPassword->text().toUtf8()) ==
        PasswordVerdict::Refused) {
        prompter_.Error(this, QStringLiteral("Incorrect"));
        return;
    }
    outcome_ = PasswordEntry::Accepted;
    accept();
}

void TFormPassword::ButtonCancelClick() {
    outcome_ = PasswordEntry::Cancelled;
    QDialog::reject();
}

void TFormPassword::reject() {
    ButtonCancelClick();
}
