#pragma once

#include "ProbeReading.h"

#include <prometheus/registry.h>

#include <functional>
#include <string>

namespace prometheus {
class Counter;
class Gauge;
class Histogram;
template <typename T> class Family;
} // namespace prometheus

// The exporter's own metrics, answered at /metrics: probes run and failed per module,
// requests refused per HTTP status, probes in flight and the probe durations.
class ExporterMetrics {
public:
    // `inFlight` tells how many probes run at the moment of the scrape.
    explicit ExporterMetrics(std::function<int()> inFlight = {});

    void ProbeDone(ProbeModule module, bool up, double seconds);
    // Thread-safe, as are ProbeDone and Text.
    void Refused(int httpStatus);

    std::string Text();

private:
    std::function<int()> inFlight_;
    prometheus::Registry registry_;
    prometheus::Gauge* inFlightGauge_ = nullptr;
    prometheus::Counter* probes_[2] = {};
    prometheus::Counter* failed_[2] = {};
    prometheus::Family<prometheus::Counter>* refused_ = nullptr;
    prometheus::Histogram* durations_[2] = {};
};
