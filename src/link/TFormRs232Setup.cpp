#include "link/TFormRs232Setup.h"

#include "link/FixedText.h"
#include "link/PortNames.h"
#include "link/PortNumber.h"
#include "link/SerialChoices.h"
#include "ui/Language.h"
#include "ui/WindowLook.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSerialPortInfo>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kLabelLeft = 16;
constexpr int kListLeft = 176;
constexpr int kListWidth = 137;
constexpr int kRowTop = 16;
constexpr int kRowStep = 30;
constexpr qsizetype kPortNameCapacity = sizeof(ComSettings::portName);

const CaptionText kComPort = {"COM Port", "傳輸埠", "传输埠"};
const CaptionText kBaudRate = {"Baud Rate", "傳輸速率", "传输速率"};
const CaptionText kDataBits = {"Data Bits", "資料位元", "数据位"};
const CaptionText kParityCheck = {"Parity Check", "同位元檢查", "同位检查"};
const CaptionText kStopBits = {"Stop Bit(s)", "停止位元", "停止位"};
const CaptionText kHardware = {"Hardware Handshaking", "硬體通訊協定", "硬件通讯协议"};
const CaptionText kSoftware = {"Software Handshaking", "軟體通訊協定", "软件通讯协议"};
const CaptionText kSet = {"Set", "設定", "设定"};
const CaptionText kCancel = {"Cancel", "取消", "取消"};

} // namespace

TFormRs232Setup::TFormRs232Setup(ComSettings& settings, int languageIndex, QWidget* parent,
                                 const QStringList& devices)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      settings_(settings), devices_(devices) {
    setObjectName(QStringLiteral("FormRs232Setup"));
    setWindowTitle(QStringLiteral("RS232 Setup"));
    ApplyWindowLook(this);
    setFixedSize(330, 266);

    struct Row {
        QLabel** label;
        const char* labelName;
        const char* labelText;
        QComboBox** list;
        const char* listName;
        QStringList items;
    };
    QStringList ports;
    for (int i = 1; i <= kComPortCount; ++i)
        ports << QStringLiteral("COM%1").arg(i);
    ports << devices_;
    const Row rows[] = {
        {&LabelComPort, "LabelComPort", "COM Port:", &ComboBoxComPort, "ComboBoxComPort", ports},
        {&LabelBaudRate, "LabelBaudRate", "Baud Rate:", &ComboBoxBaudRate, "ComboBoxBaudRate",
         kSerialBaudRates.Items()},
        {&LabelDataBits, "LabelDataBits", "Data Bits:", &ComboBoxDataBit, "ComboBoxDataBit",
         kSerialDataBits.Items()},
        {&LabelParityCheck, "LabelParityCheck", "Parity Check:", &ComboBoxParity, "ComboBoxParity",
         kSerialParities.Items()},
        {&LabelStopBits, "LabelStopBits", "Stop Bit(s):", &ComboBoxStopBit, "ComboBoxStopBit",
         kSerialStopBits.Items()},
        {&LabelHardwareS, "LabelHardwareS", "Hardware Handshaking:", &ComboBoxHdShak,
         "ComboBoxHdShak", kSerialHardwareHandshakes.Items()},
        {&LabelSoftwareS, "LabelSoftwareS", "Software Handshaking:", &ComboBoxSWShak,
         "ComboBoxSWShak", kSerialSoftwareHandshakes.Items()},
    };
    int top = kRowTop;
    for (const Row& row : rows) {
        *row.label = new QLabel(QString::fromLatin1(row.labelText), this);
        (*row.label)->setObjectName(QString::fromLatin1(row.labelName));
        (*row.label)->setGeometry(kLabelLeft, top, kListLeft - kLabelLeft - 4, 22);
        *row.list = new QComboBox(this);
        (*row.list)->setObjectName(QString::fromLatin1(row.listName));
        (*row.list)->setGeometry(kListLeft, top, kListWidth, 22);
        (*row.list)->addItems(row.items);
        top += kRowStep;
    }
    ComboBoxComPort->setMaxVisibleItems(12);

    ButtonSet = new QPushButton(QStringLiteral("Set"), this);
    ButtonSet->setObjectName(QStringLiteral("ButtonSet"));
    ButtonSet->setGeometry(72, top + 12, 75, 25);
    ButtonSet->setDefault(true);
    connect(ButtonSet, &QPushButton::clicked, this, &TFormRs232Setup::ButtonSetClick);
    ButtonCancel = new QPushButton(QStringLiteral("Cancel"), this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    ButtonCancel->setGeometry(184, top + 12, 75, 25);
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormRs232Setup::ButtonCancelClick);

    ApplyCaptions(languageIndex);
    ShowSettings();
}

QStringList TFormRs232Setup::SerialDevicesPresent() {
    QStringList devices;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
        const QString name = port.portName();
        const bool serial = name.startsWith(QLatin1String("ttyUSB")) ||
                            name.startsWith(QLatin1String("ttyACM")) ||
                            name.startsWith(QLatin1String("ttyS"));
        const QString path = port.systemLocation();
        if (serial && path.toLocal8Bit().size() < kPortNameCapacity)
            devices << path;
    }
    // Natural order: ttyS2 before ttyS10.
    const auto key = [](const QString& path) {
        qsizetype digits = path.size();
        while (digits > 0 && path[digits - 1].isDigit())
            --digits;
        return std::make_pair(path.left(digits), path.mid(digits).toInt());
    };
    std::sort(devices.begin(), devices.end(),
              [&key](const QString& a, const QString& b) { return key(a) < key(b); });
    return devices;
}

void TFormRs232Setup::ApplyCaptions(int languageIndex) {
    const int charset = LanguageCharset(languageIndex);
    const std::pair<QWidget*, const CaptionText*> captions[] = {
        {LabelComPort, &kComPort},    {LabelBaudRate, &kBaudRate},
        {LabelDataBits, &kDataBits},  {LabelParityCheck, &kParityCheck},
        {LabelStopBits, &kStopBits},  {LabelHardwareS, &kHardware},
        {LabelSoftwareS, &kSoftware}, {ButtonSet, &kSet},
        {ButtonCancel, &kCancel},
    };
    for (const auto& [control, caption] : captions) {
        ApplyCharset(control, charset);
        SetControlCaption(control, TextFor(*caption, languageIndex));
    }
}

void TFormRs232Setup::ShowSettings() {
    const QString name = FixedText(settings_.portName, FixedTextKind::Local);
    const int device = static_cast<int>(devices_.indexOf(name));
    ComboBoxComPort->setCurrentIndex(device >= 0 ? kComPortCount + device
                                                 : PortItemForName(name, kComPortCount));
    const std::pair<QComboBox*, int32_t> lists[] = {
        {ComboBoxBaudRate, settings_.baudIndex},   {ComboBoxDataBit, settings_.dataBitsIndex},
        {ComboBoxParity, settings_.parityIndex},   {ComboBoxStopBit, settings_.stopBitsIndex},
        {ComboBoxHdShak, settings_.hardwareIndex}, {ComboBoxSWShak, settings_.softwareIndex},
    };
    for (const auto& [list, index] : lists)
        list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

void TFormRs232Setup::ButtonSetClick() {
    const int port = ComboBoxComPort->currentIndex();
    if (port >= kComPortCount)
        StoreFixedText(settings_.portName, devices_[port - kComPortCount], FixedTextKind::Local);
    else
        StoreFixedText(settings_.portName, QStringLiteral("COM%1").arg(port + 1),
                       FixedTextKind::Local);
    settings_.baudIndex = ComboBoxBaudRate->currentIndex();
    settings_.dataBitsIndex = ComboBoxDataBit->currentIndex();
    settings_.parityIndex = ComboBoxParity->currentIndex();
    settings_.stopBitsIndex = ComboBoxStopBit->currentIndex();
    settings_.hardwareIndex = ComboBoxHdShak->currentIndex();
    settings_.softwareIndex = ComboBoxSWShak->currentIndex();
    accept();
}

void TFormRs232Setup::ButtonCancelClick() {
    reject();
}
