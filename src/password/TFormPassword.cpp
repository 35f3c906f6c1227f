#include "password/TFormPassword.h"

#include "operations/PasswordCheck.h"
#include "password/PasswordValidator.h"
#include "ui/Language.h"
#include "ui/Prompter.h"
#include "ui/WindowLook.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

const CaptionText kTitle = {"Please enter your password", "請輸入密碼", "请输入密码"};
const CaptionText kOk = {"OK", "確定", "确定"};
const CaptionText kCancel = {"Cancel", "取消", "取消"};

} // namespace

TFormPassword::TFormPassword(const PasswordText& printerPassword, int languageIndex,
                             Prompter& prompter, const QPoint& position, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      printerPassword_(printerPassword), prompter_(prompter) {
    setObjectName(QStringLiteral("FormPassword"));
    ApplyWindowLook(this);
    setFixedSize(172, 73);

    EditPassword = new QLineEdit(this);
    EditPassword->setObjectName(QStringLiteral("EditPassword"));
    EditPassword->setGeometry(8, 8, 153, 21);
    EditPassword->setMaxLength(kPasswordMaxLength);
    EditPassword->setValidator(new PasswordValidator(EditPassword));

    ButtonOK = new QPushButton(this);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setGeometry(8, 40, 75, 25);
    ButtonOK->setDefault(true);
    connect(ButtonOK, &QPushButton::clicked, this, &TFormPassword::ButtonOKClick);

    ButtonCancel = new QPushButton(this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    ButtonCancel->setGeometry(88, 40, 75, 25);
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormPassword::ButtonCancelClick);

    move(position);
    ApplyCaptions(languageIndex);
}

void TFormPassword::ApplyCaptions(int languageIndex) {
    const int charset = LanguageCharset(languageIndex);
    setWindowTitle(TextFor(kTitle, languageIndex));
    ApplyCharset(ButtonOK, charset);
    ButtonOK->setText(TextFor(kOk, languageIndex));
    ApplyCharset(ButtonCancel, charset);
    ButtonCancel->setText(TextFor(kCancel, languageIndex));
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
