#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <span>

// What each index of the serial settings means. The indexes are item indexes of the serial
// set-up dialog's lists; the port, the dialog and the status-bar summary all read them
// from these tables, one per setting, in item order.
struct SerialChoice {
    const char* item;    // the dialog's item
    const char* summary; // the status-bar summary's text
    int32_t value;       // the port's setting (a rate, or a QSerialPort enumerator)
};

struct SerialSetting {
    std::span<const SerialChoice> choices;
    int32_t fallback; // the choice an index outside the list stands for

    const SerialChoice& At(int32_t index) const;
    QStringList Items() const;
    // The index whose summary text is `text` (letters in any case); -1 when none is.
    int32_t IndexOfSummary(const QString& text) const;
};

extern const SerialSetting kSerialBaudRates;
extern const SerialSetting kSerialDataBits;
extern const SerialSetting kSerialParities;
extern const SerialSetting kSerialStopBits;
extern const SerialSetting kSerialHardwareHandshakes;
extern const SerialSetting kSerialSoftwareHandshakes;
