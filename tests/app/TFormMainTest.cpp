#include "gui/config/ConfigPage.h"
#include "MainWindowFixture.h"

#include "gui/kit/RadioGroup.h"
#include "ScriptedBackend.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <cstring>

namespace {

using MainWindow = MainWindowFixture;

QRect GeometryIn(const QWidget* control, const QWidget* ancestor) {
    return QRect(control->mapTo(ancestor, QPoint(0, 0)), control->size());
}

TEST_F(MainWindow, StartsWithDefaultsAndNoMessageWhenNoPrinterAnswers) {
    Start();
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_EQ(window->windowTitle(), "Tarnvik 1.40");
    EXPECT_EQ(window->pos(), QPoint(60, 60));
    EXPECT_EQ(window->size(), QSize(692, 591));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(window->PageControl1->currentIndex(), 0);
    EXPECT_TRUE(window->EditPrinterStatus->text().isEmpty());
    EXPECT_TRUE(window->EditPrinterStatus->isReadOnly());
    EXPECT_EQ(window->ComboBoxInterFace->currentIndex(), 0);
    EXPECT_FALSE(window->ButtonInterFace->isEnabled());
    EXPECT_EQ(window->RadioGroupUnit->ItemIndex(), 0);
    const PrinterConfig defaults = DefaultPrinterConfig();
    EXPECT_EQ(std::memcmp(&window->StoredConfig(), &defaults, sizeof defaults), 0);
    EXPECT_EQ(window->StartupDirectory(), QDir::toNativeSeparators(QDir::currentPath()));
    EXPECT_TRUE(window->Timer1->isActive());
    EXPECT_EQ(window->Timer1->interval(), 1000);

    // The link reads the window's own records, which hold the defaults.
    EXPECT_EQ(link.Settings().com, &window->Com());
    EXPECT_EQ(link.Settings().lpt, &window->Lpt());
    EXPECT_EQ(link.Settings().net, &window->Net());
    EXPECT_STREQ(window->Com().portName, "COM1");
    EXPECT_EQ(window->Com().baudIndex, 2);
    EXPECT_EQ(window->Com().hardwareIndex, 1);
    EXPECT_STREQ(window->Lpt().text, "LPT1");
    EXPECT_STREQ(window->Net().address, "");
    EXPECT_EQ(window->Net().port, 9100);
    EXPECT_EQ(window->StatusPanelText(0), "LPT1");
    EXPECT_EQ(window->StatusPanelText(1), "COM1 9600,N,8,1 RTS ");
    EXPECT_TRUE(window->StatusPanelText(2).isEmpty());

    // The progress window opens a third into the window.
    EXPECT_EQ(QPoint(progress.Left(), progress.Top()), window->DialogAnchor());
    EXPECT_FALSE(progress.IsShown());
}

TEST_F(MainWindow, ProbesTheUsbPrinterSilentlyAtStartUp) {
    Start(QLocale(QLocale::English, QLocale::UnitedStates), true);
    EXPECT_FALSE(usb->opened.empty());
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_TRUE(window->EditPrinterStatus->text().isEmpty());
}

TEST_F(MainWindow, PlacesTheControlsWhereTheWindowIsDesigned) {
    Start();
    struct Place {
        const char* name;
        QRect rect; // in the window's client area, or in the page for page controls
        bool onPage;
    };
    const Place places[] = {
        {"GroupBoxLanguage", {7, 8, 162, 41}, false},
        {"RadioGroupUnit", {176, 8, 129, 41}, false},
        {"GroupBoxInterFace", {472, 8, 209, 41}, false},
        {"ComboBoxInterFace", {480, 20, 105, 21}, false},
        {"ButtonInterFace", {600, 20, 75, 24}, false},
        {"PageControl1", {4, 56, 685, 513}, false},
        {"StatusBar1", {0, 572, 692, 19}, false},
        {"GroupBoxPrinterFunction", {0, 0, 113, 385}, true},
        {"ButtonEthernet", {8, 56, 97, 25}, true},
        {"ButtonPassword", {8, 344, 97, 25}, true},
        {"GroupBoxPrinterStatus", {0, 392, 113, 89}, true},
        {"EditPrinterStatus", {8, 416, 97, 21}, true},
        {"ButtonGetStatus", {8, 450, 97, 25}, true},
    };
    for (const Place& place : places) {
        const QWidget* control = Find<QWidget>(place.name);
        ASSERT_NE(control, nullptr);
        const QWidget* origin = place.onPage ? window->TabSheet1 : window.get();
        EXPECT_EQ(GeometryIn(control, origin), place.rect) << place.name;
    }
    const int widths[] = {80, 200, 250, 200};
    int left = 0;
    for (int i = 0; i < 4; ++i) {
        auto* panel = Find<QLabel>(QStringLiteral("StatusBar1Panel%1").arg(i).toLatin1());
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->x(), left);
        EXPECT_EQ(panel->width(), widths[i] - 2);
        left += widths[i];
    }
    // The first page holds everything it is designed to hold, below the tabs.
    window->show();
    QApplication::processEvents();
    const QRect page = window->TabSheet1->rect();
    EXPECT_GE(page.height(), 481);
    EXPECT_GE(page.width(), 120 + 553);
}

TEST_F(MainWindow, NamesTheFourPagesAndStartsOnTheFirst) {
    Start();
    QTabWidget* pages = window->PageControl1;
    ASSERT_EQ(pages->count(), 4);
    const char* const names[] = {"TabSheet1", "TabSheet2", "TabSheet3", "TabSheet4"};
    const char* const captions[] = {"Printer Configuration", "File Manager", "Bitmap Font Manager",
                                    "Command Tool"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pages->widget(i)->objectName(), names[i]);
        EXPECT_EQ(pages->tabText(i), captions[i]);
    }
}

TEST_F(MainWindow, InterfaceChoiceSetsTheThreeButtons) {
    Start();
    struct Expect {
        int item;
        bool setup, status, read;
    };
    const Expect expectations[] = {
        {1, true, true, true}, {2, true, false, false}, {0, false, true, true},
        {3, true, true, true}, {2, true, false, false}, {1, true, true, true},
    };
    for (const Expect& expect : expectations) {
        Choose(window->ComboBoxInterFace, expect.item);
        EXPECT_EQ(window->ButtonInterFace->isEnabled(), expect.setup) << expect.item;
        EXPECT_EQ(window->ButtonGetStatus->isEnabled(), expect.status) << expect.item;
        EXPECT_EQ(window->ConfigGroup->ButtonRead->isEnabled(), expect.read) << expect.item;
        EXPECT_EQ(window->SelectedInterface(), expect.item);
    }
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_TRUE(usb->opened.empty());
}

TEST_F(MainWindow, ClockPanelShowsShortDateAndLongTime) {
    Start(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_TRUE(window->StatusPanelText(3).isEmpty());
    // The running timer writes the panel (its second shortened here to a millisecond).
    window->Timer1->setInterval(1);
    QElapsedTimer waited;
    waited.start();
    while (window->StatusPanelText(3).isEmpty() && waited.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(window->StatusPanelText(3), "3/4/26 5:06:07 AM");

    now = now.addSecs(61);
    window->Timer1Timer();
    EXPECT_EQ(window->StatusPanelText(3), "3/4/26 5:07:08 AM");
}

TEST_F(MainWindow, ClockFollowsTheLocaleWithoutTimeZone) {
    now.setTime(QTime(17, 6, 7));
    const std::pair<const char*, const char*> expectations[] = {
        {"de_DE", "04.03.26 17:06:07"},
        {"zh_TW", "2026/3/4 下午5:06:07"},
        {"zh_CN", "2026/3/4 17:06:07"},
    };
    for (const auto& [locale, text] : expectations) {
        window.reset();
        Start(QLocale(QString::fromLatin1(locale)));
        window->Timer1Timer();
        EXPECT_EQ(window->StatusPanelText(3), QString::fromUtf8(text)) << locale;
    }
}

TEST_F(MainWindow, DialogAnchorIsAThirdIntoTheOuterWindow) {
    Start();
    window->move(100, 200);
    const QRect outer = window->frameGeometry();
    EXPECT_EQ(window->DialogAnchor(),
              QPoint(outer.left() + outer.width() / 3, outer.top() + outer.height() / 3));
}

TEST_F(MainWindow, GetStatusShowsTheWordAndKeepsItWhenTheQueryFails) {
    Start(QLocale(QLocale::English, QLocale::UnitedStates), true);
    printer.statusByte = 0x21; // head open while printing
    // While the query runs the window takes no input.
    std::vector<bool> enabledWhileWriting;
    link.SetProcessEventsHook([&] { enabledWhileWriting.push_back(window->isEnabled()); });
    window->ButtonGetStatus->click();
    link.SetProcessEventsHook({});
    EXPECT_FALSE(enabledWhileWriting.empty());
    EXPECT_EQ(std::count(enabledWhileWriting.begin(), enabledWhileWriting.end(), true), 0);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_EQ(window->EditPrinterStatus->text(), "Head Open");
    EXPECT_EQ(window->Status().flags[StatusHeadOpen], 1);
    EXPECT_EQ(window->Status().flags[StatusPrinting], 1);

    // The window takes no input while the failed query's message is up, and is enabled
    // afterwards.
    bool enabledDuringMessage = true;
    prompter.whileShown = [&](const ScriptedPrompter::Prompt&) {
        enabledDuringMessage = window->isEnabled();
    };
    AttachPrinter(false);
    printer.statusByte = 0x00;
    window->ButtonGetStatus->click();
    EXPECT_EQ(prompter.Messages(), QStringList{"Port Open Error"});
    EXPECT_FALSE(enabledDuringMessage);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(window->EditPrinterStatus->text(), "Head Open");
    // The status kept for configuration files is not touched by the failed query either.
    EXPECT_EQ(window->Status().flags[StatusHeadOpen], 1);
}

TEST_F(MainWindow, StatusQueryFailingHalfWayChangesNothing) {
    Start(QLocale(QLocale::English, QLocale::UnitedStates), true);
    window->ButtonGetStatus->click();
    ASSERT_EQ(window->EditPrinterStatus->text(), "Ready");

    // Over a serial link the status byte comes, then the extended query cannot be written.
    auto script = std::make_shared<LinkScript>();
    script->reads = {"\x21"};
    script->acceptPieces = 1;
    link.SetBackendFactory(
        InterfaceCom, [script](PrinterLink&) { return std::make_unique<ScriptedBackend>(script); });
    Choose(window->ComboBoxInterFace, InterfaceCom);
    window->ButtonGetStatus->click();
    EXPECT_EQ(prompter.Messages(), QStringList{"Data Transmission Error"});
    EXPECT_EQ(window->EditPrinterStatus->text(), "Ready");
    const PrinterStatus clear{};
    EXPECT_EQ(std::memcmp(&window->Status(), &clear, sizeof clear), 0);
    EXPECT_EQ(script->pieces.size(), 1u);
}

TEST_F(MainWindow, GetStatusOnTheParallelPortIsRefused) {
    Start();
    Choose(window->ComboBoxInterFace, 2);
    // The button is disabled; the handler itself still reports that nothing can be read.
    window->ButtonGetStatusClick();
    EXPECT_EQ(prompter.Messages(), QStringList{"Data Receiving Error"});
    EXPECT_TRUE(window->EditPrinterStatus->text().isEmpty());
}

TEST_F(MainWindow, StatusWordsInEachLanguage) {
    struct Case {
        uint8_t status;
        uint8_t extendedFifth;
        const char* words[3];
    };
    const Case cases[] = {
        {0x00, 0x00, {"Ready", "待機中", "待机中"}},
        {0x21, 0x00, {"Head Open", "印表機開啟", "打印机开启"}},
        {0x30, 0x00, {"Pause", "暫停", "暂停"}},
        {0x40, 0x00, {"Ready", "待機中", "待机中"}},
        {0x20, 0x00, {"Printting", "列印中", "打印中"}},
        {0x08, 0x0c, {"Ribbon Encode Error", "碳帶轉速錯誤", "碳带转速错误"}},
        {0x08, 0x04, {"Out of Ribbon", "碳帶用盡", "碳带用尽"}},
        {0x08, 0x00, {"Ready", "待機中", "待机中"}},
        {0x0a, 0x00, {"Paper Jam", "紙張卡紙", "纸张卡纸"}},
        {0x06, 0x00, {"Out of Paper", "紙張用盡", "纸张用尽"}},
        {0x84, 0x0c, {"Other Error", "其他錯誤", "其它错误"}},
    };
    Start(QLocale(QLocale::English, QLocale::UnitedStates), true);
    for (int language = 0; language < 3; ++language) {
        Choose(window->ComboBoxLanguage, language);
        for (const Case& c : cases) {
            printer.statusByte = c.status;
            printer.extendedStatus[4] = c.extendedFifth;
            window->ButtonGetStatus->click();
            EXPECT_EQ(window->EditPrinterStatus->text(), QString::fromUtf8(c.words[language]))
                << "status " << int(c.status) << " language " << language;
            // Read from its start, however long the word.
            EXPECT_EQ(window->EditPrinterStatus->cursorPosition(), 0);
        }
    }
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(MainWindow, SetupOpensTheDialogOfTheChosenLink) {
    Start();
    // USB has no settings: nothing opens.
    window->ButtonInterFaceClick();
    EXPECT_TRUE(dialogs.opened.isEmpty());

    Choose(window->ComboBoxInterFace, 1);
    dialogs.Then([](QDialog& dialog) {
        dialog.findChild<QComboBox*>("ComboBoxComPort")->setCurrentIndex(2);
        dialog.findChild<QComboBox*>("ComboBoxHdShak")->setCurrentIndex(0);
        dialog.findChild<QComboBox*>("ComboBoxSWShak")->setCurrentIndex(1);
        dialog.findChild<QPushButton*>("ButtonSet")->click();
    });
    window->ButtonInterFace->click();
    EXPECT_EQ(window->StatusPanelText(1), "COM3 9600,N,8,1 None Xon/Xoff");
    EXPECT_EQ(window->findChild<QLabel*>("StatusBar1Panel1")->toolTip(),
              "COM3 9600,N,8,1 None Xon/Xoff");

    Choose(window->ComboBoxInterFace, 2);
    dialogs.Then([](QDialog& dialog) {
        dialog.findChild<QComboBox*>("ComboBoxLPT")->setCurrentIndex(1);
        dialog.findChild<QPushButton*>("ButtonSet")->click();
    });
    window->ButtonInterFace->click();
    EXPECT_EQ(dialogs.opened, (QStringList{"FormRs232Setup", "FormLPTSetup"}));
    EXPECT_EQ(window->StatusPanelText(0), "LPT2");
    EXPECT_STREQ(window->Lpt().text, "LPT2");
}

TEST_F(MainWindow, EthernetPrinterCanBePointedAtForTheDemo) {
    Start();
    window->UseEthernetPrinter(QStringLiteral("127.0.0.1"), 9100);
    EXPECT_STREQ(window->Net().address, "127.0.0.1");
    EXPECT_EQ(window->Net().port, 9100);
    EXPECT_EQ(window->SelectedInterface(), InterfaceEthernet);
    EXPECT_TRUE(window->ButtonInterFace->isEnabled());
    EXPECT_TRUE(window->ButtonGetStatus->isEnabled());
}

} // namespace
