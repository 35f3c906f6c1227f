#include "functions/PrinterFunctionGroup.h"
#include "MainWindowFixture.h"

#include "ModalDriver.h"
#include "PasswordModule.h"
#include "PtyServer.h"
#include "TcpServer.h"

#include <QApplication>
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

TEST_F(MainWindowWithPrinter, PasswordSetupChangesThePrinterPassword) {
    Start(QLocale(QLocale::English, QLocale::UnitedStates), true);
    SetPrinterPassword(printer, "Secret");

    QString title;
    QPoint position;
    const QPoint anchor = window->DialogAnchor();
    WhenModalOpens([&](QWidget* dialog) {
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        position = dialog->pos();
        dialog->findChild<QLineEdit*>("EditOldPassword")->setText("secret");
        dialog->findChild<QLineEdit*>("EditNewPassword")->setText("Other");
        dialog->findChild<QPushButton*>("ButtonOK")->click();
        EXPECT_TRUE(dialog->isVisible());
        dialog->findChild<QLineEdit*>("EditOldPassword")->setText("Secret");
        dialog->findChild<QPushButton*>("ButtonOK")->click();
    });
    window->FunctionGroup->ButtonPassword->click();
    EXPECT_EQ(title, "Password Setup");
    EXPECT_EQ(position, anchor);
    EXPECT_EQ(prompter.Messages(), QStringList{"Incorrect"});
    EXPECT_EQ(PrinterPassword(printer), "Other");
    EXPECT_TRUE(window->isEnabled());

    // The gate now asks for the new one.
    prompter.Clear();
    WhenModalOpens([](QWidget* dialog) {
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QLineEdit*>("EditPassword")->setText("Other");
        dialog->findChild<QPushButton*>("ButtonOK")->click();
    });
    EXPECT_TRUE(window->PasswordGate());
    WhenModalOpens([](QWidget* dialog) {
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QPushButton*>("ButtonCancel")->click();
    });
    EXPECT_FALSE(window->PasswordGate());
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(MainWindowWithPrinter, GateAndPasswordSetupOnAPrinterWithoutPassword) {
    Start(QLocale(QLocale::English, QLocale::UnitedStates), true);
    EXPECT_TRUE(window->PasswordGate());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // Same new password as the old (empty) one: nothing is sent.
    WhenModalOpens([](QWidget* dialog) {
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QPushButton*>("ButtonOK")->click();
    });
    printer.ClearReceived();
    window->FunctionGroup->ButtonPassword->click();
    EXPECT_FALSE(StartsWithReceived(printer, "DIAGNOSTIC PASSWORD"));
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(MainWindowWithPrinter, PasswordSetupWithoutPrinterShowsTheLinkError) {
    Start();
    window->FunctionGroup->ButtonPassword->click();
    EXPECT_EQ(prompter.Messages(), QStringList{"Port Open Error"});
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(window->PasswordGate());
    EXPECT_EQ(prompter.Messages(), (QStringList{"Port Open Error", "Port Open Error"}));
}

TEST_F(MainWindowWithPrinter, EthernetSetupRunsBehindTheGate) {
    Start(QLocale(QLocale::English, QLocale::UnitedStates), true);
    SetPrinterPassword(printer, "Secret");

    // Cancel: nothing is sent and no password is asked.
    QString opened;
    WhenModalOpens([&](QWidget* dialog) {
        ASSERT_NE(dialog, nullptr);
        opened = dialog->objectName();
        dialog->findChild<QPushButton*>("ButtonCancel")->click();
    });
    window->FunctionGroup->ButtonEthernet->click();
    EXPECT_EQ(opened, "TFormEthernetSetup");
    EXPECT_FALSE(StartsWithReceived(printer, "NET NAME"));
    EXPECT_TRUE(window->isEnabled());

    // A new printer name goes out after the password.
    bool asked = false;
    WhenModalOpens([&](QWidget* dialog) {
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QLineEdit*>("EditPrinterName")->setText("DOCK");
        WhenModalOpens([&](QWidget* gate) {
            ASSERT_NE(gate, nullptr);
            asked = gate->objectName() == "FormPassword";
            gate->findChild<QLineEdit*>("EditPassword")->setText("Secret");
            gate->findChild<QPushButton*>("ButtonOK")->click();
        });
        dialog->findChild<QPushButton*>("ButtonSetPrinterName")->click();
    });
    window->FunctionGroup->ButtonEthernet->click();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(Received(printer, "NET NAME \"DOCK\""));
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(MainWindowWithPrinter, SetupOnEthernetOpensTheNetworkDialog) {
    Start();
    Choose(window->ComboBoxInterFace, InterfaceEthernet);
    QString opened;
    WhenModalOpens([&](QWidget* dialog) {
        ASSERT_NE(dialog, nullptr);
        opened = dialog->objectName();
        dialog->findChild<QLineEdit*>("EditIPAddr")->setText("127.0.0.1");
        dialog->findChild<QLineEdit*>("EditPort")->setText("9101");
        dialog->findChild<QPushButton*>("ButtonExit")->click();
    });
    window->ButtonInterFace->click();
    EXPECT_EQ(opened, "TFormNetSetup");
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
