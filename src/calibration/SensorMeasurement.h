#pragma once

#include "operations/SensorRecords.h"

#include <cstdint>
#include <optional>

// The arithmetic of the media sensor calibration: choosing an intensity level and a
// threshold from the sensor's readings, and the sizes the automatic calibration sends.

// The smallest difference between backing and label readings that tells them apart.
constexpr int32_t kLeastSensorDifference = 96;

// What a measurement proposes for the manual setup.
struct SensorProposal {
    int32_t intensity;
    int32_t threshold;
    int32_t labelReading; // the reading over the label at the chosen level
    int32_t gapReading;   // the reading over the backing or mark (captures only)
};

// Continuous media, from one reading of all levels: searches down from the last level for one
// whose reading lies clear of the end the readings move towards. Needs two readings at least.
std::optional<SensorProposal> ProposeForContinuous(const SensorLevels& levels);

// Gap or black-mark media, from a capture over the backing (or the mark) and one over the
// label: the level with the largest difference (the lowest on ties), the threshold halfway.
// Only levels present in both captures are compared; below kLeastSensorDifference, nothing.
std::optional<SensorProposal> ProposeFromCaptures(const SensorLevels& backing,
                                                  const SensorLevels& label);

// A resolution as the calibration record carries it: truncated toward zero, held in 32 bits.
int32_t DotsPerUnit(double resolution);

// A typed length in the unit shown, in dots, truncated toward zero and held in 32 bits.
int32_t LengthInDots(double length, int32_t dotsPerUnit);

// The unit the sizes are typed in: millimetres at 100 dots per unit or less, else inches.
inline bool IsMillimetreUnit(int32_t dotsPerUnit) {
    return dotsPerUnit <= 100;
}
