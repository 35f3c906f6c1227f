#include "ExporterMetrics.h"

#include <prometheus/counter.h>
#include <prometheus/gauge.h>
#include <prometheus/histogram.h>
#include <prometheus/text_serializer.h>

namespace {

const char* const kModuleNames[] = {"status", "full"};

int Index(ProbeModule module) {
    return module == ProbeModule::Full ? 1 : 0;
}

} // namespace

ExporterMetrics::ExporterMetrics(std::function<int()> inFlight) : inFlight_(std::move(inFlight)) {
    auto& probes = prometheus::BuildCounter()
                       .Name("tarnvik_exporter_probes_total")
                       .Help("Probes run, by module")
                       .Register(registry_);
    auto& failed = prometheus::BuildCounter()
                       .Name("tarnvik_exporter_probes_failed_total")
                       .Help("Probes that did not reach the printer, by module")
                       .Register(registry_);
    auto& durations = prometheus::BuildHistogram()
                          .Name("tarnvik_exporter_probe_duration_seconds")
                          .Help("How long probes took, by module")
                          .Register(registry_);
    const prometheus::Histogram::BucketBoundaries buckets{0.05, 0.1, 0.25, 0.5, 1, 2.5, 5, 10, 30};
    for (int m = 0; m < 2; ++m) {
        const prometheus::Labels labels{{"module", kModuleNames[m]}};
        probes_[m] = &probes.Add(labels);
        failed_[m] = &failed.Add(labels);
        durations_[m] = &durations.Add(labels, buckets);
    }
    refused_ = &prometheus::BuildCounter()
                    .Name("tarnvik_exporter_requests_refused_total")
                    .Help("Requests answered with an HTTP error, by status code")
                    .Register(registry_);
    for (const int code : {400, 403, 503})
        refused_->Add({{"code", std::to_string(code)}});
    inFlightGauge_ = &prometheus::BuildGauge()
                          .Name("tarnvik_exporter_probes_in_flight")
                          .Help("Probe requests being answered now")
                          .Register(registry_)
                          .Add({});
}

void ExporterMetrics::ProbeDone(ProbeModule module, bool up, double seconds) {
    const int m = Index(module);
    probes_[m]->Increment();
    if (!up)
        failed_[m]->Increment();
    durations_[m]->Observe(seconds);
}

void ExporterMetrics::Refused(int httpStatus) {
    refused_->Add({{"code", std::to_string(httpStatus)}}).Increment();
}

std::string ExporterMetrics::Text() {
    if (inFlight_)
        inFlightGauge_->Set(inFlight_());
    return prometheus::TextSerializer().Serialize(registry_.Collect());
}
