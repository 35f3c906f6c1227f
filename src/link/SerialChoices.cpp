#include "link/SerialChoices.h"

#include <QSerialPort>

namespace {

// The dialog's baud list ends with an empty item; the port runs it at 9600.
constexpr SerialChoice kBauds[] = {
    {"2400", "2400", 2400},       {"4800", "4800", 4800},    {"9600", "9600", 9600},
    {"19200", "19200", 19200},    {"38400", "38400", 38400}, {"57600", "57600", 57600},
    {"115200", "115200", 115200}, {"", "9600", 9600},
};
constexpr SerialChoice kDataBits[] = {
    {"7", "7", QSerialPort::Data7},
    {"8", "8", QSerialPort::Data8},
};
constexpr SerialChoice kParities[] = {
    {"None", "N", QSerialPort::NoParity},
    {"Odd", "O", QSerialPort::OddParity},
    {"Even", "E", QSerialPort::EvenParity},
};
constexpr SerialChoice kStopBits[] = {
    {"1", "1", QSerialPort::OneStop},
    {"1.5", "1.5", QSerialPort::OneAndHalfStop},
    {"2", "2", QSerialPort::TwoStop},
};
// "RTS" and "RTS/CTS" both hold output while CTS is low: a port has one switch for it.
constexpr SerialChoice kHardware[] = {
    {"None", "None", QSerialPort::NoFlowControl},
    {"RTS", "RTS", QSerialPort::HardwareControl},
    {"RTS/CTS", "RTS/CTS", QSerialPort::HardwareControl},
};
constexpr SerialChoice kSoftware[] = {
    {"None", "", QSerialPort::NoFlowControl},
    {"Xon/Xoff", "Xon/Xoff", QSerialPort::SoftwareControl},
};

} // namespace

const SerialChoice& SerialSetting::At(int32_t index) const {
    const bool inside = index >= 0 && static_cast<size_t>(index) < choices.size();
    return choices[static_cast<size_t>(inside ? index : fallback)];
}

QStringList SerialSetting::Items() const {
    QStringList items;
    for (const SerialChoice& choice : choices)
        items << QString::fromLatin1(choice.item);
    return items;
}

int32_t SerialSetting::IndexOfSummary(const QString& text) const {
    for (size_t i = 0; i < choices.size(); ++i) {
        if (!text.isEmpty() &&
            text.compare(QLatin1String(choices[i].summary), Qt::CaseInsensitive) == 0)
            return static_cast<int32_t>(i);
    }
    return -1;
}

constinit const SerialSetting kSerialBaudRates{kBauds, 2};
constinit const SerialSetting kSerialDataBits{kDataBits, 1};
constinit const SerialSetting kSerialParities{kParities, 0};
constinit const SerialSetting kSerialStopBits{kStopBits, 0};
constinit const SerialSetting kSerialHardwareHandshakes{kHardware, 2};
constinit const SerialSetting kSerialSoftwareHandshakes{kSoftware, 0};
