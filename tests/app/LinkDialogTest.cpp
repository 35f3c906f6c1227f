#include "gui/link/TFormLPTSetup.h"
#include "gui/link/TFormRs232Setup.h"
#include "link/LinkSummary.h"
#include "link/PortNames.h"
#include "link/SerialChoices.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstring>

namespace {

ComSettings Defaults() {
    ComSettings com{};
    LptPortName lpt{};
    NetSettings net{};
    SetLinkDefaults(com, lpt, net);
    return com;
}

void SetName(ComSettings& com, const char* name) {
    std::memset(com.portName, 0, sizeof com.portName);
    std::strncpy(com.portName, name, sizeof com.portName - 1);
}

TEST(PortNumbers, NumberAfterTheFirstThreeCharacters) {
    EXPECT_EQ(PortItemForName("COM1", 30), 0);
    EXPECT_EQ(PortItemForName("COM12", 30), 11);
    EXPECT_EQ(PortItemForName("COM30", 30), 29);
    EXPECT_EQ(PortItemForName("COM31", 30), -1);
    EXPECT_EQ(PortItemForName("COM0", 30), -1);
    EXPECT_EQ(PortItemForName("COM", 30), -1);
    EXPECT_EQ(PortItemForName("COMx", 30), -1);
    EXPECT_EQ(PortItemForName("/dev/ttyUSB0", 30), -1);
    EXPECT_EQ(PortItemForName("LPT3", 4), 2);
    EXPECT_EQ(PortItemForName("LPT5", 4), -1);
}

TEST(LinkSummaryText, ShowsWhatTheSerialLinkUses) {
    ComSettings com = Defaults();
    EXPECT_EQ(ComSettingsSummary(com), "COM1 9600,N,8,1 RTS ");
    com.baudIndex = 6;
    com.dataBitsIndex = 0;
    com.parityIndex = 2;
    com.stopBitsIndex = 1;
    com.hardwareIndex = 2;
    com.softwareIndex = 1;
    SetName(com, "COM12");
    EXPECT_EQ(ComSettingsSummary(com), "COM12 115200,E,7,1.5 RTS/CTS Xon/Xoff");
    // The empty eighth baud item and empty selections read as the transport treats them.
    com.baudIndex = 7;
    com.dataBitsIndex = -1;
    com.parityIndex = -1;
    com.stopBitsIndex = 5;
    com.hardwareIndex = -1;
    com.softwareIndex = -1;
    EXPECT_EQ(ComSettingsSummary(com), "COM12 9600,N,8,1 RTS/CTS ");
}

class Rs232Dialog : public ::testing::Test {
protected:
    ComSettings com = Defaults();
};

TEST_F(Rs232Dialog, ShowsTheRecordAndTheLists) {
    TFormRs232Setup dialog(com, 0, nullptr, {});
    EXPECT_EQ(dialog.windowTitle(), "RS232 Setup");
    EXPECT_EQ(dialog.ComboBoxComPort->count(), 30);
    EXPECT_EQ(dialog.ComboBoxComPort->itemText(29), "COM30");
    EXPECT_EQ(dialog.ComboBoxComPort->currentIndex(), 0);
    EXPECT_EQ(dialog.ComboBoxBaudRate->count(), 8);
    EXPECT_EQ(dialog.ComboBoxBaudRate->itemText(7), "");
    EXPECT_EQ(dialog.ComboBoxBaudRate->currentText(), "9600");
    EXPECT_EQ(dialog.ComboBoxDataBit->currentText(), "8");
    EXPECT_EQ(dialog.ComboBoxParity->currentText(), "None");
    EXPECT_EQ(dialog.ComboBoxStopBit->currentText(), "1");
    EXPECT_EQ(dialog.ComboBoxHdShak->currentText(), "RTS");
    EXPECT_EQ(dialog.ComboBoxSWShak->currentText(), "None");
    EXPECT_EQ(dialog.LabelHardwareS->text(), "Hardware Handshaking");
    EXPECT_EQ(dialog.ButtonSet->text(), "Set");
    for (QComboBox* list : dialog.findChildren<QComboBox*>())
        EXPECT_FALSE(list->isEditable()) << list->objectName().toStdString();
}

TEST_F(Rs232Dialog, SetStoresTheChoicesAndReopeningShowsThem) {
    {
        TFormRs232Setup dialog(com, 0, nullptr, {});
        dialog.ComboBoxComPort->setCurrentIndex(11);
        dialog.ComboBoxBaudRate->setCurrentIndex(7);
        dialog.ComboBoxDataBit->setCurrentIndex(0);
        dialog.ComboBoxParity->setCurrentIndex(1);
        dialog.ComboBoxStopBit->setCurrentIndex(2);
        dialog.ComboBoxHdShak->setCurrentIndex(2);
        dialog.ComboBoxSWShak->setCurrentIndex(1);
        dialog.ButtonSet->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_STREQ(com.portName, "COM12");
    EXPECT_EQ(com.baudIndex, 7);
    EXPECT_EQ(kSerialBaudRates.At(com.baudIndex).value, 9600);
    EXPECT_EQ(com.dataBitsIndex, 0);
    EXPECT_EQ(com.parityIndex, 1);
    EXPECT_EQ(com.stopBitsIndex, 2);
    EXPECT_EQ(com.hardwareIndex, 2);
    EXPECT_EQ(com.softwareIndex, 1);

    TFormRs232Setup again(com, 0, nullptr, {});
    EXPECT_EQ(again.ComboBoxComPort->currentText(), "COM12");
    EXPECT_EQ(again.ComboBoxBaudRate->currentIndex(), 7);
    EXPECT_EQ(again.ComboBoxSWShak->currentText(), "Xon/Xoff");
}

TEST_F(Rs232Dialog, CancelLeavesTheRecordAlone) {
    const ComSettings before = com;
    TFormRs232Setup dialog(com, 0, nullptr, {});
    for (QComboBox* list : dialog.findChildren<QComboBox*>())
        list->setCurrentIndex(list->count() - 1);
    dialog.ButtonCancel->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(std::memcmp(&before, &com, sizeof com), 0);
}

TEST_F(Rs232Dialog, NameWithoutNumberSelectsNothingAndStoresCom0) {
    SetName(com, "COMX");
    com.parityIndex = 9; // outside the list: no selection, stored back as -1
    TFormRs232Setup dialog(com, 0, nullptr, {});
    EXPECT_EQ(dialog.ComboBoxComPort->currentIndex(), -1);
    EXPECT_EQ(dialog.ComboBoxParity->currentIndex(), -1);
    dialog.ButtonSet->click();
    EXPECT_STREQ(com.portName, "COM0");
    EXPECT_EQ(com.parityIndex, -1);
}

TEST_F(Rs232Dialog, OffersTheSerialDevicesAfterTheComNames) {
    const QStringList devices = {"/dev/ttyACM0", "/dev/ttyUSB0"};
    {
        TFormRs232Setup dialog(com, 0, nullptr, devices);
        ASSERT_EQ(dialog.ComboBoxComPort->count(), 32);
        EXPECT_EQ(dialog.ComboBoxComPort->itemText(31), "/dev/ttyUSB0");
        dialog.ComboBoxComPort->setCurrentIndex(31);
        dialog.ButtonSet->click();
    }
    EXPECT_STREQ(com.portName, "/dev/ttyUSB0");
    {
        TFormRs232Setup dialog(com, 0, nullptr, devices);
        EXPECT_EQ(dialog.ComboBoxComPort->currentText(), "/dev/ttyUSB0");
    }
    // A COM number past the list does not pick a device.
    SetName(com, "COM31");
    TFormRs232Setup dialog(com, 0, nullptr, devices);
    EXPECT_EQ(dialog.ComboBoxComPort->currentIndex(), -1);
}

TEST(SerialDevices, AreSerialPathsThatFitTheRecord) {
    for (const QString& path : TFormRs232Setup::SerialDevicesPresent()) {
        EXPECT_TRUE(path.contains("ttyUSB") || path.contains("ttyACM") || path.contains("ttyS"))
            << path.toStdString();
        EXPECT_LT(path.toLocal8Bit().size(), 24);
    }
}

TEST_F(Rs232Dialog, CaptionsInEachLanguage) {
    const char* const dataBits[] = {"Data Bits", "資料位元", "数据位"};
    const char* const cancel[] = {"Cancel", "取消", "取消"};
    const char* const family[] = {"DejaVu Sans", "Noto Sans CJK TC", "Noto Sans CJK SC"};
    for (int language = 0; language < 3; ++language) {
        TFormRs232Setup dialog(com, language, nullptr, {});
        EXPECT_EQ(dialog.LabelDataBits->text(), QString::fromUtf8(dataBits[language]));
        EXPECT_EQ(dialog.ButtonCancel->text(), QString::fromUtf8(cancel[language]));
        EXPECT_EQ(dialog.LabelDataBits->font().families().value(0), family[language]);
        EXPECT_EQ(dialog.windowTitle(), "RS232 Setup");
    }
}

TEST(LptDialog, SelectsStoresAndCancels) {
    LptPortName lpt{};
    std::strcpy(lpt.text, "LPT1");
    {
        TFormLPTSetup dialog(lpt, 0, nullptr);
        EXPECT_EQ(dialog.windowTitle(), "LPT Setup");
        EXPECT_EQ(dialog.ComboBoxLPT->count(), 4);
        EXPECT_EQ(dialog.ComboBoxLPT->currentIndex(), 0);
        dialog.ComboBoxLPT->setCurrentIndex(2);
        dialog.ButtonSet->click();
    }
    EXPECT_STREQ(lpt.text, "LPT3");
    {
        TFormLPTSetup dialog(lpt, 1, nullptr);
        EXPECT_EQ(dialog.ComboBoxLPT->currentText(), "LPT3");
        EXPECT_EQ(dialog.ButtonSet->text(), "設定");
        EXPECT_EQ(dialog.ButtonCancel->text(), "取消");
        dialog.ComboBoxLPT->setCurrentIndex(3);
        dialog.ButtonCancel->click();
    }
    EXPECT_STREQ(lpt.text, "LPT3");
    std::strcpy(lpt.text, "PRN");
    TFormLPTSetup dialog(lpt, 2, nullptr);
    EXPECT_EQ(dialog.ComboBoxLPT->currentIndex(), -1);
    EXPECT_EQ(dialog.ButtonSet->text(), "设定");
    dialog.ButtonSet->click();
    EXPECT_STREQ(lpt.text, "LPT0");
}

} // namespace
