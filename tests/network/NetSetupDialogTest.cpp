#include "gui/network/TFormEthernetSetup.h"
#include "gui/network/TFormNetSetup.h"

#include "LanPrinters.h"
#include "network/LanSetup.h"
#include "RecordingPrompter.h"
#include "Screenshot.h"
#include "SimPeer.h"
#include "VirtualPrinter.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QTreeWidget>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

template <class T> T* Find(QWidget& dialog, const char* name) {
    T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

void Click(QWidget& dialog, const char* name) {
    Find<QAbstractButton>(dialog, name)->click();
}

// Two printers on 127.0.0.2 and 127.0.0.3; the dialog's broadcast and multicast rounds
// both go to the two of them.
class NetSetupDialog : public ::testing::Test {
protected:
    void SetUp() override {
        LanPrinterPair pair;
        std::string error;
        ASSERT_TRUE(pair.Start(LanIdentity("00:1B:82:00:00:01", "FRONT"),
                               LanIdentity("00:1B:82:00:00:02", "DOCK"), &error))
            << error;
        front = std::move(pair.first);
        dock = std::move(pair.second);
        {
            auto lock = dock->printer.Lock();
            dock->net->UseFixedAddress("10.1.2.3", "255.0.0.0", "10.0.0.1");
            dock->net->lanStatus = 3;
            dock->net->lanErrorFlags = 0x41;
        }
        lan = pair.ClientSettings(200, 300);
        std::memset(&settings, 0, sizeof settings);
        settings.port = 9100;
    }

    std::unique_ptr<TFormNetSetup> Dialog(int language = 0) {
        auto dialog = std::make_unique<TFormNetSetup>(settings, language, prompter, lan);
        dialog->SetUrlOpener([this](const QUrl& url) {
            opened.push_back(url);
            return true;
        });
        return dialog;
    }

    QTreeWidget* List(TFormNetSetup& dialog) { return Find<QTreeWidget>(dialog, "ListView1"); }

    // The row of the printer with this name (the first of its two).
    int RowOf(TFormNetSetup& dialog, const QString& name) {
        QTreeWidget* list = List(dialog);
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            if (list->topLevelItem(i)->text(0) == name)
                return i;
        return -1;
    }

    void Select(TFormNetSetup& dialog, int row) {
        QTreeWidget* list = List(dialog);
        list->clearSelection();
        list->topLevelItem(row)->setSelected(true);
    }

    std::unique_ptr<SimulatedLanPrinter> front;
    std::unique_ptr<SimulatedLanPrinter> dock;
    LanClientSettings lan;
    NetSettings settings;
    RecordingPrompter prompter;
    std::vector<QUrl> opened;
};

} // namespace

TEST_F(NetSetupDialog, OpeningListsEveryAnswerOfBothRounds) {
    auto dialog = Dialog();
    EXPECT_EQ(dialog->windowTitle(), "TCP/IP Setup");
    EXPECT_EQ(dialog->size(), QSize(622, 303));
    EXPECT_EQ(dialog->pos(), QPoint(211, 155));
    EXPECT_EQ(dialog->SequenceNumber(), 1);
    dialog->Prepare();
    EXPECT_EQ(dialog->SequenceNumber(), 2);
    QTreeWidget* list = List(*dialog);
    ASSERT_EQ(list->topLevelItemCount(), 4);
    const QTreeWidgetItem* header = list->headerItem();
    EXPECT_EQ(header->text(0), "Printer Name");
    EXPECT_EQ(header->text(1), "MAC");
    EXPECT_EQ(header->text(2), "IP Address");
    EXPECT_EQ(header->text(3), "Model Name");
    EXPECT_EQ(header->text(4), "Status");
    int fronts = 0;
    int docks = 0;
    for (int i = 0; i < 4; ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        if (item->text(0) == "FRONT") {
            ++fronts;
            EXPECT_EQ(item->text(1), "00:1B:82:00:00:01");
            EXPECT_EQ(item->text(2), "192.168.1.100");
            EXPECT_EQ(item->text(4), "Ready");
        } else {
            ++docks;
            EXPECT_EQ(item->text(0), "DOCK");
            EXPECT_EQ(item->text(2), "10.1.2.3");
            EXPECT_EQ(item->text(4), "Carriage Open");
        }
        EXPECT_EQ(item->text(3), "TV-SIM");
    }
    EXPECT_EQ(fronts, 2);
    EXPECT_EQ(docks, 2);
    // An empty address takes the first row's, and that row is selected.
    auto* address = Find<QLineEdit>(*dialog, "EditIPAddr");
    EXPECT_EQ(address->text(), list->topLevelItem(0)->text(2));
    EXPECT_TRUE(list->topLevelItem(0)->isSelected());
    EXPECT_EQ(address->maxLength(), 63);
    EXPECT_EQ(Find<QLineEdit>(*dialog, "EditPort")->text(), "9100");
    EXPECT_EQ(Find<QLabel>(*dialog, "LabelIPAddress")->text(), "IP Address/Printer Name");
    EXPECT_TRUE(Find<QPushButton>(*dialog, "ButtonDiscover")->isEnabled());

    Click(*dialog, "ButtonDiscover");
    EXPECT_EQ(list->topLevelItemCount(), 4);
    EXPECT_EQ(dialog->SequenceNumber(), 3);
    EXPECT_EQ(front->responder->Received().back()[13], 2);
}

TEST_F(NetSetupDialog, AKnownAddressIsKeptAndNoPrinterMeansTheDefaultProposal) {
    std::strcpy(settings.address, "label-printer");
    auto dialog = Dialog();
    dialog->Prepare();
    EXPECT_EQ(Find<QLineEdit>(*dialog, "EditIPAddr")->text(), "label-printer");

    front->responder->Stop();
    dock->responder->Stop();
    settings.address[0] = '\0';
    auto empty = Dialog();
    empty->Prepare();
    EXPECT_EQ(List(*empty)->topLevelItemCount(), 0);
    EXPECT_EQ(Find<QLineEdit>(*empty, "EditIPAddr")->text(), "192.168.1.100");
    // Only Exit writes the link settings.
    EXPECT_STREQ(settings.address, "");
}

TEST_F(NetSetupDialog, ClickingARowCopiesItsAddress) {
    std::strcpy(settings.address, "x");
    auto dialog = Dialog();
    dialog->Prepare();
    const int row = RowOf(*dialog, "DOCK");
    ASSERT_GE(row, 0);
    Select(*dialog, row);
    dialog->ListView1Click();
    EXPECT_EQ(Find<QLineEdit>(*dialog, "EditIPAddr")->text(), "10.1.2.3");
}

TEST_F(NetSetupDialog, FactoryDefaultAnsweredNoSendsNothingAndKeepsTheList) {
    auto dialog = Dialog();
    dialog->Prepare();
    Select(*dialog, RowOf(*dialog, "DOCK"));
    front->responder->ClearReceived();
    dock->responder->ClearReceived();
    prompter.answers = {false};
    Click(*dialog, "ButtonFactoryDefault");
    EXPECT_EQ(prompter.questions, QStringList{"Are you sure?"});
    // A marker request for no printer: once it arrived, anything sent before it has too.
    LanClient marker(lan);
    ASSERT_TRUE(SendLanFactoryDefault(marker, 99, MacAddress{}));
    ASSERT_TRUE(WaitUntil([&] { return !dock->responder->Received().empty(); }));
    EXPECT_EQ(dock->responder->Received().size(), 1u);
    EXPECT_EQ(List(*dialog)->topLevelItemCount(), 4);
    EXPECT_EQ(dialog->SequenceNumber(), 2);
}

TEST_F(NetSetupDialog, FactoryDefaultAnsweredYesResetsThatPrinterAndEmptiesTheList) {
    auto dialog = Dialog();
    dialog->Prepare();
    Select(*dialog, RowOf(*dialog, "DOCK"));
    prompter.answers = {true};
    Click(*dialog, "ButtonFactoryDefault");
    EXPECT_EQ(List(*dialog)->topLevelItemCount(), 0);
    EXPECT_EQ(dialog->SequenceNumber(), 3);
    for (int i = 0; i < 100 && dock->responder->FactoryDefaults() == 0; ++i)
        QThread::msleep(10);
    EXPECT_EQ(dock->responder->FactoryDefaults(), 1);
    EXPECT_EQ(front->responder->FactoryDefaults(), 0);
    auto lock = dock->printer.Lock();
    EXPECT_TRUE(dock->net->dhcp);

    // Without a selection nothing is asked.
    prompter.questions.clear();
    Click(*dialog, "ButtonFactoryDefault");
    EXPECT_TRUE(prompter.questions.isEmpty());
}

TEST_F(NetSetupDialog, ChangeIpReadsEditsAndWritesThePrinter) {
    auto dialog = Dialog();
    dialog->Prepare();
    Select(*dialog, RowOf(*dialog, "DOCK"));
    bool shown = false;
    dialog->SetEthernetDialogRunner([&](TFormEthernetSetup& settingsDialog) {
        shown = true;
        EXPECT_EQ(settingsDialog.pos(), dialog->pos());
        EXPECT_EQ(settingsDialog.DhcpItemIndex(), 1);
        EXPECT_EQ(Find<QLineEdit>(settingsDialog, "EditIP")->text(), "10.1.2.3");
        EXPECT_EQ(Find<QLineEdit>(settingsDialog, "EditMask")->text(), "255.0.0.0");
        EXPECT_EQ(Find<QLineEdit>(settingsDialog, "EditPrinterName")->text(), "DOCK");
        EXPECT_EQ(Find<QLineEdit>(settingsDialog, "EditMACAddr")->text(), "00:1B:82:00:00:02");
        Find<QLineEdit>(settingsDialog, "EditIP")->setText("10.1.2.50");
        Find<QLineEdit>(settingsDialog, "EditGateWay")->setText("10.0.0.254");
        Click(settingsDialog, "ButtonSetIP");
    });
    Click(*dialog, "ButtonChangeIP");
    EXPECT_TRUE(shown);
    EXPECT_TRUE(prompter.errors.isEmpty());
    EXPECT_EQ(List(*dialog)->topLevelItemCount(), 0);
    EXPECT_EQ(dialog->SequenceNumber(), 3);
    {
        auto lock = dock->printer.Lock();
        EXPECT_FALSE(dock->net->dhcp);
        EXPECT_EQ(dock->net->ip, "10.1.2.50");
        EXPECT_EQ(dock->net->gateway, "10.0.0.254");
        EXPECT_EQ(dock->net->name, "DOCK");
    }
    auto lock = front->printer.Lock();
    EXPECT_EQ(front->net->name, "FRONT");
    EXPECT_TRUE(front->net->dhcp);
}

TEST_F(NetSetupDialog, ChangeIpCancelledOrWithABadAddressWritesNothing) {
    auto dialog = Dialog();
    dialog->Prepare();
    Select(*dialog, RowOf(*dialog, "FRONT"));
    dialog->SetEthernetDialogRunner(
        [](TFormEthernetSetup& settingsDialog) { Click(settingsDialog, "ButtonCancel"); });
    front->responder->ClearReceived();
    Click(*dialog, "ButtonChangeIP");
    // Only the two reads went out; the list stays.
    EXPECT_EQ(front->responder->Received().size(), 2u);
    EXPECT_EQ(List(*dialog)->topLevelItemCount(), 4);
    EXPECT_EQ(dialog->SequenceNumber(), 2);

    dialog->SetEthernetDialogRunner([](TFormEthernetSetup& settingsDialog) {
        Click(settingsDialog, "RadioGroupDHCPItem1");
        Find<QLineEdit>(settingsDialog, "EditIP")->setText("10.1.2.300");
        Click(settingsDialog, "ButtonSetIP");
    });
    front->responder->ClearReceived();
    Click(*dialog, "ButtonChangeIP");
    EXPECT_EQ(prompter.errors, QStringList{"'10.1.2.300' is not a valid IP address"});
    EXPECT_EQ(front->responder->Received().size(), 2u);
    auto lock = front->printer.Lock();
    EXPECT_TRUE(front->net->dhcp);
}

TEST_F(NetSetupDialog, WebSetupOpensOnlyAnHttpAddress) {
    std::strcpy(settings.address, "10.1.2.3");
    auto dialog = Dialog();
    dialog->Prepare();
    Click(*dialog, "ButtonBrowser");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].toString(), "http://10.1.2.3");
    auto* address = Find<QLineEdit>(*dialog, "EditIPAddr");
    address->setText("label-printer:8080/setup");
    Click(*dialog, "ButtonBrowser");
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1].scheme(), "http");
    EXPECT_EQ(opened[1].host(), "label-printer");
    for (const char* text : {"", "file:///etc/passwd", "javascript:alert(1)", "a b"}) {
        address->setText(QString::fromLatin1(text));
        Click(*dialog, "ButtonBrowser");
        for (const QUrl& url : opened)
            EXPECT_EQ(url.scheme(), "http") << text;
    }
    EXPECT_EQ(prompter.errors.size(), 3) << "each address that is no web page is explained";

    // A desktop that cannot open the page: the user is told.
    dialog->SetUrlOpener([](const QUrl&) { return false; });
    address->setText("10.1.2.3");
    Click(*dialog, "ButtonBrowser");
    EXPECT_EQ(prompter.errors.last(),
              "The printer's web page (http://10.1.2.3) cannot be opened in a web browser.");
}

TEST_F(NetSetupDialog, ExitStoresAddressAndPortAndABadPortKeepsTheDialogOpen) {
    std::strcpy(settings.address, "old");
    auto dialog = Dialog();
    dialog->Prepare();
    Find<QLineEdit>(*dialog, "EditIPAddr")->setText("10.1.2.3");
    Find<QLineEdit>(*dialog, "EditPort")->setText("91x");
    Click(*dialog, "ButtonExit");
    EXPECT_EQ(prompter.errors, QStringList{"'91x' is not a valid integer value"});
    // A refused Exit stores nothing, the address neither.
    EXPECT_STREQ(settings.address, "old");
    EXPECT_EQ(int32_t(settings.port), 9100);
    EXPECT_NE(dialog->result(), QDialog::Accepted);

    for (const char* port : {"70000", "0", "-1"}) {
        Find<QLineEdit>(*dialog, "EditPort")->setText(QString::fromLatin1(port));
        Click(*dialog, "ButtonExit");
        EXPECT_EQ(prompter.errors.last(),
                  QStringLiteral("'%1' is not a TCP port (1 to 65535)").arg(port));
        EXPECT_EQ(int32_t(settings.port), 9100);
        EXPECT_NE(dialog->result(), QDialog::Accepted);
    }

    Find<QLineEdit>(*dialog, "EditPort")->setText("6101");
    Click(*dialog, "ButtonExit");
    EXPECT_EQ(int32_t(settings.port), 6101);
    EXPECT_STREQ(settings.address, "10.1.2.3");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(NetSetupDialog, TheCloseBoxStoresNothing) {
    std::strcpy(settings.address, "old");
    auto dialog = Dialog();
    dialog->Prepare();
    dialog->show();
    Find<QLineEdit>(*dialog, "EditIPAddr")->setText("10.1.2.3");
    Find<QLineEdit>(*dialog, "EditPort")->setText("6101");
    dialog->close();
    EXPECT_STREQ(settings.address, "old");
    EXPECT_EQ(int32_t(settings.port), 9100);
}

TEST_F(NetSetupDialog, CaptionsInSimplifiedChinese) {
    front->responder->Stop();
    dock->responder->Stop();
    auto dialog = Dialog(2);
    dialog->Prepare();
    EXPECT_EQ(dialog->windowTitle(), "TCP/IP Setup");
    EXPECT_EQ(Find<QGroupBox>(*dialog, "GroupBoxIPSetting")->title(), QString::fromUtf8("IP设定"));
    EXPECT_EQ(Find<QLabel>(*dialog, "LabelPort")->text(), QString::fromUtf8("通讯端口"));
    EXPECT_EQ(Find<QPushButton>(*dialog, "ButtonFactoryDefault")->text(),
              QString::fromUtf8("工厂默认值"));
    EXPECT_EQ(List(*dialog)->headerItem()->text(2), QString::fromUtf8("IP 地址"));
    EXPECT_EQ(List(*dialog)->headerItem()->text(3), QString::fromUtf8("机型"));
}

TEST_F(NetSetupDialog, WithoutASocketDiscoveryEndsQuietly) {
    // An address of no local interface: the socket cannot be bound.
    lan.bindAddress = QHostAddress("192.0.2.1");
    auto broken = Dialog();
    broken->Prepare();
    EXPECT_EQ(List(*broken)->topLevelItemCount(), 0);
    EXPECT_EQ(broken->SequenceNumber(), 1);
    EXPECT_TRUE(Find<QPushButton>(*broken, "ButtonDiscover")->isEnabled());
    EXPECT_TRUE(prompter.errors.isEmpty());
    EXPECT_TRUE(prompter.informations.isEmpty());
}

TEST_F(NetSetupDialog, ScreenshotsOfBothDialogsInEachLanguage) {
    for (int language = 0; language < 3; ++language) {
        auto dialog = Dialog(language);
        dialog->Prepare();
        ASSERT_EQ(List(*dialog)->topLevelItemCount(), 4);
        Select(*dialog, 0);
        SaveScreenshot(*dialog, QStringLiteral("net_setup_") + LanguageSuffix(language));

        PrinterNetConfig config;
        SetNetConfigDefaults(config);
        StoreFixedBytes(config.ipAddress, "192.168.1.100");
        StoreFixedBytes(config.subnetMask, "255.255.255.0");
        StoreFixedBytes(config.gateway, "192.168.1.1");
        StoreFixedBytes(config.printerName, "FRONT");
        StoreFixedBytes(config.macAddress, "00:1B:82:00:00:01");
        TFormEthernetSetup ethernet(0, 0, true, config, language, prompter, nullptr);
        SaveScreenshot(ethernet, QStringLiteral("ethernet_setup_") + LanguageSuffix(language));
    }
}
