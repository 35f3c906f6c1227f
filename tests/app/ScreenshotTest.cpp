#include "MainWindowFixture.h"

#include "functions/TFormPassword.h"
#include "functions/TFormPasswordSetup.h"
#include "link/TFormLPTSetup.h"
#include "link/TFormRs232Setup.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSet>

#include <functional>

namespace {

// Where the pictures go: $TARNVIK_SCREENSHOT_DIR (scripts/screenshots.sh points it at
// docs/screenshots), else a folder in the build tree.
QString ScreenshotDir() {
    const QString dir = qEnvironmentVariable("TARNVIK_SCREENSHOT_DIR");
    return dir.isEmpty() ? QDir::current().absoluteFilePath(QStringLiteral("screenshots")) : dir;
}

const char* const kLanguageSuffix[] = {"en", "zh_TW", "zh_CN"};

// Saves the widget as shown on screen and checks that something was drawn.
void Save(QWidget& widget, const QString& name) {
    widget.show();
    QApplication::processEvents();
    const QPixmap picture = widget.grab();
    ASSERT_FALSE(picture.isNull()) << name.toStdString();
    EXPECT_EQ(picture.size(), widget.size()) << name.toStdString();
    const QImage image = picture.toImage();
    // Not a flat background: text and frames were painted.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 8) << name.toStdString();
    ASSERT_TRUE(QDir().mkpath(ScreenshotDir()));
    const QString path = QDir(ScreenshotDir()).absoluteFilePath(name + QStringLiteral(".png"));
    EXPECT_TRUE(picture.save(path)) << path.toStdString();
    widget.hide();
}

using Screenshots = MainWindowFixture;

TEST_F(Screenshots, MainWindowAndDialogsInEachLanguage) {
    Start(QLocale(QLocale::English, QLocale::UnitedStates), true);
    printer.statusByte = 0x20;
    for (int language = 0; language < 3; ++language) {
        const QString suffix = QString::fromLatin1(kLanguageSuffix[language]);
        Choose(window->ComboBoxLanguage, language);
        window->ButtonGetStatus->click();
        window->Timer1Timer();
        Save(*window, QStringLiteral("main_") + suffix);

        TFormRs232Setup serial(window->Com(), language, nullptr, {});
        Save(serial, QStringLiteral("rs232_setup_") + suffix);
        TFormLPTSetup parallel(window->Lpt(), language, nullptr);
        Save(parallel, QStringLiteral("lpt_setup_") + suffix);

        PasswordText password{};
        TFormPassword ask(password, language, prompter, {0, 0});
        ask.EditPassword->setText(QStringLiteral("Secret"));
        Save(ask, QStringLiteral("password_") + suffix);
        TFormPasswordSetup change(password, language, prompter, {0, 0});
        Save(change, QStringLiteral("password_setup_") + suffix);
    }
    EXPECT_TRUE(prompter.prompts.empty());
}

} // namespace
