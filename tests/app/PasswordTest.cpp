#include "DialogAnswers.h"
#include "gui/kit/OperationHost.h"
#include "gui/password/PasswordGate.h"
#include "gui/password/PasswordSetup.h"
#include "gui/password/TFormPassword.h"
#include "gui/password/TFormPasswordSetup.h"
#include "operations/OperationCode.h"
#include "ScriptedPrompter.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A host whose printer holds `password`; records the operations it was asked to run.
class FakeHost : public OperationHost {
public:
    LinkError RunPrinterOperation(uint32_t operation, void* buffer, int32_t) override {
        operations.push_back(operation);
        auto* text = static_cast<char*>(buffer);
        if (operation == OpReadPasswordState) {
            if (readResult != LinkOk) {
                prompter.Error(&window, QString::fromLatin1(LinkErrorText(readResult)));
                return readResult;
            }
            std::snprintf(text, 1024, "%s", password.c_str());
        } else if (operation == OpSetPassword) {
            sent.push_back(text);
        }
        return LinkOk;
    }
    QPoint DialogAnchor() const override { return {240, 180}; }
    int LanguageIndex() const override { return language; }
    Prompter& Prompts() override { return prompter; }
    QWidget* HostWindow() override { return &window; }
    int ExecDialog(QDialog& dialog) override { return answers.Run(dialog); }

    std::string password;
    LinkError readResult = LinkOk;
    int language = 0;
    std::vector<uint32_t> operations;
    std::vector<std::string> sent;
    ScriptedPrompter prompter;
    DialogAnswers answers;
    QWidget window;
};

// Types into the dialog's edits and presses its buttons, in order.
struct Step {
    const char* edit; // objectName, or nullptr to press a button
    const char* text; // text to type, or the button's objectName
};

void Drive(FakeHost& host, std::vector<Step> steps, QString* title = nullptr,
           QPoint* position = nullptr) {
    host.answers.Then([steps, title, position](QDialog& dialog) {
        if (title)
            *title = dialog.windowTitle();
        if (position)
            *position = dialog.pos();
        for (const Step& step : steps) {
            if (step.edit)
                dialog.findChild<QLineEdit*>(step.edit)->setText(QString::fromUtf8(step.text));
            else
                dialog.findChild<QPushButton*>(step.text)->click();
        }
    });
}

TEST(PasswordGateTest, PrinterWithoutPasswordPassesWithoutDialog) {
    FakeHost host;
    EXPECT_EQ(PasswordGate(host), PasswordGateOutcome::NoPassword);
    EXPECT_EQ(host.operations, std::vector<uint32_t>{OpReadPasswordState});
    EXPECT_TRUE(host.prompter.prompts.empty());
}

TEST(PasswordGateTest, RightPasswordPassesAndWrongOnesAreRefused) {
    FakeHost host;
    host.password = "Secret";

    QString title;
    QPoint position;
    Drive(host, {{"EditPassword", "Secret"}, {nullptr, "ButtonOK"}}, &title, &position);
    EXPECT_EQ(PasswordGate(host), PasswordGateOutcome::Accepted);
    EXPECT_EQ(title, "Please enter your password");
    EXPECT_EQ(position, QPoint(240, 180));
    EXPECT_TRUE(host.prompter.prompts.empty());

    // A wrong password keeps the dialog open with the text; the right one then passes.
    Drive(host, {{"EditPassword", "secret"},
                 {nullptr, "ButtonOK"},
                 {"EditPassword", "Secret "},
                 {nullptr, "ButtonOK"},
                 {"EditPassword", "Secret"},
                 {nullptr, "ButtonOK"}});
    EXPECT_EQ(PasswordGate(host), PasswordGateOutcome::Accepted);
    EXPECT_EQ(host.prompter.Messages(), (QStringList{"Incorrect", "Incorrect"}));

    host.prompter.Clear();
    Drive(host, {{"EditPassword", "SECRET"}, {nullptr, "ButtonOK"}, {nullptr, "ButtonCancel"}});
    EXPECT_EQ(PasswordGate(host), PasswordGateOutcome::Cancelled);
    EXPECT_EQ(host.prompter.Messages(), QStringList{"Incorrect"});
}

TEST(PasswordGateTest, FailedReadRefusesWithItsMessage) {
    FakeHost host;
    host.password = "Secret";
    host.readResult = LinkPortOpenError;
    EXPECT_EQ(PasswordGate(host), PasswordGateOutcome::ReadFailed);
    EXPECT_EQ(host.prompter.Messages(), QStringList{"Port Open Error"});
    EXPECT_TRUE(host.answers.opened.isEmpty());
}

TEST(PasswordGateTest, ClosingTheDialogRefusesEvenWhenThePasswordIsPass) {
    FakeHost host;
    host.password = "pass";
    host.answers.Then([](QDialog& dialog) { dialog.close(); });
    EXPECT_EQ(PasswordGate(host), PasswordGateOutcome::Cancelled);

    Drive(host, {{nullptr, "ButtonCancel"}});
    EXPECT_EQ(PasswordGate(host), PasswordGateOutcome::Cancelled);
}

TEST(PasswordDialog, ReportsItsOutcomeAndLeavesThePasswordAlone) {
    ScriptedPrompter prompter;
    PasswordText buffer{};
    StorePassword(buffer, "abc");
    {
        TFormPassword dialog(buffer, 2, prompter, {10, 20});
        EXPECT_EQ(dialog.size(), QSize(172, 73));
        EXPECT_EQ(dialog.windowTitle(), "请输入密码");
        EXPECT_EQ(dialog.ButtonOK->text(), "确定");
        EXPECT_EQ(dialog.EditPassword->geometry(), QRect(8, 8, 153, 21));
        EXPECT_EQ(dialog.EditPassword->echoMode(), QLineEdit::Normal);
        EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_EQ(dialog.Outcome(), PasswordEntry::Open);
        dialog.EditPassword->setText("abc");
        dialog.ButtonOKClick();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.Outcome(), PasswordEntry::Accepted);
    }
    EXPECT_EQ(PasswordBytes(buffer), "abc");
    TFormPassword dialog(buffer, 1, prompter, {10, 20});
    EXPECT_EQ(dialog.ButtonCancel->text(), "取消");
    dialog.ButtonCancelClick();
    EXPECT_EQ(dialog.Outcome(), PasswordEntry::Cancelled);
    EXPECT_EQ(PasswordBytes(buffer), "abc");
}

TEST(PasswordDialog, EditsRefuseMoreThan1023Bytes) {
    ScriptedPrompter prompter;
    PasswordText buffer{};
    TFormPassword dialog(buffer, 0, prompter, {0, 0});
    QLineEdit* edit = dialog.EditPassword;
    edit->setText(QString(1023, QLatin1Char('a')));
    edit->end(false);
    edit->insert(QStringLiteral("b"));
    EXPECT_EQ(edit->text().size(), 1023);
    edit->setText(QString(1022, QLatin1Char('a')));
    edit->end(false);
    edit->insert(QStringLiteral("é")); // two bytes: would make 1 024
    EXPECT_EQ(edit->text().toUtf8().size(), 1022);
    edit->insert(QStringLiteral("z"));
    EXPECT_EQ(edit->text().toUtf8().size(), 1023);

    TFormPasswordSetup setup(buffer, 0, prompter, {0, 0});
    for (QLineEdit* field : {setup.EditOldPassword, setup.EditNewPassword}) {
        field->setText(QString(1023, QLatin1Char('x')));
        field->end(false);
        field->insert(QStringLiteral("y"));
        EXPECT_EQ(field->text().size(), 1023);
    }
}

TEST(PasswordSetupDialog, LayoutCaptionsAndTabOrder) {
    ScriptedPrompter prompter;
    PasswordText buffer{};
    TFormPasswordSetup dialog(buffer, 1, prompter, {30, 40});
    EXPECT_EQ(dialog.size(), QSize(201, 98));
    EXPECT_EQ(dialog.pos(), QPoint(30, 40));
    EXPECT_EQ(dialog.windowTitle(), "密碼設定");
    EXPECT_EQ(dialog.LabelOldPassword->text(), "原密碼");
    EXPECT_EQ(dialog.LabelNewPassword->text(), "新密碼");
    EXPECT_EQ(dialog.EditOldPassword->geometry(), QRect(88, 8, 105, 21));
    EXPECT_EQ(dialog.EditNewPassword->geometry(), QRect(88, 32, 105, 21));
    EXPECT_EQ(dialog.ButtonOK->geometry(), QRect(8, 64, 75, 25));
    EXPECT_EQ(dialog.ButtonCancel->geometry(), QRect(120, 64, 75, 25));
    EXPECT_EQ(dialog.EditOldPassword->nextInFocusChain(), dialog.ButtonOK);
    EXPECT_EQ(dialog.ButtonOK->nextInFocusChain(), dialog.ButtonCancel);
    EXPECT_EQ(dialog.ButtonCancel->nextInFocusChain(), dialog.EditNewPassword);
}

TEST(PasswordSetupTest, PrinterWithoutPasswordTakesAnEmptyOldPassword) {
    FakeHost host;
    QString title;
    Drive(host,
          {{"EditOldPassword", "x"},
           {"EditNewPassword", "New1"},
           {nullptr, "ButtonOK"},
           {"EditOldPassword", ""},
           {nullptr, "ButtonOK"}},
          &title);
    RunPasswordSetup(host);
    EXPECT_EQ(title, "Password Setup");
    EXPECT_EQ(host.prompter.Messages(), QStringList{"Incorrect"});
    EXPECT_EQ(host.operations, (std::vector<uint32_t>{OpReadPasswordState, OpSetPassword}));
    EXPECT_EQ(host.sent, std::vector<std::string>{"New1"});
}

TEST(PasswordSetupTest, SendsOnlyAChangedPassword) {
    FakeHost host;
    host.password = "Old";

    Drive(host, {{"EditOldPassword", "Old"}, {"EditNewPassword", "Old"}, {nullptr, "ButtonOK"}});
    RunPasswordSetup(host);
    Drive(host,
          {{"EditOldPassword", "Old"}, {"EditNewPassword", "Other"}, {nullptr, "ButtonCancel"}});
    RunPasswordSetup(host);
    EXPECT_TRUE(host.sent.empty());

    Drive(host, {{"EditOldPassword", "Old"}, {"EditNewPassword", ""}, {nullptr, "ButtonOK"}});
    RunPasswordSetup(host);
    EXPECT_EQ(host.sent, std::vector<std::string>{""});
    EXPECT_TRUE(host.prompter.prompts.empty());
}

TEST(PasswordSetupTest, ANewPasswordWithAQuoteIsRefusedInTheDialog) {
    FakeHost host;
    host.password = "Old";
    QString kept;
    bool stayedOpen = false;
    host.answers.Then([&](QDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>("EditNewPassword");
        dialog.findChild<QLineEdit*>("EditOldPassword")->setText("Old");
        edit->setText("x\"y");
        dialog.findChild<QPushButton*>("ButtonOK")->click();
        stayedOpen = dialog.isVisible();
        kept = edit->text();
        dialog.findChild<QPushButton*>("ButtonCancel")->click();
    });
    RunPasswordSetup(host);
    EXPECT_EQ(host.prompter.Messages(),
              QStringList{"The new password cannot contain a double quote (\")."});
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(kept, "x\"y");
    EXPECT_TRUE(host.sent.empty());
}

TEST(PasswordSetupTest, FailedReadOpensNoDialog) {
    FakeHost host;
    host.readResult = LinkReceivingError;
    RunPasswordSetup(host);
    EXPECT_EQ(host.operations, std::vector<uint32_t>{OpReadPasswordState});
    EXPECT_EQ(host.prompter.Messages(), QStringList{"Data Receiving Error"});
}

} // namespace
