#include "MainWindowFixture.h"
#include "Screenshot.h"

#include "gui/config/ConfigPage.h"

#include <QTabWidget>

namespace {

using ConfigPageScreenshots = MainWindowFixture;

// The configuration page with each of its tabs after the start-up read, in each language
// and both units.
TEST_F(ConfigPageScreenshots, EveryTabInEachLanguageAndUnit) {
    Start(QLocale(QLocale::English, QLocale::UnitedStates), true);
    const char* const tabs[] = {"common", "z", "d", "interface"};
    const char* const units[] = {"inch", "mm"};
    for (int language = 0; language < 3; ++language) {
        Choose(window->ComboBoxLanguage, language);
        for (int unit = 0; unit < 2; ++unit) {
            window->SelectUnit(unit);
            window->ConfigGroup->ShowConfig(window->StoredConfig());
            for (int tab = 0; tab < 4; ++tab) {
                window->ConfigGroup->PageControl2->setCurrentIndex(tab);
                SaveScreenshot(*window,
                               QStringLiteral("config_%1_%2_%3")
                                   .arg(QLatin1String(tabs[tab]), QLatin1String(units[unit]),
                                        LanguageSuffix(language)));
            }
        }
    }
    EXPECT_TRUE(prompter.prompts.empty());
}

} // namespace
