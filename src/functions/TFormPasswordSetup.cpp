#include "functions/TFormPasswordSetup.h"

#include "operations/CommandText.h"
#include "password/PasswordValidator.h"
#include "ui/Language.h"
#include "ui/Prompter.h"
#include "ui/WindowLook.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const CaptionText kTitle = {"Password Setup", "密碼設定", "密码设定"};
const CaptionText kOldPassword = {"Old Password", "原密碼", "旧密码"};
const CaptionText kNewPassword = {"New Password", "新密碼", "新密码"};
const CaptionText kOk = {"OK", "確定", "确定"};
const CaptionText kCancel = {"Cancel", "取消", "取消"};

QLineEdit* MakePasswordEdit(QWidget* parent, const char* name, int left, int top) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(left, top, 105, 21);
    edit->setMaxLength(kPasswordMaxLength);
    edit->setValidator(new PasswordValidator(edit));
    return edit;
}

} // namespace

TFormPasswordSetup::TFormPasswordSetup(PasswordText& buffer, int languageIndex, Prompter& prompter,
                                       const QPoint& position, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      buffer_(buffer), prompter_(prompter) {
    setObjectName(QStringLiteral("FormPasswordSetup"));
    ApplyWindowLook(this);
    setFixedSize(201, 98);

    LabelOldPassword = new QLabel(this);
    LabelOldPassword->setObjectName(QStringLiteral("LabelOldPassword"));
    LabelOldPassword->setGeometry(8, 12, 78, 21);
    LabelNewPassword = new QLabel(this);
    LabelNewPassword->setObjectName(QStringLiteral("LabelNewPassword"));
    LabelNewPassword->setGeometry(8, 36, 78, 21);

    EditOldPassword = MakePasswordEdit(this, "EditOldPassword", 88, 8);
    EditNewPassword = MakePasswordEdit(this, "EditNewPassword", 88, 32);

    ButtonOK = new QPushButton(this);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setGeometry(8, 64, 75, 25);
    ButtonOK->setDefault(true);
    connect(ButtonOK, &QPushButton::clicked, this, &TFormPasswordSetup::ButtonOKClick);

    ButtonCancel = new QPushButton(this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    ButtonCancel->setGeometry(120, 64, 75, 25);
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormPasswordSetup::ButtonCancelClick);

    setTabOrder(EditOldPassword, ButtonOK);
    setTabOrder(ButtonOK, ButtonCancel);
    setTabOrder(ButtonCancel, EditNewPassword);

    move(position);
    ApplyCaptions(languageIndex);
}

void TFormPasswordSetup::ApplyCaptions(int languageIndex) {
    const int charset = LanguageCharset(languageIndex);
    setWindowTitle(TextFor(kTitle, languageIndex));
    const std::pair<QWidget*, const CaptionText*> captions[] = {
        {LabelOldPassword, &kOldPassword},
        {LabelNewPassword, &kNewPassword},
        {ButtonOK, &kOk},
        {ButtonCancel, &kCancel},
    };
    for (const auto& [control, caption] : captions) {
        ApplyCharset(control, charset);
        SetControlCaption(control, TextFor(*caption, languageIndex));
    }
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
