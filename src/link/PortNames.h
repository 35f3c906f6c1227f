#pragma once

#include <QString>

// The device a serial port name opens: "COMn" is the n-th serial port of the platform
// (/dev/ttyS(n-1) on Linux); any other name is used as given.
QString SerialDeviceForPortName(const QString& portName);

// The device a parallel port name opens: "LPTn" is /dev/lp(n-1) on Linux; any other
// name (a device, FIFO or file) is used as given.
QString ParallelDeviceForPortName(const QString& portName);
