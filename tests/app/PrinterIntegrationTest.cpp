#include "gui/functions/PrinterFunctionGroup.h"
#include "MainWindowFixture.h"

#include "PasswordModule.h"
#include "PtyServer.h"
#include "TcpServer.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cstring>

namespace {

using MainWindowWithPrinter = MainWindowFixture;

bool Received(const sim::VirtualPrinter& printer, const std::string& command) {
    const std::vector<std::string> commands = printer.Commands();
    return std::find(commands.begin(), commands.end(), command) != commands.end();
}

bool StartsWithReceived(const sim::VirtualPrinter& printer, const std::string& prefix) {
    for (const std::string& command : printer.Commands()) {
        if (command.rfind(prefix, 0) == 0)
            return true;
    }
    return false;
}

std::string PrinterPassword(sim::VirtualPrinter& printer) {
    auto lock = printer.Lock();
    return printer.Module<sim::PasswordModule>()->password;
}

void SetPrinterPassword(sim::VirtualPrinter& printer, const std::string& password) {
    auto lock = printer.Lock();
    printer.Module<sim::PasswordModule>()->password = password;
}

TEST_F(MainWindowWithPrinter, StartUpReadsTheConfigurationOfTheUsbPrinter) {
    Start(QLocale(QLocale::English, QLocale::UnitedStates), true);
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(StartsWithReceived(printer, "\x1bZ"));
    const PrinterConfig& config = window->StoredConfig();
    EXPECT_EQ(config.ResolutionValid, 1);
    EXPECT_FLOAT_EQ(config.Dpi, 203.0f);
    EXPECT_GT(config.Edition, 100);
    // The read ran without the progress window.
    EXPECT_FALSE(progress.IsShown());
}

TEST_F(MainWindowWithPrinter, StartUpKeepsTheDefaultsWhenTheReadFails) {
    printer.RemoveReportKey("DPI");
    Start(QLocale(QLocale::English, QLocale::UnitedStates), true);
    EXPECT_TRUE(prompter.prompts.empty());
    const PrinterConfig defaults = DefaultPrinterConfig();
    EXPECT_EQ(std::memcmp(&window->StoredConfig(), &defaults, sizeof defaults), 0);
}

TEST_F(MainWindowWithPrinter, StartUpWithoutPrinterKeepsTheDefaults) {
    Start();
    const PrinterConfig defaults = DefaultPrinterConfig();
    EXPECT_EQ(std::memcmp(&window->StoredConfig(), &defaults, sizeof defaults), 0);
    EXPECT_TRUE(printer.Commands().empty());
}

void Type(QDialog& dialog, const char* edit, const char* text) {
    dialog.findChild<QLineEdit*>(edit)->setText(QString::fromLatin1(text));
}

void Press(QDialog& dialog, const char* button) {
    dialog.findChild<QAbstractButton*>(button)->click();
}

TEST_F(MainWindowWithPrinter, PasswordSetupChangesThePrinterPassword) {
    Start(QLocale(QLocale::English, QLocale::UnitedStates), true);
    SetPrinterPassword(printer, "Secret");

    QString title;
    QPoint position;
    const QPoint anchor = window->DialogAnchor();
    dialogs.Then([&](QDialog& dialog) {
        title = dialog.windowTitle();
        position = dialog.pos();
        Type(dialog, "EditOldPassword", "secret");
        Type(dialog, "EditNewPassword", "Other");
        Press(dialog, "ButtonOK");
        EXPECT_TRUE(dialog.isVisible());
        Type(dialog, "EditOldPassword", "Secret");
        Press(dialog, "ButtonOK");
    });
    window->FunctionGroup->ButtonPassword->click();
    EXPECT_EQ(title, "Password Setup");
    EXPECT_EQ(position, anchor);
    EXPECT_EQ(prompter.Messages(), QStringList{"Incorrect"});
    EXPECT_EQ(PrinterPassword(printer), "Other");
    EXPECT_TRUE(window->isEnabled());

    // The gate now asks for the new one.
    prompter.Clear();
    dialogs
        .Then([](QDialog& dialog) {
            Type(dialog, "EditPassword", "Other");
            Press(dialog, "ButtonOK");
        })
        .Then([](QDialog& dialog) { Press(dialog, "ButtonCancel"); });
    EXPECT_EQ(window->PasswordGate(), PasswordGateOutcome::Accepted);
    EXPECT_EQ(window->PasswordGate(), PasswordGateOutcome::Cancelled);
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(MainWindowWithPrinter, GateAndPasswordSetupOnAPrinterWithoutPassword) {
    Start(QLocale(QLocale::English, QLocale::UnitedStates), true);
    EXPECT_EQ(window->PasswordGate(), PasswordGateOutcome::NoPassword);
    EXPECT_TRUE(dialogs.opened.isEmpty());

    // Same new password as the old (empty) one: nothing is sent.
    dialogs.Then([](QDialog& dialog) { Press(dialog, "ButtonOK"); });
    printer.ClearReceived();
    window->FunctionGroup->ButtonPassword->click();
    EXPECT_FALSE(StartsWithReceived(printer, "DIAGNOSTIC PASSWORD"));
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(MainWindowWithPrinter, PasswordSetupWithoutPrinterShowsTheLinkError) {
    Start();
    window->FunctionGroup->ButtonPassword->click();
    EXPECT_EQ(prompter.Messages(), QStringList{"Port Open Error"});
    EXPECT_EQ(window->PasswordGate(), PasswordGateOutcome::ReadFailed);
    EXPECT_EQ(prompter.Messages(), (QStringList{"Port Open Error", "Port Open Error"}));
    EXPECT_TRUE(dialogs.opened.isEmpty());
}

// "Ethernet Setup": what was read fills the dialog, which opens at the anchor while the
// window is enabled; Cancel sends nothing and asks for no password.
TEST_F(MainWindowWithPrinter, EthernetSetupCancelSendsNothing) {
    Start(QLocale(QLocale::English, QLocale::UnitedStates), true);
    SetPrinterPassword(printer, "Secret");
    dialogs.Then([&](QDialog& dialog) {
        EXPECT_TRUE(window->isEnabled());
        EXPECT_FALSE(progress.IsShown());
        EXPECT_EQ(dialog.findChild<QLineEdit*>("EditIP")->text(), "192.168.1.100");
        Type(dialog, "EditPrinterName", "DOCK");
        Press(dialog, "ButtonCancel");
    });
    printer.ClearReceived();
    window->FunctionGroup->ButtonEthernet->click();
    EXPECT_EQ(dialogs.opened, QStringList{"FormEthernetSetup"});
    EXPECT_FALSE(StartsWithReceived(printer, "NET "));
    EXPECT_STREQ(window->NetConfig().macAddress, "00:1B:82:00:00:01");
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(MainWindowWithPrinter, EthernetSetupSendsTheConfirmedChangeAfterTheGate) {
    Start(QLocale(QLocale::English, QLocale::UnitedStates), true);
    SetPrinterPassword(printer, "Secret");
    dialogs
        .Then([](QDialog& dialog) {
            Press(dialog, "RadioGroupDHCPItem1");
            Type(dialog, "EditIP", "10.8.0.2");
            Type(dialog, "EditMask", "255.255.0.0");
            Type(dialog, "EditGateWay", "10.8.0.1");
            Press(dialog, "ButtonSetIP");
        })
        .Then([](QDialog& dialog) {
            Type(dialog, "EditPassword", "Secret");
            Press(dialog, "ButtonOK");
        });
    window->FunctionGroup->ButtonEthernet->click();
    EXPECT_EQ(dialogs.opened, (QStringList{"FormEthernetSetup", "FormPassword"}));
    EXPECT_TRUE(Received(printer, "NET IP \"10.8.0.2\",\"255.255.0.0\",\"10.8.0.1\""));
    EXPECT_FALSE(StartsWithReceived(printer, "NET NAME"));
    // The window keeps what was edited for the next run.
    EXPECT_STREQ(window->NetConfig().ipAddress, "10.8.0.2");

    // "Set Printer Name" sends only the name; a refused gate sends nothing.
    dialogs
        .Then([](QDialog& dialog) {
            Type(dialog, "EditPrinterName", "LINE-2");
            Press(dialog, "ButtonSetPrinterName");
        })
        .Then([](QDialog& dialog) {
            Type(dialog, "EditPassword", "Secret");
            Press(dialog, "ButtonOK");
        })
        .Then([](QDialog& dialog) { Press(dialog, "ButtonSetPrinterName"); })
        .Then([](QDialog& dialog) { Press(dialog, "ButtonCancel"); });
    printer.ClearReceived();
    window->FunctionGroup->ButtonEthernet->click();
    EXPECT_TRUE(Received(printer, "NET NAME \"LINE-2\""));
    EXPECT_FALSE(StartsWithReceived(printer, "NET IP"));
    printer.ClearReceived();
    window->FunctionGroup->ButtonEthernet->click();
    EXPECT_FALSE(StartsWithReceived(printer, "NET "));
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(MainWindowWithPrinter, EthernetSetupRefusesAPrinterNameLatin1CannotHold) {
    Start(QLocale(QLocale::Chinese, QLocale::Taiwan), true);
    dialogs.Then([](QDialog& dialog) {
        // The euro sign has no Latin-1 byte: refused, the dialog stays, then Cancel.
        dialog.findChild<QLineEdit*>("EditPrinterName")->setText(QStringLiteral("LINE\u20AC2"));
        Press(dialog, "ButtonSetPrinterName");
        Press(dialog, "ButtonCancel");
    });
    printer.ClearReceived();
    window->FunctionGroup->ButtonEthernet->click();
    EXPECT_EQ(prompter.Messages(),
              QStringList{QString::fromUtf8("印表機名稱含有無法儲存的字元。")});
    EXPECT_EQ(dialogs.opened, QStringList{"FormEthernetSetup"});
    EXPECT_FALSE(StartsWithReceived(printer, "NET "));
    EXPECT_EQ(window->NetConfig().apply, 0);
}

TEST_F(MainWindowWithPrinter, EthernetSetupWithoutPrinterShowsTheLinkErrorAndNoDialog) {
    Start();
    window->FunctionGroup->ButtonEthernet->click();
    EXPECT_EQ(prompter.Messages(), QStringList{"Port Open Error"});
    EXPECT_TRUE(dialogs.opened.isEmpty());
    EXPECT_STREQ(window->NetConfig().ipAddress, "0.0.0.0");
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(MainWindowWithPrinter, SetupOnEthernetOpensTheNetworkDialog) {
    Start();
    Choose(window->ComboBoxInterFace, InterfaceEthernet);
    dialogs.Then([](QDialog& dialog) {
        Type(dialog, "EditIPAddr", "127.0.0.1");
        Type(dialog, "EditPort", "9101");
        Press(dialog, "ButtonExit");
    });
    window->ButtonInterFace->click();
    EXPECT_EQ(dialogs.opened, QStringList{"FormNetSetup"});
    EXPECT_STREQ(window->Net().address, "127.0.0.1");
    EXPECT_EQ(window->Net().port, 9101);
    EXPECT_EQ(window->StatusPanelText(0), "LPT1");
}

} // namespace

namespace {

// The window's printer served on a real link: TCP on 127.0.0.1, or a pseudo-terminal that
// the serial settings name.
TEST_F(MainWindowWithPrinter, GetStatusOverTcpAndTheSerialLink) {
    Start();
    {
        auto lock = printer.Lock();
        printer.statusByte = 0x10;
    }
    sim::TcpServer tcp(printer);
    ASSERT_TRUE(tcp.Start());
    window->UseEthernetPrinter(QStringLiteral("127.0.0.1"), tcp.Port());
    window->ButtonGetStatus->click();
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_EQ(window->EditPrinterStatus->text(), "Pause");

    sim::PtyServer pty(printer);
    ASSERT_TRUE(pty.Start());
    ASSERT_LT(pty.SlavePath().size(), sizeof window->Com().portName);
    std::snprintf(window->Com().portName, sizeof window->Com().portName, "%s",
                  pty.SlavePath().c_str());
    window->Com().hardwareIndex = 0;
    Choose(window->ComboBoxInterFace, InterfaceCom);
    {
        auto lock = printer.Lock();
        printer.statusByte = 0x02;
    }
    window->ButtonGetStatus->click();
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_EQ(window->EditPrinterStatus->text(), "Paper Jam");
}

} // namespace
