#include "gui/network/TFormNetSetup.h"

#include "gui/kit/Prompter.h"
#include "link/EventPump.h"
#include "link/FixedText.h"
#include "network/LanSetup.h"

#include "gui/kit/Captions.h"
#include "gui/kit/FixedTextMessage.h"
#include "gui/kit/Language.h"
#include "gui/kit/PlaceControl.h"
#include "gui/kit/TypedNumber.h"
#include "gui/kit/WindowLook.h"
#include "gui/network/TFormEthernetSetup.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTreeWidget>
#include <QUrl>

#include <cstring>

namespace {

const CaptionEntry kCaptions[] = {
    {"FormNetSetup", kCaptionEntry, EnglishOnly("TCP/IP Setup")},
    {"GroupBoxIPSetting", kCaptionEntry, {"IP Setting", "IP設定", "IP设定"}},
    {"LabelIPAddress",
     kCaptionEntry,
     {"IP Address/Printer Name", "IP位址/印表機名稱", "IP地址/打印机名称"}},
    {"LabelPort", kCaptionEntry, {"Port", "通訊埠", "通讯端口"}},
    {"ButtonExit", kCaptionEntry, {"Exit", "離開", "离开"}},
    {"ButtonDiscover", kCaptionEntry, {"Discover Device", "尋找裝置", "寻找装置"}},
    {"ButtonChangeIP", kCaptionEntry, {"Change IP Address", "更改IP位置", "更改IP地址"}},
    {"ButtonFactoryDefault", kCaptionEntry, {"Factory Default", "工廠預設值", "工厂默认值"}},
    {"ButtonBrowser", kCaptionEntry, {"Web Setup", "網頁設定", "网页设定"}},
    // The columns of the printer list.
    {"ListView1", 0, {"Printer Name", "印表機名稱", "打印机名称"}},
    {"ListView1", 1, {"MAC", "MAC", "MAC"}},
    {"ListView1", 2, {"IP Address", "IP 位置", "IP 地址"}},
    {"ListView1", 3, {"Model Name", "機型", "机型"}},
    {"ListView1", 4, {"Status", "狀態", "状态"}},
};

const char* const kDefaultAddress = "192.168.1.100";

} // namespace

TFormNetSetup::TFormNetSetup(NetSettings& settings, int languageIndex, Prompter& prompter,
                             LanClientSettings lan, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      settings_(settings), languageIndex_(languageIndex), prompter_(prompter), lan_(std::move(lan)),
      urlOpener_([](const QUrl& url) { return QDesktopServices::openUrl(url); }),
      runEthernet_([](TFormEthernetSetup& dialog) { dialog.exec(); }) {
    waits_.SetBetweenSlices(EventPump{});
    BuildControls();
    ApplyWindowLook(this);
    move(211, 155);
}

TFormNetSetup::~TFormNetSetup() = default;

void TFormNetSetup::BuildControls() {
    ControlKit kit(this, "FormNetSetup", kCaptions);
    setFixedSize(622, 303);
    ListView1 = kit.Add<QTreeWidget>(this, "ListView1", {8, 8, 606, 192});
    ListView1->setColumnCount(5);
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setSortingEnabled(false);
    ListView1->header()->setSectionsClickable(false);
    ListView1->header()->setSectionsMovable(false);
    const int widths[] = {140, 130, 110, 120, 90};
    for (int column = 0; column < 5; ++column)
        ListView1->setColumnWidth(column, widths[column]);
    connect(ListView1, &QTreeWidget::itemClicked, this, &TFormNetSetup::ListView1Click);

    GroupBoxIPSetting = kit.Add<QGroupBox>(this, "GroupBoxIPSetting", {8, 206, 330, 89});
    LabelIPAddress = kit.Add<QLabel>(GroupBoxIPSetting, "LabelIPAddress", {10, 22, 200, 17});
    EditIPAddr = kit.Add<QLineEdit>(GroupBoxIPSetting, "EditIPAddr", {10, 42, 200, 23});
    LabelPort = kit.Add<QLabel>(GroupBoxIPSetting, "LabelPort", {222, 22, 96, 17});
    EditPort = kit.Add<QLineEdit>(GroupBoxIPSetting, "EditPort", {222, 42, 96, 23});
    LabelIPAddress->setBuddy(EditIPAddr);
    LabelPort->setBuddy(EditPort);
    // The address field of the link settings holds 63 characters and its terminator.
    EditIPAddr->setMaxLength(kAddressLength);

    ButtonDiscover = kit.Add<QPushButton>(this, "ButtonDiscover", {346, 212, 130, 25});
    ButtonChangeIP = kit.Add<QPushButton>(this, "ButtonChangeIP", {484, 212, 130, 25});
    ButtonFactoryDefault = kit.Add<QPushButton>(this, "ButtonFactoryDefault", {346, 242, 130, 25});
    ButtonBrowser = kit.Add<QPushButton>(this, "ButtonBrowser", {484, 242, 130, 25});
    ButtonExit = kit.Add<QPushButton>(this, "ButtonExit", {484, 272, 130, 25});
    for (QPushButton* button :
         {ButtonDiscover, ButtonChangeIP, ButtonFactoryDefault, ButtonBrowser, ButtonExit})
        button->setAutoDefault(false);
    connect(ButtonDiscover, &QPushButton::clicked, this, &TFormNetSetup::ButtonDiscoverClick);
    connect(ButtonChangeIP, &QPushButton::clicked, this, &TFormNetSetup::ButtonChangeIPClick);
    connect(ButtonFactoryDefault, &QPushButton::clicked, this,
            &TFormNetSetup::ButtonFactoryDefaultClick);
    connect(ButtonBrowser, &QPushButton::clicked, this, &TFormNetSetup::ButtonBrowserClick);
    connect(ButtonExit, &QPushButton::clicked, this, &TFormNetSetup::ButtonExitClick);
    kit.OrderTabs();
}

void TFormNetSetup::Prepare() {
    Discover();
    // The proposal for an empty address goes only into the field: the link settings change
    // at Exit and at nothing else.
    QString address = FixedText(settings_.address, FixedTextKind::Local);
    if (address.isEmpty()) {
        address = rows_.empty() ? QString::fromLatin1(kDefaultAddress) : rows_.front().ip;
        if (!rows_.empty())
            ListView1->topLevelItem(0)->setSelected(true);
    }
    // The captions in the window's language, once the list is filled.
    ApplyCaptions(this, kCaptions, languageIndex_);
    EditIPAddr->setText(address);
    EditPort->setText(QString::number(settings_.port));
}

void TFormNetSetup::ClearRows() {
    ListView1->clear();
    rows_.clear();
}

void TFormNetSetup::AddRow(const LanDiscoveryAnswer& answer) {
    Row row{answer.mac, QString::fromLatin1(answer.printerName),
            answer.hasIp ? QString::fromStdString(Ipv4Text(answer.ip)) : QString()};
    auto* item = new QTreeWidgetItem(ListView1);
    item->setText(0, row.printerName);
    item->setText(1, QString::fromStdString(MacText(answer.mac)));
    item->setText(2, row.ip);
    item->setText(3, QString::fromLatin1(answer.model));
    item->setText(4, QString::fromStdString(LanStatusText(answer)));
    rows_.push_back(std::move(row));
}

void TFormNetSetup::Discover() {
    ButtonDiscover->setEnabled(false);
    ClearRows();
    QCoreApplication::processEvents();
    LanClient client(lan_);
    client.SetWaits(&waits_);
    const auto answers = DiscoverLanPrinters(client, sequenceNumber_);
    if (answers) {
        for (const LanDiscoveryAnswer& answer : *answers)
            AddRow(answer);
        ++sequenceNumber_;
    }
    ButtonDiscover->setEnabled(true);
}

int TFormNetSetup::SelectedRow() const {
    for (int index = 0; index < ListView1->topLevelItemCount(); ++index) {
        if (ListView1->topLevelItem(index)->isSelected())
            return index;
    }
    return -1;
}

void TFormNetSetup::ButtonDiscoverClick() {
    Discover();
}

void TFormNetSetup::ListView1Click() {
    const int row = SelectedRow();
    if (row >= 0)
        EditIPAddr->setText(rows_[static_cast<size_t>(row)].ip);
}

void TFormNetSetup::ButtonFactoryDefaultClick() {
    const int row = SelectedRow();
    if (row < 0)
        return;
    const MacAddress mac = rows_[static_cast<size_t>(row)].mac;
    if (!prompter_.Confirm(this, QStringLiteral("Are you sure?"), Prompter::ConfirmButtons::YesNo))
        return;
    LanClient client(lan_);
    client.SetWaits(&waits_);
    if (!SendLanFactoryDefault(client, sequenceNumber_, mac))
        return;
    ClearRows();
    ++sequenceNumber_;
}

void TFormNetSetup::ButtonChangeIPClick() {
    const int selected = SelectedRow();
    if (selected < 0)
        return;
    const Row row = rows_[static_cast<size_t>(selected)];
    StoreFixedBytes(netConfig_.macAddress, MacText(row.mac).c_str());
    // A name longer than the record's field is refused rather than leaving the name of an
    // earlier printer in the record.
    const FixedTextResult stored =
        StoreFixedText(netConfig_.printerName, row.printerName, FixedTextKind::Printer);
    if (stored != FixedTextResult::Stored) {
        prompter_.Error(this,
                        FixedTextRefusal(stored, ListView1->headerItem()->text(0), languageIndex_));
        return;
    }

    LanClient client(lan_);
    client.SetWaits(&waits_);
    if (!client.Open())
        return;
    ReadLanNetConfig(client, sequenceNumber_, row.mac, netConfig_);

    TFormEthernetSetup dialog(x(), y(), true, netConfig_, languageIndex_, prompter_, this);
    runEthernet_(dialog);
    if (netConfig_.apply == 0)
        return;

    std::string badText;
    if (WriteLanNetConfig(client, sequenceNumber_, row.mac, netConfig_, &badText) !=
        LanWriteResult::Sent) {
        prompter_.Error(
            this,
            QStringLiteral("'%1' is not a valid IP address").arg(QString::fromLatin1(badText)));
        return;
    }
    client.Close();
    ClearRows();
    ++sequenceNumber_;
}

void TFormNetSetup::ButtonBrowserClick() {
    const QUrl url(QStringLiteral("http://") + EditIPAddr->text(), QUrl::StrictMode);
    // Only a web address of the printer is ever handed to the desktop.
    const bool printerAddress =
        url.isValid() && url.scheme() == QStringLiteral("http") && !url.host().isEmpty();
    if (!printerAddress || !urlOpener_(url))
        prompter_.Error(this, QStringLiteral("The printer's web page (http://%1) cannot be opened "
                                             "in a web browser.")
                                  .arg(EditIPAddr->text()));
}

void TFormNetSetup::ButtonExitClick() {
    // Nothing is stored until both texts are good: a refused Exit followed by the close box
    // keeps the settings as they were.
    const std::optional<int32_t> port = TypedInteger(EditPort->text(), IntegerBlanks::Around);
    if (!port) {
        prompter_.Error(this, NotAnIntegerMessage(EditPort->text()));
        return;
    }
    // A TCP port is 1 to 65535; anything else could never reach a printer.
    if (*port < 1 || *port > 65535) {
        prompter_.Error(
            this, QStringLiteral("'%1' is not a TCP port (1 to 65535)").arg(EditPort->text()));
        return;
    }
    if (const FixedTextResult stored =
            StoreFixedText(settings_.address, EditIPAddr->text(), FixedTextKind::Local);
        stored != FixedTextResult::Stored) {
        prompter_.Error(this, FixedTextRefusal(stored, LabelIPAddress->text(), languageIndex_));
        return;
    }
    settings_.port = *port;
    accept();
}
