#include "StandardPrinter.h"

#include "ClockModule.h"
#include "FirmwareModule.h"
#include "MaintenanceModule.h"
#include "MemoryModule.h"
#include "PasswordModule.h"
#include "SensorModule.h"
#include "VirtualPrinter.h"

namespace sim {

void InstallStandardModules(VirtualPrinter& printer) {
    printer.AddModule<FirmwareModule>();
    printer.AddModule<MemoryModule>();
    printer.AddModule<ClockModule>();
    printer.AddModule<PasswordModule>();
    printer.AddModule<SensorModule>();
    printer.AddModule<MaintenanceModule>();
}

} // namespace sim
