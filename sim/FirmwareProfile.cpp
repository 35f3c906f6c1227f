#include "FirmwareProfile.h"

#include <cmath>
#include <cstdio>

namespace sim {

FirmwareProfile FirmwareProfile::Of(int edition, int dpi) {
    FirmwareProfile profile;
    profile.edition = edition;
    profile.dpi = dpi;
    char text[64];
    std::snprintf(text, sizeof text, "VP-%d V%d.%02d", dpi, edition / 100, edition % 100);
    profile.version = text;
    std::snprintf(text, sizeof text, "VP%03d%04d", dpi % 1000, edition % 10000);
    profile.serial = text;
    return profile;
}

double FirmwareProfile::DotsPerMm() const {
    if (dotsPerMm > 0.0)
        return dotsPerMm;
    return std::round(dpi / 25.4 * 10.0) / 10.0;
}

} // namespace sim
