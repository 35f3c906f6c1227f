#include "MainWindowFixture.h"

#include "ClockModule.h"
#include "gui/calibration/TFormSensorCalibrate.h"
#include "gui/functions/PrinterFunctionGroup.h"
#include "gui/functions/TFormDumpTextSetup.h"
#include "gui/functions/TFormRTCSetup.h"
#include "gui/kit/OperationHost.h"
#include "gui/kit/RadioGroup.h"
#include "MaintenanceModule.h"
#include "MemoryModule.h"
#include "PasswordModule.h"
#include "ScriptedPrompter.h"
#include "SensorModule.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <deque>
#include <functional>

namespace {

// The main window on the virtual printer, its modal dialogs answered by scripted steps.
class PrinterFunctions : public MainWindowFixture {
protected:
    void StartWithPrinter(bool attached = true) {
        Start(QLocale(QLocale::English, QLocale::UnitedStates), attached);
        window->SetDialogRunner([this](QDialog& dialog) {
            opened.push_back(dialog.objectName());
            if (answers.empty())
                return static_cast<int>(QDialog::Rejected);
            const auto answer = std::move(answers.front());
            answers.pop_front();
            answer(dialog);
            return dialog.result();
        });
        printer.ClearReceived();
        ClearCommands();
    }

    void ClearCommands() { seen = printer.Commands().size(); }

    // Commands the printer received since the last ClearCommands.
    std::vector<std::string> Sent() const {
        const std::vector<std::string> all = printer.Commands();
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(seen, all.size())), all.end()};
    }
    bool WasSent(const std::string& command) const {
        const auto sent = Sent();
        return std::find(sent.begin(), sent.end(), command) != sent.end();
    }

    void SetPassword(const std::string& password) {
        auto lock = printer.Lock();
        printer.Module<sim::PasswordModule>()->password = password;
    }

    template <class T> static T* In(QDialog& dialog, const char* name) {
        T* control = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    static void Click(QDialog& dialog, const char* name) { In<QPushButton>(dialog, name)->click(); }
    static void Type(QDialog& dialog, const char* name, const QString& text) {
        In<QLineEdit>(dialog, name)->setText(text);
    }

    std::deque<std::function<void(QDialog&)>> answers;
    QStringList opened;
    size_t seen = 0;
};

// Lets events (the calibration timer) run until the condition holds, at most `ms`.
bool ProcessEventsUntil(const std::function<bool()>& condition, int ms = 3000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
}

TEST_F(PrinterFunctions, DirectButtonsSendTheirCommandsWithoutPassword) {
    StartWithPrinter();
    SetPassword("Secret");
    window->FunctionGroup->ButtonSelfTest->click();
    window->FunctionGroup->ButtonRestPrinter->click();
    window->FunctionGroup->ButtonIgnoreAuto->click();
    window->FunctionGroup->ButtonLineModeOut->click();
    EXPECT_EQ(Sent(), (std::vector<std::string>{"SELFTEST", "\x1b!R", "\x1b!C", "\x1bZ\r\n"}));
    EXPECT_EQ(printer.resets, 1);
    EXPECT_EQ(printer.autoBasSkips, 1);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_TRUE(window->isEnabled());

    // Without a printer each says so once.
    AttachPrinter(false);
    window->FunctionGroup->ButtonSelfTest->click();
    EXPECT_EQ(prompter.Messages(), QStringList{"Port Open Error"});
}

TEST_F(PrinterFunctions, FactoryDefaultPassesTheGate) {
    StartWithPrinter();
    window->FunctionGroup->ButtonInitial->click();
    EXPECT_TRUE(WasSent("INITIALPRINTER"));
    EXPECT_TRUE(opened.isEmpty());

    SetPassword("Secret");
    ClearCommands();
    answers.push_back([](QDialog& d) { Click(d, "ButtonCancel"); });
    window->FunctionGroup->ButtonInitial->click();
    EXPECT_EQ(opened, QStringList{"FormPassword"});
    EXPECT_FALSE(WasSent("INITIALPRINTER"));

    answers.push_back([](QDialog& d) {
        Type(d, "EditPassword", "Secret");
        Click(d, "ButtonOK");
    });
    window->FunctionGroup->ButtonInitial->click();
    EXPECT_TRUE(WasSent("INITIALPRINTER"));
    EXPECT_EQ(printer.Module<sim::MaintenanceModule>()->factoryDefaults, 2);
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(PrinterFunctions, TestPageNeedsAReadConfigurationAndBothSizes) {
    StartWithPrinter(false);
    window->FunctionGroup->ButtonTestPatern->click();
    EXPECT_EQ(prompter.Messages(), QStringList{"Please read printer config first"});

    // A printer was read: 8 dots per mm, 203 dots per inch; the page gives 4 inches.
    PrinterConfig& stored = window->StoredConfig();
    stored.ResolutionValid = 1;
    stored.Dpi = 203.0f;
    stored.DotsPerMm = 8.0f;
    float width = -1;
    float height = -1;
    window->FunctionGroup->SetConfigCollector([&](LabelSettings& into) {
        into.PaperWidth = {width >= 0, width};
        into.PaperHeight = {height >= 0, height};
        return true;
    });
    prompter.Clear();
    window->FunctionGroup->ButtonTestPatern->click();
    width = 4 * 203.0f;
    window->FunctionGroup->ButtonTestPatern->click();
    EXPECT_EQ(prompter.Messages(),
              (QStringList{"Please Entry Paper Width", "Please Entry Paper Height"}));

    // A field that does not convert: the page has said so, nothing more is said or sent.
    AttachPrinter(true);
    window->FunctionGroup->SetConfigCollector([](LabelSettings&) { return false; });
    prompter.Clear();
    window->FunctionGroup->ButtonTestPatern->click();
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_TRUE(printer.Commands().empty());

    // 812 dots at 8 per mm make a label 101.5 mm wide.
    height = 400;
    window->FunctionGroup->SetConfigCollector([&](LabelSettings& into) {
        into.PaperWidth = {1, width};
        into.PaperHeight = {1, height};
        return true;
    });
    window->FunctionGroup->ButtonTestPatern->click();
    EXPECT_TRUE(prompter.prompts.empty());
    auto lock = printer.Lock();
    const auto& label = printer.Module<sim::MaintenanceModule>()->lastPrintedLabel;
    ASSERT_FALSE(label.empty());
    EXPECT_EQ(label.front(), "BOX 16,16,796,384,4");
}

TEST_F(PrinterFunctions, CalibrateSensorWithoutPrinterStillOpensTheDialog) {
    StartWithPrinter(false);
    QString unit;
    answers.push_back([&](QDialog& d) {
        unit = In<QLabel>(d, "LabelUnit1")->text();
        Click(d, "ButtonCancel");
    });
    window->FunctionGroup->ButtonSensorCalibrate->click();
    EXPECT_EQ(opened, QStringList{"FormSensorCalibrate"});
    EXPECT_EQ(prompter.Messages(), QStringList{"Port Open Error"});
    EXPECT_EQ(unit, "inch"); // 200 dots per inch by default
    EXPECT_TRUE(printer.Received().empty());

    // In millimetres the default resolution is 11 dots per unit.
    window->RadioGroupUnit->ItemButton(1)->click();
    answers.push_back([&](QDialog& d) {
        unit = In<QLabel>(d, "LabelUnit2")->text();
        d.close();
    });
    window->FunctionGroup->ButtonSensorCalibrate->click();
    EXPECT_EQ(unit, "mm");
}

TEST_F(PrinterFunctions, AutomaticCalibrationSendsTheSizesInDots) {
    StartWithPrinter();
    answers.push_back([](QDialog& d) {
        Type(d, "EditHeight", "abc");
        Click(d, "ButtonCalib");
        EXPECT_TRUE(d.result() != QDialog::Accepted);
        Type(d, "EditHeight", "1.5");
        Type(d, "EditGap", "0.1");
        Click(d, "ButtonCalib");
    });
    window->FunctionGroup->ButtonSensorCalibrate->click();
    EXPECT_EQ(prompter.Messages(), QStringList{"'abc' is not a valid floating point value"});
    EXPECT_TRUE(WasSent("GAPDETECT 304,20"));
    EXPECT_TRUE(WasSent("SET SENSOR_REF MANUAL"));
}

TEST_F(PrinterFunctions, CalibrationSizesUseTheSessionsDecimalSeparator) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    StartWithPrinter();
    answers.push_back([](QDialog& d) {
        Type(d, "EditHeight", "1,5");
        Type(d, "EditGap", "0,1");
        Click(d, "ButtonCalib");
    });
    window->FunctionGroup->ButtonSensorCalibrate->click();
    QLocale::setDefault(previous);
    EXPECT_TRUE(prompter.Messages().isEmpty());
    EXPECT_TRUE(WasSent("GAPDETECT 304,20"));
}

TEST_F(PrinterFunctions, GuidedMeasurementOnGapMediaWithTheTimer) {
    StartWithPrinter();
    auto* sensor = printer.Module<sim::SensorModule>();
    const auto place = [&](sim::SensorModule::Media media) {
        auto lock = printer.Lock();
        sensor->underSensor = media;
    };
    const auto reading = [&](sim::SensorModule::Media media, int level) {
        return QString::number(sensor->GapReading(media, level));
    };
    answers.push_back([&](QDialog& d) {
        auto& dialog = static_cast<TFormSensorCalibrate&>(d);
        EXPECT_EQ(dialog.RadioGroupMediaType->ItemIndex(), 0); // read from the printer
        EXPECT_FALSE(dialog.Timer1->isActive());
        dialog.ButtonManualCalibration->click();
        EXPECT_EQ(dialog.Step(), 1);
        EXPECT_TRUE(dialog.Timer1->isActive());
        EXPECT_EQ(dialog.LabelMessage->text(), "Put linner please.");
        EXPECT_EQ(dialog.ButtonManualCalibration->text(), "Next");

        place(sim::SensorModule::Liner);
        EXPECT_TRUE(ProcessEventsUntil([&] {
            return dialog.EditCurrentReading->text() == reading(sim::SensorModule::Liner, 3);
        }));
        dialog.ButtonManualCalibration->click();
        EXPECT_EQ(dialog.LabelMessage->text(), "Put label please");

        place(sim::SensorModule::Label);
        dialog.ComboBoxSnesorInt->setCurrentIndex(15);
        EXPECT_TRUE(ProcessEventsUntil([&] {
            return dialog.EditCurrentReading->text() == reading(sim::SensorModule::Label, 15);
        }));
        dialog.ButtonManualCalibration->click();
        EXPECT_EQ(dialog.Step(), 0);
        EXPECT_FALSE(dialog.Timer1->isActive());
        EXPECT_EQ(dialog.LabelMessage->text(), "Calibration is complete");
        EXPECT_EQ(dialog.ButtonManualCalibration->text(), "Calibrate");
        EXPECT_EQ(dialog.EditInten->text(), "15");
        EXPECT_EQ(dialog.EditReference->text(), "667");
        EXPECT_EQ(dialog.LabelLabelValue->text(), reading(sim::SensorModule::Label, 15));
        EXPECT_EQ(dialog.LabelGapValue->text(), reading(sim::SensorModule::Liner, 15));
        EXPECT_TRUE(dialog.LabelGapValue->isVisibleTo(&dialog));
        dialog.ButtonSet->click();
    });
    window->FunctionGroup->ButtonSensorCalibrate->click();
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_TRUE(WasSent("SET GAP 15,667"));
    auto lock = printer.Lock();
    EXPECT_EQ(sensor->IntensityOf(sim::SensorModule::GapMode), 15);
    EXPECT_EQ(sensor->Threshold(), 667);
}

TEST_F(PrinterFunctions, GuidedMeasurementFailuresKeepTheDialogOpen) {
    StartWithPrinter();
    answers.push_back([&](QDialog& d) {
        auto& dialog = static_cast<TFormSensorCalibrate&>(d);
        dialog.RadioGroupMediaType->SetItemIndex(3);
        dialog.ButtonManualCalibration->click();
        EXPECT_EQ(dialog.Step(), 0);
        // Continuous media: one reading; the label readings are the same at every level
        // above the low end, so the search stops at the last level.
        dialog.RadioGroupMediaType->SetItemIndex(2);
        dialog.ButtonManualCalibration->click();
        EXPECT_EQ(dialog.Step(), 0);
        EXPECT_FALSE(dialog.EditInten->text().isEmpty());
        EXPECT_TRUE(dialog.LabelLabelValue->isVisibleTo(&dialog));
        // The printer goes away: the first reading fails.
        AttachPrinter(false);
        dialog.RadioGroupMediaType->SetItemIndex(0);
        dialog.ButtonManualCalibration->click();
        EXPECT_EQ(dialog.Step(), 0);
        Type(d, "EditReference", "");
        Click(d, "ButtonSet");
        Click(d, "ButtonCancel");
    });
    window->FunctionGroup->ButtonSensorCalibrate->click();
    EXPECT_EQ(prompter.Messages(), (QStringList{"Can't calibration", "Data Receiving Error",
                                                "'' is not a valid integer value"}));
    EXPECT_FALSE(WasSent("SET SENSOR_REF MANUAL"));
}

// A host whose sensor reads take a while and let events run meanwhile, as the transport
// does while it waits; counts how deeply reads nest.
class SlowSensorHost : public OperationHost {
public:
    LinkError RunPrinterOperation(uint32_t, void*, int32_t) override { return LinkOk; }
    LinkError RunQuietOperation(uint32_t, void* buffer, std::optional<QPoint>) override {
        ++reads;
        ++depth;
        deepest = std::max(deepest, depth);
        auto* levels = static_cast<SensorLevels*>(buffer);
        levels->count = 4;
        std::fill_n(levels->readings, 4, 100 * reads);
        if (onRead)
            onRead();
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 1200)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        --depth;
        return LinkOk;
    }
    QPoint DialogAnchor() const override { return {}; }
    int LanguageIndex() const override { return language; }
    Prompter& Prompts() override { return prompter; }
    QWidget* HostWindow() override { return nullptr; }
    int ExecDialog(QDialog& dialog) override { return dialog.exec(); }

    ScriptedPrompter prompter;
    std::function<void()> onRead;
    int language = 0;
    int reads = 0;
    int depth = 0;
    int deepest = 0;
};

TEST(SensorCalibrateDialog, TicksAndClicksDuringAReadStartNoSecondOne) {
    SlowSensorHost host;
    SensorCalibration record{};
    record.dotsPerUnit = 8;
    TFormSensorCalibrate dialog(record, host, {0, 0});
    EXPECT_EQ(dialog.LabelUnit1->text(), "mm");
    dialog.ButtonManualCalibration->click(); // the first reading; the timer starts
    ASSERT_EQ(dialog.Step(), 1);
    host.onRead = [&] { dialog.ButtonManualCalibration->click(); };
    EXPECT_TRUE(ProcessEventsUntil([&] { return host.reads >= 3; }, 5000));
    EXPECT_EQ(host.deepest, 1);
    EXPECT_EQ(dialog.Step(), 1);
    dialog.done(QDialog::Rejected);
    EXPECT_FALSE(dialog.Timer1->isActive());
    EXPECT_EQ(record.confirmed, 0);
}

TEST(SensorCalibrateDialog, SpeaksTheLanguageOfTheWindow) {
    SlowSensorHost host;
    host.language = 1;
    SensorCalibration record{};
    record.dotsPerUnit = 8;
    record.mediaType = MediaAutoSelection;
    TFormSensorCalibrate dialog(record, host, {0, 0});
    EXPECT_EQ(dialog.LabelUnit1->text(), "公厘");
    EXPECT_EQ(dialog.RadioGroupMediaType->ItemText(3), "自動選擇");
    dialog.ButtonManualCalibration->click();
    EXPECT_EQ(host.prompter.Messages(), QStringList{"無法偵測"});
    EXPECT_EQ(host.reads, 0);

    PrinterClock clock{};
    uint8_t set = 1;
    TFormRTCSetup simplified(clock, set, 2, host.prompter, {}, {0, 0});
    EXPECT_EQ(simplified.LabelHour->text(), "时");
    EXPECT_EQ(simplified.windowTitle(), "RTC Setup");
    EXPECT_EQ(set, 0);
}

TEST_F(PrinterFunctions, ClockWithoutPrinterShowsZerosAndSendsNothing) {
    StartWithPrinter(false);
    QStringList shown;
    answers.push_back([&](QDialog& d) {
        for (const char* name :
             {"EditYear", "EditMonth", "EditDate", "EditHour", "EditMinute", "EditSecond"})
            shown << In<QLineEdit>(d, name)->text();
        // Only "Set" and "Cancel" close it.
        d.show();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&d, &escape);
        d.close();
        EXPECT_TRUE(d.isVisible());
        Click(d, "ButtonSetSysTime");
        EXPECT_EQ(In<QLineEdit>(d, "EditYear")->text(), "2026");
        Click(d, "ButtonSet");
        EXPECT_FALSE(d.isVisible());
    });
    window->FunctionGroup->ButtonRTCSetTime->click();
    EXPECT_EQ(shown, QStringList(6, "0"));
    EXPECT_EQ(prompter.Messages(), QStringList{"Port Open Error"});
    EXPECT_EQ(static_cast<int>(window->Records().Clock.year), 2026);
    EXPECT_EQ(static_cast<int>(window->Records().Clock.second), 7);
}

TEST_F(PrinterFunctions, ClockIsReadEditedAndWrittenWithTheYearInTwoDigits) {
    StartWithPrinter();
    QString year;
    answers.push_back([&](QDialog& d) {
        year = In<QLineEdit>(d, "EditYear")->text();
        Click(d, "ButtonSetSysTime");
        // A bad edit stops "Set" with the values before it stored; Cancel sends nothing.
        Type(d, "EditDate", "x");
        Click(d, "ButtonSet");
        Click(d, "ButtonCancel");
    });
    window->FunctionGroup->ButtonRTCSetTime->click();
    EXPECT_EQ(year, "2026");
    EXPECT_EQ(prompter.Messages(), QStringList{"'x' is not a valid integer value"});
    EXPECT_EQ(static_cast<int>(window->Records().ClockSet), 0);
    EXPECT_FALSE(WasSent("@YEAR = \"26\""));

    prompter.Clear();
    answers.push_back([&](QDialog& d) {
        Click(d, "ButtonSetSysTime");
        Type(d, "EditMonth", "13");
        Click(d, "ButtonSet");
    });
    window->FunctionGroup->ButtonRTCSetTime->click();
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_TRUE(WasSent("@YEAR = \"26\""));
    EXPECT_TRUE(WasSent("@MONTH = \"13\""));
    EXPECT_TRUE(WasSent("@SECOND = \"7\""));
}

TEST_F(PrinterFunctions, DumpTextModes) {
    StartWithPrinter();
    // Cancel sends nothing; the dialog starts on "Print Label" with the name locked.
    answers.push_back([](QDialog& d) {
        auto& dialog = static_cast<TFormDumpTextSetup&>(d);
        EXPECT_EQ(dialog.RadioGroupDumpMode->ItemIndex(), 0);
        EXPECT_FALSE(dialog.EditFileName->isEnabled());
        EXPECT_EQ(dialog.EditFileName->text(), "Dump.txt");
        dialog.RadioGroupDumpMode->ItemButton(1)->click();
        EXPECT_TRUE(dialog.EditFileName->isEnabled());
        dialog.RadioGroupDumpMode->ItemButton(2)->click();
        EXPECT_FALSE(dialog.EditFileName->isEnabled());
        Click(d, "ButtonCancel");
    });
    window->FunctionGroup->ButtonDump->click();
    EXPECT_TRUE(Sent().empty());

    answers.push_back([](QDialog& d) { Click(d, "ButtonOK"); });
    window->FunctionGroup->ButtonDump->click();
    EXPECT_EQ(Sent(), std::vector<std::string>{"DUMP_TEXT PRINT,"});

    ClearCommands();
    answers.push_back([](QDialog& d) {
        static_cast<TFormDumpTextSetup&>(d).RadioGroupDumpMode->ItemButton(1)->click();
        Type(d, "EditFileName", "LOG1.TXT");
        Click(d, "ButtonOK");
    });
    window->FunctionGroup->ButtonDump->click();
    EXPECT_EQ(Sent(), std::vector<std::string>{"DUMP_TEXT SAVE 1000,E,\"LOG1.TXT\","});
    EXPECT_TRUE(prompter.prompts.empty());

    // "Save to File", Cancel in the load prompt: nothing fetched.
    const auto saveToFile = [](QDialog& d) {
        static_cast<TFormDumpTextSetup&>(d).RadioGroupDumpMode->ItemButton(2)->click();
        Click(d, "ButtonOK");
    };
    answers.push_back(saveToFile);
    prompter.confirmAnswers = {false};
    window->FunctionGroup->ButtonDump->click();
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].text, "Press OK to load file.");
    EXPECT_EQ(printer.Module<sim::MemoryModule>()->fileRequests, 0);

    // OK: fetched and saved where the user chose.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dump.out"));
    answers.push_back(saveToFile);
    prompter.Clear();
    prompter.confirmAnswers = {true};
    prompter.fileAnswers = {path};
    window->FunctionGroup->ButtonDump->click();
    ASSERT_EQ(prompter.prompts.size(), 2u);
    EXPECT_EQ(prompter.prompts[1].fileOptions.filter, "*.*|*.*");
    EXPECT_TRUE(prompter.prompts[1].fileOptions.defaultExtension.isEmpty());
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll().toStdString(), printer.Module<sim::MaintenanceModule>()->dumpText);

    // A place that cannot be written is said so.
    answers.push_back(saveToFile);
    prompter.Clear();
    prompter.confirmAnswers = {true};
    prompter.fileAnswers = {dir.filePath(QStringLiteral("missing/dump.out"))};
    window->FunctionGroup->ButtonDump->click();
    EXPECT_TRUE(prompter.Messages().value(0).startsWith("Cannot save the file "));

    // A dump too large for the buffer: the fetch fails, no save dialog.
    {
        auto lock = printer.Lock();
        printer.Module<sim::MaintenanceModule>()->dumpText.assign(1048575, 'x');
    }
    answers.push_back(saveToFile);
    prompter.Clear();
    prompter.confirmAnswers = {true};
    window->FunctionGroup->ButtonDump->click();
    EXPECT_EQ(prompter.Messages(), QStringList{"Data Receiving Error"});
    EXPECT_EQ(prompter.prompts.size(), 2u);
}

} // namespace
