#include "StandardPrinter.h"

#include "ClockModule.h"
#include "ConfigModule.h"
#include "FirmwareModule.h"
#include "MaintenanceModule.h"
#include "MemoryModule.h"
#include "NetModule.h"
#include "PasswordModule.h"
#include "SensorModule.h"
#include "VirtualPrinter.h"

namespace sim {

void InstallStandardModules(VirtualPrinter& printer) {
    InstallStandardModules(printer, FirmwareProfile::Of(FirmwareProfile::kStandardEdition));
}

void InstallStandardModules(VirtualPrinter& printer, const FirmwareProfile& profile) {
    // The configuration goes first: the modules after it leave its keys and commands alone.
    ConfigModule& config = printer.AddModule<ConfigModule>(profile);
    printer.AddModule<FirmwareModule>(profile.edition);
    printer.AddModule<MemoryModule>();
    printer.AddModule<ClockModule>();
    printer.AddModule<NetModule>();
    printer.AddModule<PasswordModule>();
    SensorModule& sensor = printer.AddModule<SensorModule>();
    ConfigSettings& s = config.Settings();
    sensor.UseSettings(
        {&s.sensorMode, &s.gapInten, &s.blineInten, &s.conInten, &s.threshold, &s.autoThreshold});
    printer.AddModule<MaintenanceModule>().AddFactoryDefaultAction([&config] { config.Reset(); });
}

} // namespace sim
