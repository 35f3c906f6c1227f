#include "Screenshot.h"
#include "MainWindowFixture.h"

#include "gui/calibration/TFormSensorCalibrate.h"
#include "gui/functions/PrinterFunctionGroup.h"
#include "gui/functions/TFormDumpTextSetup.h"
#include "gui/functions/TFormRTCSetup.h"
#include "gui/link/TFormLPTSetup.h"
#include "gui/link/TFormRs232Setup.h"
#include "gui/password/TFormPassword.h"
#include "gui/password/TFormPasswordSetup.h"

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

        SaveScreenshot(*window->FunctionGroup, QStringLiteral("function_group_") + suffix);
        PrinterClock clock{2026, 3, 4, 5, 6, 7};
        uint8_t clockSet = 0;
        TFormRTCSetup rtc(clock, clockSet, language, prompter, {}, {0, 0});
        SaveScreenshot(rtc, QStringLiteral("rtc_setup_") + suffix);
        DumpTextChoice dump{};
        TFormDumpTextSetup dumpDialog(dump, prompter, {0, 0});
        SaveScreenshot(dumpDialog, QStringLiteral("dump_text_setup_") + suffix);
        SensorCalibration record{};
        record.dotsPerUnit = 203;
        record.threshold = 667;
        record.intensity = 15;
        TFormSensorCalibrate calibrate(record, *window, {0, 0});
        SaveScreenshot(calibrate, QStringLiteral("sensor_calibrate_") + suffix);
    }
    EXPECT_TRUE(prompter.prompts.empty());
}

} // namespace
