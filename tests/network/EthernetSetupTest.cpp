#include "gui/network/TFormEthernetSetup.h"

#include "RecordingPrompter.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <cstring>

namespace {

template <class T> T* Find(QWidget& dialog, const char* name) {
    T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

QString Text(QWidget& dialog, const char* name) {
    return Find<QLineEdit>(dialog, name)->text();
}

void Type(QWidget& dialog, const char* name, const QString& text) {
    Find<QLineEdit>(dialog, name)->setText(text);
}

void Click(QWidget& dialog, const char* name) {
    Find<QAbstractButton>(dialog, name)->click();
}

PrinterNetConfig DhcpRecord() {
    PrinterNetConfig config;
    SetNetConfigDefaults(config);
    StoreFixedBytes(config.lastUsedIp, "192.168.7.40");
    StoreFixedBytes(config.subnetMask, "255.255.255.0");
    StoreFixedBytes(config.gateway, "192.168.7.1");
    StoreFixedBytes(config.printerName, "SHIPPING");
    StoreFixedBytes(config.macAddress, "00:1B:82:00:00:07");
    config.apply = 1;
    config.action = 5;
    return config;
}

const char* const kAddressControls[] = {"LabelIP",  "EditIP",       "LabelMask",
                                        "EditMask", "LabelGateWay", "EditGateWay"};

} // namespace

TEST(EthernetDialog, ADhcpPrinterOpensWithDhcpChosenAndItsCurrentAddress) {
    RecordingPrompter prompter;
    PrinterNetConfig config = DhcpRecord();
    TFormEthernetSetup dialog(40, 50, true, config, 0, prompter);
    EXPECT_EQ(config.apply, 0);
    EXPECT_EQ(dialog.windowTitle(), "Ethernet Setup");
    EXPECT_EQ(dialog.pos(), QPoint(40, 50));
    EXPECT_TRUE(Find<QRadioButton>(dialog, "RadioGroupDHCPItem0")->isChecked());
    EXPECT_EQ(dialog.DhcpItemIndex(), 0);
    for (const char* name : kAddressControls)
        EXPECT_FALSE(Find<QWidget>(dialog, name)->isEnabled()) << name;
    EXPECT_EQ(Text(dialog, "EditIP"), "192.168.7.40");
    EXPECT_EQ(Text(dialog, "EditMask"), "255.255.255.0");
    EXPECT_EQ(Text(dialog, "EditGateWay"), "192.168.7.1");
    EXPECT_EQ(Text(dialog, "EditPrinterName"), "SHIPPING");
    EXPECT_EQ(Text(dialog, "EditMACAddr"), "00:1B:82:00:00:07");
    auto* mac = Find<QLineEdit>(dialog, "EditMACAddr");
    EXPECT_FALSE(mac->isEnabled());
    EXPECT_TRUE(mac->isReadOnly());
    EXPECT_EQ(Find<QLineEdit>(dialog, "EditPrinterName")->maxLength(), 15);
    EXPECT_EQ(Find<QLineEdit>(dialog, "EditIP")->maxLength(), 63);
    // English captions carry no colon once the language is applied.
    EXPECT_EQ(Find<QLabel>(dialog, "LabelIP")->text(), "IP");
    EXPECT_EQ(Find<QLabel>(dialog, "LabelMask")->text(), "Subnet Mask");
    EXPECT_EQ(Find<QGroupBox>(dialog, "RadioGroupDHCP")->title(), "IP Setup");
    EXPECT_EQ(Find<QPushButton>(dialog, "ButtonSetPrinterName")->text(), "Set Printer Name");
}

TEST(EthernetDialog, AStaticPrinterShowsItsConfiguredAddress) {
    RecordingPrompter prompter;
    PrinterNetConfig config = DhcpRecord();
    config.dhcp = 0;
    StoreFixedBytes(config.ipAddress, "10.0.0.5");
    TFormEthernetSetup dialog(0, 0, true, config, 0, prompter);
    EXPECT_EQ(dialog.DhcpItemIndex(), 1);
    EXPECT_EQ(Text(dialog, "EditIP"), "10.0.0.5");
    for (const char* name : kAddressControls)
        EXPECT_TRUE(Find<QWidget>(dialog, name)->isEnabled()) << name;
}

TEST(EthernetDialog, SwitchingToStaticAndSetIpReportsTheThreeTextsAsTyped) {
    RecordingPrompter prompter;
    PrinterNetConfig config = DhcpRecord();
    TFormEthernetSetup dialog(0, 0, true, config, 0, prompter);
    Click(dialog, "RadioGroupDHCPItem1");
    for (const char* name : kAddressControls)
        EXPECT_TRUE(Find<QWidget>(dialog, name)->isEnabled()) << name;
    // Switching leaves the texts alone.
    EXPECT_EQ(Text(dialog, "EditIP"), "192.168.7.40");
    Type(dialog, "EditIP", "10.20.30.40");
    Type(dialog, "EditMask", "not checked");
    Type(dialog, "EditPrinterName", "IGNORED");
    Click(dialog, "ButtonSetIP");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(config.apply, 1);
    EXPECT_EQ(int32_t(config.action), 0);
    EXPECT_EQ(config.dhcp, 0);
    EXPECT_STREQ(config.ipAddress, "10.20.30.40");
    EXPECT_STREQ(config.subnetMask, "not checked");
    EXPECT_STREQ(config.gateway, "192.168.7.1");
    EXPECT_STREQ(config.printerName, "SHIPPING");
}

TEST(EthernetDialog, SetPrinterNameReportsOnlyTheName) {
    RecordingPrompter prompter;
    PrinterNetConfig config = DhcpRecord();
    TFormEthernetSetup dialog(0, 0, true, config, 0, prompter);
    Click(dialog, "RadioGroupDHCPItem1");
    Type(dialog, "EditIP", "10.20.30.40");
    Type(dialog, "EditPrinterName", "RECEIVING");
    Click(dialog, "ButtonSetPrinterName");
    EXPECT_EQ(config.apply, 1);
    EXPECT_EQ(int32_t(config.action), 1);
    EXPECT_STREQ(config.printerName, "RECEIVING");
    EXPECT_EQ(config.dhcp, 1);
    EXPECT_STREQ(config.ipAddress, "0.0.0.0");
}

TEST(EthernetDialog, CancelAndTheCloseBoxConfirmNothing) {
    RecordingPrompter prompter;
    PrinterNetConfig config = DhcpRecord();
    const PrinterNetConfig before = [&] {
        PrinterNetConfig copy = config;
        copy.apply = 0;
        return copy;
    }();
    {
        TFormEthernetSetup dialog(0, 0, true, config, 0, prompter);
        Type(dialog, "EditPrinterName", "CHANGED");
        Click(dialog, "ButtonCancel");
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_EQ(std::memcmp(&config, &before, sizeof config), 0);
    {
        TFormEthernetSetup dialog(0, 0, true, config, 0, prompter);
        dialog.show();
        Click(dialog, "RadioGroupDHCPItem1");
        dialog.close();
    }
    EXPECT_EQ(std::memcmp(&config, &before, sizeof config), 0);
}

TEST(EthernetDialog, TextsWithAQuoteAreRefusedAndTheDialogStaysOpen) {
    RecordingPrompter prompter;
    PrinterNetConfig config = DhcpRecord();
    config.dhcp = 0;
    TFormEthernetSetup dialog(0, 0, true, config, 0, prompter);
    dialog.show();
    Type(dialog, "EditGateWay", "10.0.0.1\"");
    Type(dialog, "EditPrinterName", "A\"B");
    Click(dialog, "ButtonSetIP");
    Click(dialog, "ButtonSetPrinterName");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(config.apply, 0);
    EXPECT_EQ(prompter.errors.size(), 2);
    EXPECT_TRUE(prompter.errors.value(0).contains("gateway"));
    EXPECT_TRUE(prompter.errors.value(1).contains("printer name"));
    EXPECT_EQ(Text(dialog, "EditGateWay"), "10.0.0.1\"");
    // On DHCP the address texts are not sent, so they do not stand in the way.
    Click(dialog, "RadioGroupDHCPItem0");
    Click(dialog, "ButtonSetIP");
    EXPECT_EQ(config.apply, 1);
    EXPECT_EQ(config.dhcp, 1);
}

TEST(EthernetDialog, CaptionsFollowTheLanguageAndKeepTheSelectedItem) {
    RecordingPrompter prompter;
    PrinterNetConfig config = DhcpRecord();
    config.dhcp = 0;
    TFormEthernetSetup traditional(0, 0, true, config, 1, prompter);
    EXPECT_EQ(Find<QGroupBox>(traditional, "RadioGroupDHCP")->title(), QString::fromUtf8("IP設定"));
    EXPECT_EQ(Find<QRadioButton>(traditional, "RadioGroupDHCPItem0")->text(),
              QString::fromUtf8("自動取得IP位置"));
    EXPECT_EQ(Find<QLabel>(traditional, "LabelGateWay")->text(), QString::fromUtf8("通信閘"));
    EXPECT_EQ(traditional.DhcpItemIndex(), 1);
    EXPECT_EQ(traditional.windowTitle(), "Ethernet Setup");

    TFormEthernetSetup simplified(0, 0, true, config, 2, prompter);
    EXPECT_EQ(Find<QLabel>(simplified, "LabelMask")->text(), QString::fromUtf8("子网掩码"));
    EXPECT_EQ(Find<QPushButton>(simplified, "ButtonSetIP")->text(), QString::fromUtf8("设定 IP"));
    EXPECT_EQ(Find<QPushButton>(simplified, "ButtonCancel")->text(), QString::fromUtf8("取消"));
}
