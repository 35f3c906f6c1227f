#pragma once

#include "link/LinkSettings.h"
#include "link/LinkWait.h"
#include "network/LanClient.h"
#include "network/LanProtocol.h"
#include "operations/PrinterNetConfig.h"

#include <QDialog>

#include <functional>
#include <vector>

class Prompter;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QUrl;
class TFormEthernetSetup;

// "TCP/IP Setup", the setup dialog of the Ethernet link: finds the printers on the local
// network over the LAN setup protocol, lists them, and lets the user choose the address
// and port of the link, reset a listed printer to its factory settings, change its IP
// settings and name, or open its web page.
class TFormNetSetup : public QDialog {
    Q_OBJECT

public:
    // Opens "http://" addresses; the product uses the desktop's default handler.
    using UrlOpener = std::function<bool(const QUrl&)>;
    // Shows the Ethernet settings dialog of an IP change; the product shows it modally.
    using EthernetDialogRunner = std::function<void(TFormEthernetSetup&)>;

    // settings: the Ethernet part of the link settings, written only by Exit.
    TFormNetSetup(NetSettings& settings, int languageIndex, Prompter& prompter,
                  LanClientSettings lan = {}, QWidget* parent = nullptr);
    ~TFormNetSetup() override;

    void SetUrlOpener(UrlOpener opener) { urlOpener_ = std::move(opener); }
    void SetEthernetDialogRunner(EthernetDialogRunner runner) { runEthernet_ = std::move(runner); }

    // What happens before the dialog is shown: discovery, then the address and port fields
    // (an empty address becomes the first row's IP address, or "192.168.1.100").
    void Prepare();

    void ButtonDiscoverClick();
    void ListView1Click();
    void ButtonChangeIPClick();
    void ButtonFactoryDefaultClick();
    void ButtonBrowserClick();
    void ButtonExitClick();

    uint16_t SequenceNumber() const { return sequenceNumber_; }

    static constexpr int kAddressLength = kNetTextCapacity - 1;

private:
    struct Row {
        MacAddress mac;
        QString printerName;
        QString ip;
    };

    void BuildControls();
    void Discover();
    void ClearRows();
    void AddRow(const LanDiscoveryAnswer& answer);
    // The first selected row in list order, or -1.
    int SelectedRow() const;

    NetSettings& settings_;
    int languageIndex_;
    Prompter& prompter_;
    LanClientSettings lan_;
    UrlOpener urlOpener_;
    EthernetDialogRunner runEthernet_;
    // The LAN exchanges wait in slices that keep the window running.
    LinkWait waits_;
    uint16_t sequenceNumber_ = 1;
    PrinterNetConfig netConfig_{};
    std::vector<Row> rows_;

    QTreeWidget* ListView1 = nullptr;
    QGroupBox* GroupBoxIPSetting = nullptr;
    QLabel* LabelIPAddress = nullptr;
    QLineEdit* EditIPAddr = nullptr;
    QLabel* LabelPort = nullptr;
    QLineEdit* EditPort = nullptr;
    QPushButton* ButtonDiscover = nullptr;
    QPushButton* ButtonChangeIP = nullptr;
    QPushButton* ButtonFactoryDefault = nullptr;
    QPushButton* ButtonBrowser = nullptr;
    QPushButton* ButtonExit = nullptr;
};
