#include "ConfigPageFixture.h"
#include "PackedField.h"
#include "SimPeer.h"

#include "ConfigModule.h"
#include "gui/kit/RadioGroup.h"
#include "numbers/NumberText.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

#include <algorithm>
#include <tuple>

namespace {

bool Contains(const std::vector<std::string>& commands, const std::string& command) {
    return std::find(commands.begin(), commands.end(), command) != commands.end();
}

// Sets the session locale for one test.
class SessionLocale {
public:
    explicit SessionLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~SessionLocale() { QLocale::setDefault(saved_); }

private:
    QLocale saved_;
};

// Read, Set on each tab, Read again: the page shows what it showed, although the printer
// had been changed in between; in inch and in mm, at 203 and 300 dpi.
class ConfigRoundTrip : public ConfigPageFixture,
                        public ::testing::WithParamInterface<std::tuple<int, int>> {};

TEST_P(ConfigRoundTrip, SetWritesEveryTabBackAsShown) {
    const auto [dpi, unit] = GetParam();
    Start();
    ServeOverTcp(dpi);
    window->SelectUnit(unit);
    Page()->ButtonReadClick();
    ASSERT_TRUE(prompter.prompts.empty()) << prompter.Messages().join(',').toStdString();
    const QStringList shown = PageValues();
    EXPECT_EQ(Edit("EditWidth")->text(), unit == 0 ? "4.00" : dpi == 203 ? "101.50" : "101.69");
    EXPECT_EQ(Edit("EditPrintWidthZ")->text(), Edit("EditWidth")->text());

    {
        auto lock = tcpPrinter->Lock();
        sim::ConfigSettings& s = tcpPrinter->Module<sim::ConfigModule>()->Settings();
        s = sim::ConfigSettings{};
        s.speed = 6.0;
        s.density = 2;
        s.zDarkness = 3;
        s.dHeat = 25;
        s.baudRate = "19200";
        s.parity = "Even";
    }
    for (int tab = 0; tab < 4; ++tab) {
        Page()->PageControl2->setCurrentIndex(tab);
        Page()->ButtonConfigSet->click();
    }
    EXPECT_TRUE(prompter.prompts.empty());
    Page()->ButtonReadClick();
    EXPECT_EQ(PageValues(), shown);
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_TRUE(window->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(InchAndMm, ConfigRoundTrip,
                         ::testing::Combine(::testing::Values(203, 300), ::testing::Values(0, 1)));

using ConfigPageWithPrinter = ConfigPageFixture;

TEST_F(ConfigPageWithPrinter, TypedValuesReachThePrinterAsCommandTexts) {
    Start();
    ServeOverTcp(203);
    Page()->ButtonReadClick();

    // Typed in inch, sent after switching to mm without retyping: 4 x 8.0 dots per mm.
    Edit("EditSpeed")->setText("5");
    Edit("EditWidth")->setText("4");
    Edit("EditHeight")->setText("2.5");
    Combo("ComboBoxPrintOut")->setCurrentIndex(4);
    Edit("EditCutterPiece")->setText("3");
    window->SelectUnit(1);
    EXPECT_EQ(Edit("EditWidth")->text(), "4");
    Page()->ButtonConfigSet->click();
    std::vector<std::string> sent = SentAfterGate(*tcpPrinter);
    EXPECT_TRUE(Contains(sent, "SPEED 5.0"));
    EXPECT_TRUE(Contains(sent, "SIZE 4.00 mm,2.50 mm"));
    EXPECT_TRUE(Contains(sent, "SET CUTTER 3"));
    // The stored configuration stays as read.
    EXPECT_FLOAT_EQ(Copy(window->StoredConfig().PaperWidth.value), 812.0f);

    Page()->PageControl2->setCurrentIndex(ConfigTabZ);
    Edit("EditDarknessZ")->setText("20");
    Page()->ButtonConfigSet->click();
    // The last piece may still be on its way to the printer when Set returns.
    EXPECT_TRUE(WaitUntil([&] {
        return tcpPrinter->Received().find("\x10SD20\x1eXA\x1eJUS\x1eXZ\r\n") != std::string::npos;
    }));

    // Three of four serial settings: nothing to send, and no message.
    Page()->PageControl2->setCurrentIndex(ConfigTabInterface);
    Combo("ComboBoxBaudrate")->setCurrentIndex(0);
    Page()->ButtonConfigSet->click();
    sent = SentAfterGate(*tcpPrinter);
    EXPECT_TRUE(sent.empty());
    Combo("ComboBoxBaudrate")->setCurrentIndex(8);
    Combo("ComboBoxDatabit")->setCurrentIndex(1);
    Combo("ComboBoxParity")->setCurrentIndex(3);
    Combo("ComboBoxStopBit")->setCurrentIndex(2);
    Page()->ButtonConfigSet->click();
    EXPECT_EQ(SentAfterGate(*tcpPrinter), std::vector<std::string>{"SET COM1 115,E,7,2"});
    EXPECT_TRUE(prompter.prompts.empty());

    // A bad number stops Set before anything is sent.
    Page()->PageControl2->setCurrentIndex(ConfigTabCommon);
    Edit("EditReferenceX")->setText("1x");
    Page()->ButtonConfigSet->click();
    EXPECT_TRUE(SentAfterGate(*tcpPrinter).empty());
    EXPECT_EQ(prompter.Messages(), QStringList{"'1x' is not a valid integer value"});
}

TEST_F(ConfigPageWithPrinter, ClearThenSetSendsOnlyTheSensorIntensity) {
    Start();
    ServeOverTcp(203);
    Page()->ButtonReadClick();
    ASSERT_EQ(window->StoredConfig().ResolutionValid, 1);
    Page()->ButtonClear->click();
    EXPECT_EQ(window->StoredConfig().ResolutionValid, 0);
    EXPECT_EQ(Edit("EditWidth")->text(), "");
    EXPECT_EQ(Combo("ComboBoxRibbon")->currentIndex(), -1);
    EXPECT_EQ(Edit("EditVersion")->text(), "");
    Page()->ButtonConfigSet->click();
    EXPECT_EQ(SentAfterGate(*tcpPrinter), std::vector<std::string>{"SET GAP 0"});
}

TEST_F(ConfigPageWithPrinter, StartUpShowsThePrinterOrTheDefaults) {
    Start(QLocale(QLocale::English, QLocale::UnitedStates), true);
    EXPECT_EQ(Edit("EditWidth")->text(), "4.00");
    EXPECT_EQ(Edit("EditVersion")->text().isEmpty(), false);
    EXPECT_EQ(Page()->PageControl2->currentIndex(), ConfigTabCommon);

    window.reset();
    Start();
    EXPECT_EQ(Edit("EditWidth")->text(), "");
    EXPECT_EQ(Edit("EditCuttingCounter")->text(), "0");
    EXPECT_EQ(Edit("EditControlPrefixZ")->text(), "");

    // A failed read changes nothing; LPT cannot read.
    const QStringList before = PageValues();
    Page()->ButtonRead->click();
    EXPECT_EQ(prompter.Messages(), QStringList{"Port Open Error"});
    EXPECT_EQ(PageValues(), before);
    Choose(window->ComboBoxInterFace, InterfaceLpt);
    EXPECT_FALSE(Page()->ButtonRead->isEnabled());
    Choose(window->ComboBoxInterFace, InterfaceUsb);
    EXPECT_TRUE(Page()->ButtonRead->isEnabled());
}

using ConfigPageShow = ConfigPageFixture;

TEST_F(ConfigPageShow, ShowAndCollectFollowTheRecord) {
    Start();
    PrinterConfig c = DefaultPrinterConfig();
    c.Dpi = 203.0f;
    c.DotsPerMm = 8.0f;
    SetItem(c.PaperWidth, 812.0f);
    SetItem(c.Speed, 3.1f);
    SetItem(c.PrintOut, 1);
    SetItem(c.CutterPiece, 5);
    SetItem(c.DensityBase, 0);
    SetItem(c.OffsetBase, 2);
    c.ShiftXBase = {0, 7};
    SetItem(c.CodePage, 36); // not in the table
    SetItem(c.ZPrintMode, 7);
    SetItem(c.BaudRate, 4);
    SetItem(c.ZLabelWidth, 812);

    Page()->ShowConfig(c);
    EXPECT_EQ(Edit("EditWidth")->text(), "4.00");
    EXPECT_EQ(Edit("EditSpeed")->text(), "3.09999990463257");
    EXPECT_EQ(Edit("EditCutterPiece")->text(), "");
    EXPECT_TRUE(Edit("EditDensityBase")->isHidden());
    EXPECT_FALSE(Edit("EditOffsetBase")->isHidden());
    EXPECT_EQ(Edit("EditOffsetBase")->text(), "2");
    EXPECT_TRUE(Edit("EditShiftXBase")->isHidden());
    EXPECT_EQ(Combo("ComboBoxCodePage")->currentIndex(), -1);
    EXPECT_EQ(Combo("ComboBoxPrintModeZ")->currentIndex(), -1);
    EXPECT_EQ(Combo("ComboBoxBaudrate")->currentText(), "9600");

    window->SelectUnit(1);
    EXPECT_EQ(Edit("EditWidth")->text(), "4.00"); // not converted by the unit click
    EXPECT_EQ(Find<QLabel>("LabelUnit1")->text(), "mm");
    Page()->ShowConfig(c);
    EXPECT_EQ(Edit("EditWidth")->text(), "101.50");
    SetItem(c.PrintOut, 3);
    Page()->ShowConfig(c);
    EXPECT_EQ(Edit("EditCutterPiece")->text(), "5");

    // Typing is limited to two characters, a shown value is not.
    QLineEdit* speed = Edit("EditSpeed");
    speed->clear();
    TypeInto(speed, "123");
    EXPECT_EQ(speed->text(), "12");

    PrinterConfig collected = c;
    ASSERT_TRUE(Page()->CollectConfig(collected));
    EXPECT_EQ(collected.InchUnit, 0);
    EXPECT_FLOAT_EQ(Copy(collected.Speed.value), 12.0f);
    EXPECT_FLOAT_EQ(Copy(collected.PaperWidth.value), 812.0f);
    EXPECT_EQ(Copy(collected.ZLabelWidth.value), 812);
    EXPECT_EQ(collected.CodePage.valid, 0);
    EXPECT_EQ(collected.ZPrintMode.valid, 0);
    EXPECT_EQ(Copy(collected.OffsetBase.value), 2); // shown only, never collected
    EXPECT_EQ(Copy(collected.CutterPiece.value), 5);
    EXPECT_EQ(std::memcmp(collected.Version, c.Version, sizeof c.Version), 0);
    EXPECT_TRUE(prompter.prompts.empty());

    // The first bad field stops collection; fields before it are already filled.
    Edit("EditHeight")->setText("2");
    Edit("EditGapSize")->setText("1..2");
    Edit("EditReferenceX")->setText("x");
    collected = c;
    EXPECT_FALSE(Page()->CollectConfig(collected));
    EXPECT_EQ(prompter.Messages(), QStringList{"'1..2' is not a valid floating point value"});
    EXPECT_FLOAT_EQ(Copy(collected.PaperHeight.value), 16.0f);
    EXPECT_EQ(collected.ReferenceX.valid, 0);
}

TEST(ConfigPageNumbers, StrictConversionAndTheSessionSeparator) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(FixedTwoText(101.5, german), "101,50");
    EXPECT_EQ(FixedTwoText(2000.0, german), "2000,00");
    EXPECT_EQ(FixedTwoText(12345.678, english), "12345.68");
    EXPECT_EQ(ShortestText(3.0f, english), "3");
    EXPECT_EQ(ShortestText(3.5f, german), "3,5");

    EXPECT_EQ(ParseStrictInteger("+5"), 5);
    EXPECT_EQ(ParseStrictInteger("-120"), -120);
    for (const char* bad : {"", "-", " 5", "5 ", "0x10", "1e2", "1.0", "2147483648"})
        EXPECT_FALSE(ParseStrictInteger(QString::fromLatin1(bad))) << bad;
    // Fields that allow blanks: the font form's before the number, the port's around it.
    EXPECT_EQ(ParseStrictInteger("  12", IntegerBlanks::Leading), 12);
    EXPECT_FALSE(ParseStrictInteger("12 ", IntegerBlanks::Leading));
    EXPECT_FALSE(ParseStrictInteger("\t12", IntegerBlanks::Leading));
    EXPECT_EQ(ParseStrictInteger(" \t9100 ", IntegerBlanks::Around), 9100);
    EXPECT_FALSE(ParseStrictInteger(" 91 00 ", IntegerBlanks::Around));

    EXPECT_EQ(ParseStrictReal("4.5", english), 4.5);
    EXPECT_FALSE(ParseStrictReal("4,5", english));
    EXPECT_FALSE(ParseStrictReal("1,000.5", english));
    EXPECT_FALSE(ParseStrictReal("4.5x", english));
    EXPECT_FALSE(ParseStrictReal("inf", english));
    EXPECT_EQ(ParseStrictReal("4,5", german), 4.5);
    EXPECT_FALSE(ParseStrictReal("4.5", german));

    // The speed edit takes a comma in every locale; in German it is the separator already.
    EXPECT_EQ(ParseSpeedText("3,5", english), 3.5);
    EXPECT_EQ(ParseSpeedText("3,5", german), 3.5);
    EXPECT_FALSE(ParseSpeedText("3,5,", german));
}

// Whatever the page shows reads back to the same value, in every locale Qt knows (right-to-
// left locales put direction marks around the minus sign, some write exponents as "×10^").
TEST(ConfigPageNumbers, EveryShownNumberReadsBackInEveryLocale) {
    const double fixed[] = {-2.0, -0.5, 0.0, 4.0, 101.5, 12345.678, -80.04};
    const float shortest[] = {3.0f, 3.1f, -2.5f, 6.103515625e-05f, 1.5e12f, -7.25e-7f};
    const QList<QLocale> locales =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    ASSERT_GT(locales.size(), 100);
    int failures = 0;
    for (const QLocale& locale : locales) {
        for (const double value : fixed) {
            const QString shown = FixedTwoText(value, locale);
            const std::optional<double> read = ParseStrictReal(shown, locale);
            const bool same = read && std::fabs(*read - std::round(value * 100) / 100) < 1e-9;
            EXPECT_TRUE(same || ++failures > 20)
                << locale.name().toStdString() << " " << shown.toStdString();
        }
        for (const float value : shortest) {
            const QString shown = ShortestText(value, locale);
            const std::optional<double> read = ParseStrictReal(shown, locale);
            const bool same = read && static_cast<float>(*read) == value;
            EXPECT_TRUE(same || ++failures > 20)
                << locale.name().toStdString() << " " << shown.toStdString();
        }
    }
}

TEST_F(ConfigPageShow, GermanSessionShowsAndReadsDecimalCommas) {
    SessionLocale locale(QLocale(QLocale::German, QLocale::Germany));
    Start();
    PrinterConfig c = DefaultPrinterConfig();
    c.Dpi = 203.0f;
    SetItem(c.PaperWidth, 913.5f);
    SetItem(c.Speed, 3.5f);
    SetItem(c.DSpeed, 4.5f);
    Page()->ShowConfig(c);
    EXPECT_EQ(Edit("EditWidth")->text(), "4,50");
    EXPECT_EQ(Edit("EditSpeed")->text(), "3,5");
    EXPECT_EQ(Edit("EditPrintSpeedD")->text(), "4,5");

    PrinterConfig collected = c;
    ASSERT_TRUE(Page()->CollectConfig(collected));
    EXPECT_FLOAT_EQ(Copy(collected.Speed.value), 3.5f);
    EXPECT_FLOAT_EQ(Copy(collected.DSpeed.value), 4.5f);
    EXPECT_FLOAT_EQ(Copy(collected.PaperWidth.value), 913.5f);

    Edit("EditPrintSpeedD")->setText("4.5");
    EXPECT_FALSE(Page()->CollectConfig(collected));
    EXPECT_EQ(prompter.Messages(), QStringList{"'4.5' is not a valid floating point value"});
}

TEST_F(ConfigPageShow, LanguageSwitchKeepsSelectionsAndNamesEveryControl) {
    Start();
    for (const CaptionEntry& entry : Page()->Captions())
        EXPECT_NE(window->findChild<QWidget*>(QString::fromLatin1(entry.control)), nullptr)
            << entry.control;
    Combo("ComboBoxMediaSensor")->setCurrentIndex(2);
    Combo("ComboBoxRibbon")->setCurrentIndex(0);
    Combo("ComboBoxHeadCloseZ")->setCurrentIndex(-1);
    window->SelectUnit(1);
    Choose(window->ComboBoxLanguage, 2);
    EXPECT_EQ(Combo("ComboBoxMediaSensor")->currentIndex(), 2);
    EXPECT_EQ(Combo("ComboBoxMediaSensor")->currentText(), "黑标");
    EXPECT_EQ(Combo("ComboBoxRibbon")->currentIndex(), 0);
    EXPECT_EQ(Combo("ComboBoxRibbon")->itemText(0), "");
    EXPECT_EQ(Combo("ComboBoxHeadCloseZ")->currentIndex(), -1);
    EXPECT_EQ(Find<QLabel>("LabelUnit9")->text(), "毫米");
    EXPECT_EQ(Page()->ButtonConfigSet->text(), "设定");
    Choose(window->ComboBoxLanguage, 0);
    EXPECT_EQ(Find<QLabel>("LabelSpeed")->text(), "Speed");
    EXPECT_EQ(Combo("ComboBoxThreshold")->itemText(1), "FIXED");
    EXPECT_EQ(Combo("ComboBoxMediaSensor")->currentIndex(), 2);
}

// Every caption and item is readable in full in each language, and no two controls of a
// tab or group overlap.
TEST_F(ConfigPageShow, NothingClippedOrOverlappingInAnyLanguage) {
    Start();
    window->show();
    for (int language = 0; language < 3; ++language) {
        Choose(window->ComboBoxLanguage, language);
        for (int unit = 0; unit < 2; ++unit) {
            window->SelectUnit(unit);
            for (QWidget* control : Page()->findChildren<QWidget*>()) {
                const QString name = control->objectName();
                if (!name.startsWith(QLatin1String("Label")) &&
                    !name.startsWith(QLatin1String("Edit")) &&
                    !name.startsWith(QLatin1String("Combo")) &&
                    !name.startsWith(QLatin1String("Button")) &&
                    !name.startsWith(QLatin1String("GroupBox")) &&
                    !name.startsWith(QLatin1String("PageControl")))
                    continue;
                const QFontMetrics metrics(control->font());
                int needed = 0;
                if (auto* label = qobject_cast<QLabel*>(control))
                    needed = metrics.horizontalAdvance(label->text());
                else if (auto* button = qobject_cast<QPushButton*>(control))
                    needed = metrics.horizontalAdvance(button->text()) + 8;
                else if (auto* combo = qobject_cast<QComboBox*>(control))
                    for (int i = 0; i < combo->count(); ++i)
                        needed =
                            std::max(needed, metrics.horizontalAdvance(combo->itemText(i)) + 25);
                EXPECT_LE(needed, control->width()) << name.toStdString() << " " << language;
                const QRect area = control->parentWidget()->rect();
                EXPECT_TRUE(area.contains(control->geometry())) << name.toStdString();
            }
        }
    }
    for (QWidget* parent : {Page()->TabSheet5, Page()->TabSheet6, Page()->TabSheet7,
                            Page()->TabSheet8, static_cast<QWidget*>(Page()->GroupBoxPrinterInfo),
                            static_cast<QWidget*>(Page()->GroupBoxPrintreConfig)}) {
        const QList<QWidget*> children = parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (qsizetype i = 0; i < children.size(); ++i)
            for (qsizetype j = i + 1; j < children.size(); ++j)
                EXPECT_FALSE(children[i]->geometry().intersects(children[j]->geometry()))
                    << children[i]->objectName().toStdString() << " / "
                    << children[j]->objectName().toStdString();
    }
}

} // namespace
