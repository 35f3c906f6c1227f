#pragma once

#include <cstddef>
#include <cstdint>

// Media types of the sensor calibration, also the printer's sensor modes 0 to 2.
enum SensorMediaType : int32_t {
    MediaGap = 0,
    MediaBlackMark = 1,
    MediaContinuous = 2,
    MediaAutoSelection = 3,
};

enum CalibrationKind : int32_t {
    CalibrationAutomatic = 0,
    CalibrationManual = 1,
};

constexpr int kMaxSensorReadings = 128;

#pragma pack(push, 1)

// Shared by ReadSensorSetup, the calibration dialog and CalibrateSensor.
struct SensorCalibration {
    uint8_t confirmed; // 1 when the dialog was left with a calibrating button
    int32_t mediaType; // SensorMediaType
    int32_t kind;      // CalibrationKind
    int32_t threshold;
    int32_t intensity;
    int32_t paperHeight; // dots; 0 = not given
    int32_t gapLength;   // dots; 0 = not given
    int32_t dotsPerUnit; // of the main window's measuring unit
};

// The sensor's reading at each intensity level.
struct SensorLevels {
    int32_t sensorSelect; // 1 black-mark sensor, any other value the gap sensor
    int32_t count;
    int32_t readings[kMaxSensorReadings];
};

#pragma pack(pop)

static_assert(sizeof(SensorCalibration) == 29);
static_assert(offsetof(SensorCalibration, mediaType) == 1);
static_assert(offsetof(SensorCalibration, kind) == 5);
static_assert(offsetof(SensorCalibration, threshold) == 9);
static_assert(offsetof(SensorCalibration, intensity) == 13);
static_assert(offsetof(SensorCalibration, paperHeight) == 17);
static_assert(offsetof(SensorCalibration, gapLength) == 21);
static_assert(offsetof(SensorCalibration, dotsPerUnit) == 25);
static_assert(sizeof(SensorLevels) == 130 * sizeof(int32_t));
static_assert(offsetof(SensorLevels, readings) == 8);
