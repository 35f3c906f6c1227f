#include "gui/password/TFormPasswordSetup.h"

#include "gui/kit/Captions.h"
#include "gui/kit/Language.h"
#include "gui/kit/PlaceControl.h"
#include "gui/kit/Prompter.h"
#include "gui/kit/WindowLook.h"
#include "operations/CommandText.h"
#include "operations/PasswordValidator.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const CaptionEntry kCaptions[] = {
    {"FormPasswordSetup", kCaptionEntry, {"Password Setup", "密碼設定", "密码设定"}},
    {"LabelOldPassword", kCaptionEntry, {"Old Password", "原密碼", "旧密码"}},
    {"LabelNewPassword", kCaptionEntry, {"New Password", "新密碼", "新密码"}},
    {"ButtonOK", kCaptionEntry, {"OK", "確定", "确定"}},
    {"ButtonCancel", kCaptionEntry, {"Cancel", "取消", "取消"}},
};

} // namespace

TFormPasswordSetup::TFormPasswordSetup(PasswordText& buffer, int languageIndex, Prompter& prompter,
                                       const QPoint& position, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      buffer_(buffer), prompter_(prompter) {
    ControlKit kit(this, "FormPasswordSetup", kCaptions);
    ApplyWindowLook(this);
    setFixedSize(201, 98);

    LabelOldPassword = kit.Add<QLabel>(this, "LabelOldPassword", {8, 12, 78, 21});
    LabelNewPassword = kit.Add<QLabel>(this, "LabelNewPassword", {8, 36, 78, 21});

    EditOldPassword = kit.Add<QLineEdit>(this, "EditOldPassword", {88, 8, 105, 21});
    EditNewPassword = kit.Add<QLineEdit>(this, "EditNewPassword", {88, 32, 105, 21});
    for (QLineEdit* edit : {EditOldPassword, EditNewPassword}) {
        edit->setMaxLength(kPasswordMaxLength);
        edit->setValidator(new PasswordValidator(edit));
    }
    LabelOldPassword->setBuddy(EditOldPassword);
    LabelNewPassword->setBuddy(EditNewPassword);

    ButtonOK = kit.Add<QPushButton>(this, "ButtonOK", {8, 64, 75, 25});
    ButtonOK->setDefault(true);
    connect(ButtonOK, &QPushButton::clicked, this, &TFormPasswordSetup::ButtonOKClick);

    ButtonCancel = kit.Add<QPushButton>(this, "ButtonCancel", {120, 64, 75, 25});
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormPasswordSetup::ButtonCancelClick);

    // The order this dialog has always had, not the order seen.
    ControlKit::OrderTabs({EditOldPassword, ButtonOK, ButtonCancel, EditNewPassword});

    move(position);
    ApplyCaptions(this, kCaptions, languageIndex);
}

void TFormPasswordSetup::ButtonOKClick() {
    if (EditOldPassword->text().toUtf8() != PasswordBytes(buffer_)) {
        prompter_.Error(this, QStringLiteral("Incorrect"));
        return;
    }
    // The password goes to the printer between double quotes.
    if (!QuotableText(EditNewPassword->text().toStdString())) {
        prompter_.Error(this,
                        QStringLiteral("The new password cannot contain a double quote (\")."));
        return;
    }
    StorePassword(buffer_, EditNewPassword->text().toUtf8());
    accept();
}

void TFormPasswordSetup::ButtonCancelClick() {
    reject();
}
