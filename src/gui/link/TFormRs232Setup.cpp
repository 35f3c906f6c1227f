#include "gui/link/TFormRs232Setup.h"

#include "gui/kit/Captions.h"
#include "gui/kit/PlaceControl.h"
#include "gui/kit/WindowLook.h"
#include "link/FixedText.h"
#include "link/PortNames.h"
#include "link/SerialChoices.h"

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

const CaptionEntry kCaptions[] = {
    {"FormRs232Setup", kCaptionEntry, EnglishOnly("RS232 Setup")},
    {"LabelComPort", kCaptionEntry, {"COM Port", "傳輸埠", "传输埠"}},
    {"LabelBaudRate", kCaptionEntry, {"Baud Rate", "傳輸速率", "传输速率"}},
    {"LabelDataBits", kCaptionEntry, {"Data Bits", "資料位元", "数据位"}},
    {"LabelParityCheck", kCaptionEntry, {"Parity Check", "同位元檢查", "同位检查"}},
    {"LabelStopBits", kCaptionEntry, {"Stop Bit(s)", "停止位元", "停止位"}},
    {"LabelHardwareS", kCaptionEntry, {"Hardware Handshaking", "硬體通訊協定", "硬件通讯协议"}},
    {"LabelSoftwareS", kCaptionEntry, {"Software Handshaking", "軟體通訊協定", "软件通讯协议"}},
    {"ButtonSet", kCaptionEntry, {"Set", "設定", "设定"}},
    {"ButtonCancel", kCaptionEntry, {"Cancel", "取消", "取消"}},
};

} // namespace

TFormRs232Setup::TFormRs232Setup(ComSettings& settings, int languageIndex, QWidget* parent,
                                 const QStringList& devices)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      settings_(settings), devices_(devices) {
    ControlKit kit(this, "FormRs232Setup", kCaptions);
    ApplyWindowLook(this);
    setFixedSize(330, 266);

    struct Row {
        QLabel** label;
        const char* labelName;
        QComboBox** list;
        const char* listName;
        QStringList items;
    };
    QStringList ports;
    for (int i = 1; i <= kComPortCount; ++i)
        ports << QStringLiteral("COM%1").arg(i);
    ports << devices_;
    const Row rows[] = {
        {&LabelComPort, "LabelComPort", &ComboBoxComPort, "ComboBoxComPort", ports},
        {&LabelBaudRate, "LabelBaudRate", &ComboBoxBaudRate, "ComboBoxBaudRate",
         kSerialBaudRates.Items()},
        {&LabelDataBits, "LabelDataBits", &ComboBoxDataBit, "ComboBoxDataBit",
         kSerialDataBits.Items()},
        {&LabelParityCheck, "LabelParityCheck", &ComboBoxParity, "ComboBoxParity",
         kSerialParities.Items()},
        {&LabelStopBits, "LabelStopBits", &ComboBoxStopBit, "ComboBoxStopBit",
         kSerialStopBits.Items()},
        {&LabelHardwareS, "LabelHardwareS", &ComboBoxHdShak, "ComboBoxHdShak",
         kSerialHardwareHandshakes.Items()},
        {&LabelSoftwareS, "LabelSoftwareS", &ComboBoxSWShak, "ComboBoxSWShak",
         kSerialSoftwareHandshakes.Items()},
    };
    int top = kRowTop;
    for (const Row& row : rows) {
        ControlRow line = kit.Row(this, row.labelName,
                                  {kLabelLeft, top, kListLeft - kLabelLeft - 4, 22}, kListLeft);
        *row.label = line.Label();
        *row.list = line.Add<QComboBox>(row.listName, kListWidth);
        (*row.list)->addItems(row.items);
        top += kRowStep;
    }
    ComboBoxComPort->setMaxVisibleItems(12);

    ButtonSet = kit.Add<QPushButton>(this, "ButtonSet", {72, top + 12, 75, 25});
    ButtonSet->setDefault(true);
    connect(ButtonSet, &QPushButton::clicked, this, &TFormRs232Setup::ButtonSetClick);
    ButtonCancel = kit.Add<QPushButton>(this, "ButtonCancel", {184, top + 12, 75, 25});
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormRs232Setup::ButtonCancelClick);
    kit.OrderTabs();

    ApplyCaptions(this, kCaptions, languageIndex);
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
    // The list offers only device paths that fit the field, and "COM1" to "COM30".
    [[maybe_unused]] const FixedTextResult stored =
        StoreFixedText(settings_.portName,
                       port >= kComPortCount ? devices_[port - kComPortCount]
                                             : QStringLiteral("COM%1").arg(port + 1),
                       FixedTextKind::Local);
    Q_ASSERT(stored == FixedTextResult::Stored);
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
