#include "calibration/SensorMeasurement.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr int32_t kLowEnd = 256;
constexpr int32_t kHighEnd = 768;

int32_t Held(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

int32_t Truncated(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (value <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

int32_t ReadingCount(const SensorLevels& levels) {
    return std::clamp<int32_t>(levels.count, 0, kMaxSensorReadings);
}

} // namespace

std::optional<SensorProposal> ProposeForContinuous(const SensorLevels& levels) {
    const int32_t count = ReadingCount(levels);
    if (count < 2)
        return std::nullopt;
    const int32_t* reading = levels.readings;
    // The change from the second to the last level.
    const int64_t d = int64_t{reading[1]} - reading[count - 1];
    int32_t i = count - 1;
    while (i > 1) {
        if (d < 0 && reading[i] < kHighEnd)
            break;
        if (d > 0 && reading[i] > kLowEnd)
            break;
        --i;
    }
    const int64_t end = d > 0 ? kHighEnd : kLowEnd;
    SensorProposal proposal{};
    proposal.intensity = (i + 1) >> 1;
    proposal.threshold = Held((reading[i] + end) >> 1);
    proposal.labelReading = reading[i];
    return proposal;
}

std::optional<SensorProposal> ProposeFromCaptures(const SensorLevels& backing,
                                                  const SensorLevels& label) {
    const int32_t count = std::min(ReadingCount(backing), ReadingCount(label));
    int64_t largest = -1;
    int32_t level = -1;
    for (int32_t i = 0; i < count; ++i) {
        const int64_t difference = std::abs(int64_t{label.readings[i]} - backing.readings[i]);
        if (difference > largest) {
            largest = difference;
            level = i;
        }
    }
    if (level < 0 || largest < kLeastSensorDifference)
        return std::nullopt;
    SensorProposal proposal{};
    proposal.intensity = level;
    proposal.threshold = Held((int64_t{label.readings[level]} + backing.readings[level]) / 2);
    proposal.labelReading = label.readings[level];
    proposal.gapReading = backing.readings[level];
    return proposal;
}

int32_t DotsPerUnit(double resolution) {
    return Truncated(resolution);
}

int32_t LengthInDots(double length, int32_t dotsPerUnit) {
    return Truncated(length * dotsPerUnit);
}
