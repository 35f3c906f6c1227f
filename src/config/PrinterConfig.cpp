#include "config/PrinterConfig.h"

#include <cstring>

void SetConfigDefaults(PrinterConfig& config) {
    const uint8_t inchUnit = config.InchUnit;
    std::memset(&config, 0, sizeof config);
    config.InchUnit = inchUnit;

    config.Dpi = 200.0f;
    config.DotsPerMm = 11.8f;
    config.Speed.value = 3.0f;
    config.ZControl.value = '~';
    config.ZFormat.value = '^';
    config.ZDelimiter.value = ',';
}

PrinterConfig DefaultPrinterConfig() {
    PrinterConfig config{};
    SetConfigDefaults(config);
    return config;
}
