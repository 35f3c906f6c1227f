#include "ProbeMetrics.h"

#include "link/FixedText.h"
#include "operations/FirmwareEditions.h"

#include <prometheus/counter.h>
#include <prometheus/gauge.h>
#include <prometheus/registry.h>
#include <prometheus/text_serializer.h>

#include <QString>

#include <optional>

namespace {

struct Condition {
    PrinterStatusFlag flag;
    const char* name;
};

// Every condition the status word reports, by its label value. The kept bit is no
// condition of the printer and is left out.
const Condition kConditions[] = {
    {StatusHeadOpen, "head_open"},
    {StatusPaperJam, "paper_jam"},
    {StatusOutOfPaper, "out_of_paper"},
    {StatusOutOfRibbon, "out_of_ribbon"},
    {StatusPaused, "paused"},
    {StatusPrinting, "printing"},
    {StatusRibbonEncoderError, "ribbon_encoder_error"},
    {StatusRibbonFault, "ribbon_fault"},
    {StatusOtherError, "other_error"},
};

const char* const kMemoryLabels[kMemoryDeviceCount] = {"dram", "flash", "card"};

std::string PrinterText(const char* field, size_t capacity) {
    return FixedText(field, capacity, FixedTextKind::Printer).toStdString();
}

// The printer reports distances as a decimal number of kilometres; nullopt when the text
// is not one.
std::optional<double> KilometresToMetres(const char* field, size_t capacity) {
    bool ok = false;
    const double km = FixedText(field, capacity, FixedTextKind::Printer).trimmed().toDouble(&ok);
    if (!ok || km < 0)
        return std::nullopt;
    return km * 1000.0;
}

void AddGauge(prometheus::Registry& registry, const std::string& name, const std::string& help,
              double value, const prometheus::Labels& labels = {}) {
    prometheus::BuildGauge().Name(name).Help(help).Register(registry).Add(labels).Set(value);
}

void AddCounter(prometheus::Registry& registry, const std::string& name, const std::string& help,
                double value) {
    prometheus::BuildCounter().Name(name).Help(help).Register(registry).Add({}).Increment(value);
}

void AddConfig(prometheus::Registry& registry, const PrinterConfig& config) {
    AddGauge(registry, "tarnvik_printer_info",
             "The printer's firmware version, serial number, resolution and edition", 1,
             {{"version", PrinterText(config.Version, sizeof config.Version)},
              {"serial", PrinterText(config.Serial, sizeof config.Serial)},
              {"dpi", QString::number(static_cast<double>(config.Dpi)).toStdString()},
              {"edition", std::to_string(config.Edition)}});
    if (const auto metres = KilometresToMetres(config.Milage, sizeof config.Milage))
        AddCounter(registry, "tarnvik_print_distance_meters_total",
                   "Distance the print head has printed over its life", *metres);
    if (config.Edition >= kFirstEditionWithCutCounter)
        AddCounter(registry, "tarnvik_cutter_cuts_total", "Cuts of the cutter over its life",
                   config.CutCounter);
    if (config.Edition >= kFirstEditionWithResettableCounters) {
        if (const auto metres = KilometresToMetres(config.ResetMilage, sizeof config.ResetMilage))
            AddCounter(registry, "tarnvik_print_distance_resettable_meters_total",
                       "Distance printed since the counter was last reset", *metres);
        AddCounter(registry, "tarnvik_cutter_cuts_resettable_total",
                   "Cuts since the counter was last reset", config.ResetCutCounter);
    }
}

void AddMemories(prometheus::Registry& registry,
                 const std::array<MemorySpace, kMemoryDeviceCount>& memories) {
    auto& total = prometheus::BuildGauge()
                      .Name("tarnvik_memory_size_bytes")
                      .Help("Size of each of the printer's memories")
                      .Register(registry);
    auto& free = prometheus::BuildGauge()
                     .Name("tarnvik_memory_free_bytes")
                     .Help("Free space of each of the printer's memories")
                     .Register(registry);
    for (int m = 0; m < kMemoryDeviceCount; ++m) {
        if (memories[m].totalBytes)
            total.Add({{"memory", kMemoryLabels[m]}})
                .Set(static_cast<double>(*memories[m].totalBytes));
        if (memories[m].freeBytes)
            free.Add({{"memory", kMemoryLabels[m]}})
                .Set(static_cast<double>(*memories[m].freeBytes));
    }
}

} // namespace

std::string ProbeMetricsText(const ProbeReading& reading) {
    prometheus::Registry registry;
    AddGauge(registry, "tarnvik_up", "1 when the probe reached the printer, 0 otherwise",
             reading.up ? 1 : 0);
    AddGauge(registry, "tarnvik_probe_duration_seconds", "How long the probe took",
             reading.durationSeconds);
    if (reading.up) {
        auto& status = prometheus::BuildGauge()
                           .Name("tarnvik_status")
                           .Help("1 when the printer reports the condition, 0 otherwise")
                           .Register(registry);
        for (const Condition& condition : kConditions) {
            // Conditions only the extended reply tells are left out when it did not come.
            if (!reading.extendedKnown &&
                (condition.flag == StatusOutOfRibbon || condition.flag == StatusRibbonEncoderError))
                continue;
            status.Add({{"condition", condition.name}})
                .Set(reading.status.flags[condition.flag] ? 1 : 0);
        }
    }
    if (reading.config)
        AddConfig(registry, *reading.config);
    if (reading.memories)
        AddMemories(registry, *reading.memories);
    return prometheus::TextSerializer().Serialize(registry.Collect());
}
