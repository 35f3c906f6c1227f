#pragma once

#include <QString>

#include <optional>

// The one reading of a port name ("COM12", "LPT1"): the number after its first three
// characters, when they are followed by decimal digits only and the number is at least 1.
std::optional<int> PortNameNumber(const QString& name);

// The list item a port name selects in a port dialog: its number less one ("COM12" gives
// 11). -1 when the name has no number or its item does not exist among `itemCount`.
int PortItemForName(const QString& name, int itemCount);

// The device a serial port name opens: "COMn" is the n-th serial port of the platform
// (/dev/ttyS(n-1) on Linux); any other name is used as given.
QString SerialDeviceForPortName(const QString& portName);

// The device a parallel port name opens: "LPTn" is /dev/lp(n-1) on Linux; any other
// name (a device, FIFO or file) is used as given.
QString ParallelDeviceForPortName(const QString& portName);
