#include "Screenshot.h"
#include "MainWindowFixture.h"

#include "functions/TFormPassword.h"
#include "functions/TFormPasswordSetup.h"
#include "link/TFormLPTSetup.h"
#include "link/TFormRs232Setup.h"

#include <QLineEdit>
#include <QPushButton>

#include <functional>

namespace {

using Screenshots = MainWindowFixture;

TEST_F(Screenshots, MainWindowAndDialogsInEachLanguage) {
    Start(QLocale(QLocale::English, QLocale::UnitedStates), true);
    printer.statusByte = 0x20;
    for (int language = 0; language < 3; ++language) {
        const QString suffix = LanguageSuffix(language);
        Choose(window->ComboBoxLanguage, language);
        window->ButtonGetStatus->click();
        window->Timer1Timer();
        SaveScreenshot(*window, QStringLiteral("main_") + suffix);

        TFormRs232Setup serial(window->Com(), language, nullptr, {});
        SaveScreenshot(serial, QStringLiteral("rs232_setup_") + suffix);
        TFormLPTSetup parallel(window->Lpt(), language, nullptr);
        SaveScreenshot(parallel, QStringLiteral("lpt_setup_") + suffix);

        PasswordText password{};
        TFormPassword ask(password, language, prompter, {0, 0});
        ask.EditPassword->setText(QStringLiteral("Secret"));
        SaveScreenshot(ask, QStringLiteral("password_") + suffix);
        TFormPasswordSetup change(password, language, prompter, {0, 0});
        SaveScreenshot(change, QStringLiteral("password_setup_") + suffix);
    }
    EXPECT_TRUE(prompter.prompts.empty());
}

} // namespace
