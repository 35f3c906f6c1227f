#pragma once

#include "DialogAnswers.h"
#include "FakeUsbDeviceSource.h"
#include "gui/main/TFormMain.h"
#include "link/PrinterLink.h"
#include "link/ProgressWindow.h"
#include "network/LanClient.h"
#include "ScriptedPrompter.h"
#include "VirtualPrinter.h"

#include <QComboBox>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << '{' << texts.join(QStringLiteral(", ")).toStdString() << '}';
}

// A main window on a link whose USB bus holds the virtual printer (attached or not).
class MainWindowFixture : public ::testing::Test {
protected:
    MainWindowFixture();
    ~MainWindowFixture() override;

    void Start(const QLocale& locale = QLocale(QLocale::English, QLocale::UnitedStates),
               bool printerAttached = false);

    template <class T> T* Find(const char* name) const {
        T* control = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    // Puts the printer on the USB bus, or takes it off (an empty bus).
    void AttachPrinter(bool attached);

    // Picks a list item as the user does: selection, then the list's change event.
    static void Choose(QComboBox* combo, int item);

    // A file of these bytes in the test's own folder `dir`; its path.
    QString MakeFile(const QString& name, const QByteArray& bytes);
    static QByteArray ReadFile(const QString& path);

    sim::VirtualPrinter printer; // a complete printer of the standard profile
    PrinterLink link;
    // The network dialog looks for printers on loopback only, where none answers.
    LanClientSettings lan;
    ProgressWindow progress;
    ScriptedPrompter prompter;
    // Answers the dialogs the window runs.
    DialogAnswers dialogs;
    FakeUsbDeviceSource* usb = nullptr; // the bus now in the link
    QDateTime now{QDate(2026, 3, 4), QTime(5, 6, 7)};
    std::unique_ptr<TFormMain> window;
    QTemporaryDir dir;
};
