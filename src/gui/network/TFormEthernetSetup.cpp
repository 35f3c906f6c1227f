#include "gui/network/TFormEthernetSetup.h"

#include "link/FixedText.h"
#include "operations/CommandText.h"

#include "gui/kit/Captions.h"
#include "gui/kit/FixedTextMessage.h"
#include "gui/kit/Language.h"
#include "gui/kit/PlaceControl.h"
#include "gui/kit/Prompter.h"
#include "gui/kit/WindowLook.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

const CaptionEntry kCaptions[] = {
    {"FormEthernetSetup", kCaptionEntry, EnglishOnly("Ethernet Setup")},
    {"RadioGroupDHCP", kCaptionEntry, {"IP Setup", "IP設定", "IP设定"}},
    {"RadioGroupDHCPItem0", kCaptionEntry, {"DHCP", "自動取得IP位置", "自动取得IP位置"}},
    {"RadioGroupDHCPItem1", kCaptionEntry, {"Static IP", "指定 IP 位置", "指定 IP 位置"}},
    {"LabelIP", kCaptionEntry, {"IP", "IP", "IP"}},
    {"LabelMask", kCaptionEntry, {"Subnet Mask", "子網路遮罩", "子网掩码"}},
    {"LabelGateWay", kCaptionEntry, {"Gateway", "通信閘", "通信闸"}},
    {"LabelPrinterName", kCaptionEntry, {"Printer Name", "印表機名稱", "打印机名称"}},
    {"LabelMACAddr", kCaptionEntry, {"MAC Address", "MAC 地址", "MAC 地址"}},
    {"ButtonSetPrinterName",
     kCaptionEntry,
     {"Set Printer Name", "設定印表機名稱", "设定打印机名称"}},
    {"ButtonSetIP", kCaptionEntry, {"Set IP", "設定 IP", "设定 IP"}},
    {"ButtonCancel", kCaptionEntry, {"Cancel", "取消", "取消"}},
};

// The address texts are at most what their 64-byte fields hold.
constexpr int kAddressLength = kNetTextCapacity - 1;

// The texts go to the printer between double quotes.
bool Quotable(const QLineEdit* edit) {
    return QuotableText(edit->text().toStdString());
}

} // namespace

TFormEthernetSetup::TFormEthernetSetup(int left, int top, bool showNameAndMac,
                                       PrinterNetConfig& config, int languageIndex,
                                       Prompter& prompter, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      config_(config), prompter_(prompter), languageIndex_(languageIndex) {
    NameControl(this, QStringLiteral("FormEthernetSetup"));
    BuildControls();
    ApplyWindowLook(this);
    move(left, top);

    config_.apply = 0;
    working_ = config_;

    SetDhcpItemIndex(working_.dhcp == 1 ? 0 : 1);
    EnableAddressEdits();
    EditIP->setText(FixedText(working_.dhcp == 1 ? working_.lastUsedIp : working_.ipAddress,
                              FixedTextKind::Printer));
    EditMask->setText(FixedText(working_.subnetMask, FixedTextKind::Printer));
    EditGateWay->setText(FixedText(working_.gateway, FixedTextKind::Printer));
    EditPrinterName->setText(FixedText(working_.printerName, FixedTextKind::Printer));
    EditMACAddr->setText(FixedText(working_.macAddress, FixedTextKind::Printer));
    for (QWidget* widget :
         {static_cast<QWidget*>(LabelPrinterName), static_cast<QWidget*>(EditPrinterName),
          static_cast<QWidget*>(LabelMACAddr), static_cast<QWidget*>(EditMACAddr),
          static_cast<QWidget*>(ButtonSetPrinterName)})
        widget->setVisible(showNameAndMac);
    ApplyCaptions(this, kCaptions, languageIndex);
}

void TFormEthernetSetup::BuildControls() {
    ControlKit kit(this, kCaptions);
    setFixedSize(330, 262);
    RadioGroupDHCP = kit.Add<QGroupBox>(this, "RadioGroupDHCP", {8, 8, 314, 48});
    dhcpItem_ = kit.Add<QRadioButton>(RadioGroupDHCP, "RadioGroupDHCPItem0", {10, 20, 140, 20});
    staticItem_ = kit.Add<QRadioButton>(RadioGroupDHCP, "RadioGroupDHCPItem1", {160, 20, 140, 20});
    dhcpItems_ = new QButtonGroup(this);
    dhcpItems_->addButton(dhcpItem_, 0);
    dhcpItems_->addButton(staticItem_, 1);
    connect(dhcpItems_, &QButtonGroup::idClicked, this, &TFormEthernetSetup::RadioGroupDHCPClick);

    struct Row {
        QLabel*& label;
        QLineEdit*& edit;
        const char* labelName;
        const char* editName;
    };
    const Row rows[] = {
        {LabelIP, EditIP, "LabelIP", "EditIP"},
        {LabelMask, EditMask, "LabelMask", "EditMask"},
        {LabelGateWay, EditGateWay, "LabelGateWay", "EditGateWay"},
        {LabelPrinterName, EditPrinterName, "LabelPrinterName", "EditPrinterName"},
        {LabelMACAddr, EditMACAddr, "LabelMACAddr", "EditMACAddr"},
    };
    int y = 66;
    for (const Row& row : rows) {
        row.label = kit.Add<QLabel>(this, row.labelName, {8, y + 3, 110, 17});
        row.edit = kit.Add<QLineEdit>(this, row.editName, {122, y, 200, 21});
        row.edit->setMaxLength(kAddressLength);
        row.label->setBuddy(row.edit);
        y += 28;
    }
    EditIP->setText(QStringLiteral("0.0.0.0"));
    EditMask->setText(QStringLiteral("0.0.0.0"));
    EditGateWay->setText(QStringLiteral("0.0.0.0"));
    EditPrinterName->setMaxLength(kPrinterNameLength);
    EditMACAddr->setReadOnly(true);
    EditMACAddr->setEnabled(false);

    ButtonSetIP = kit.Add<QPushButton>(this, "ButtonSetIP", {8, 212, 100, 25});
    ButtonSetPrinterName = kit.Add<QPushButton>(this, "ButtonSetPrinterName", {114, 212, 120, 25});
    ButtonCancel = kit.Add<QPushButton>(this, "ButtonCancel", {240, 212, 82, 25});
    ButtonSetIP->setAutoDefault(false);
    ButtonSetPrinterName->setAutoDefault(false);
    ButtonCancel->setAutoDefault(false);
    connect(ButtonSetIP, &QPushButton::clicked, this, &TFormEthernetSetup::ButtonSetIPClick);
    connect(ButtonSetPrinterName, &QPushButton::clicked, this,
            &TFormEthernetSetup::ButtonSetPrinterNameClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormEthernetSetup::ButtonCancelClick);
    kit.OrderTabs();
}

int TFormEthernetSetup::DhcpItemIndex() const {
    return dhcpItems_->checkedId();
}

void TFormEthernetSetup::SetDhcpItemIndex(int index) {
    if (QAbstractButton* item = dhcpItems_->button(index))
        item->setChecked(true);
}

void TFormEthernetSetup::EnableAddressEdits() {
    const bool fixed = DhcpItemIndex() == 1;
    for (QWidget* widget :
         {static_cast<QWidget*>(LabelIP), static_cast<QWidget*>(EditIP),
          static_cast<QWidget*>(LabelMask), static_cast<QWidget*>(EditMask),
          static_cast<QWidget*>(LabelGateWay), static_cast<QWidget*>(EditGateWay)})
        widget->setEnabled(fixed);
}

void TFormEthernetSetup::RadioGroupDHCPClick() {
    working_.dhcp = DhcpItemIndex() == 0 ? 1 : 0;
    EnableAddressEdits();
}

void TFormEthernetSetup::ButtonSetIPClick() {
    const bool fixed = DhcpItemIndex() == 1;
    if (fixed && (!Quotable(EditIP) || !Quotable(EditMask) || !Quotable(EditGateWay))) {
        prompter_.Error(this, QStringLiteral("The IP address, subnet mask and gateway cannot "
                                             "contain a double quote (\")."));
        return;
    }
    // All three are checked before any is stored, so a refused text leaves the record as it was.
    const PrinterNetConfig before = config_;
    if (!StoreTyped(config_.ipAddress, sizeof config_.ipAddress, EditIP, LabelIP) ||
        !StoreTyped(config_.subnetMask, sizeof config_.subnetMask, EditMask, LabelMask) ||
        !StoreTyped(config_.gateway, sizeof config_.gateway, EditGateWay, LabelGateWay)) {
        config_ = before;
        return;
    }
    config_.dhcp = DhcpItemIndex() == 0 ? 1 : 0;
    config_.action = 0;
    config_.apply = 1;
    accept();
}

void TFormEthernetSetup::ButtonSetPrinterNameClick() {
    if (!Quotable(EditPrinterName)) {
        prompter_.Error(this,
                        QStringLiteral("The printer name cannot contain a double quote (\")."));
        return;
    }
    if (!StoreTyped(config_.printerName, sizeof config_.printerName, EditPrinterName,
                    LabelPrinterName))
        return;
    config_.action = 1;
    config_.apply = 1;
    accept();
}

bool TFormEthernetSetup::StoreTyped(char* field, size_t capacity, const QLineEdit* edit,
                                    const QLabel* label) {
    const FixedTextResult result =
        StoreFixedText(field, capacity, edit->text(), FixedTextKind::Printer);
    if (result == FixedTextResult::Stored)
        return true;
    prompter_.Error(this, FixedTextRefusal(result, label->text(), languageIndex_));
    return false;
}

void TFormEthernetSetup::ButtonCancelClick() {
    reject();
}
