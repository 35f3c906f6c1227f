#pragma once

#include "link/LinkSettings.h"
#include "operations/LinkError.h"
#include "operations/SensorRecords.h"

#include <cstdint>
#include <string>

class PrinterLink;

// ReadSensorLevels reads at most this many frames of one list; a printer that sends more
// is taken as broken.
constexpr int kMaxSensorListFrames = 1024;

// 10: the calibration commands of a SensorCalibration in one block, no reply.
LinkError CalibrateSensor(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);
// 23: media type, intensity and (newer printers) threshold into a SensorCalibration.
LinkError ReadSensorSetup(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);
// 24: the readings of the selected sensor at every intensity level into a SensorLevels.
LinkError ReadSensorLevels(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra);

// The block CalibrateSensor sends; empty when the record asks for nothing.
std::string CalibrationCommands(const SensorCalibration& calibration);
