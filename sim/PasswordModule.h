#pragma once

#include "FirmwareProfile.h"
#include "VirtualPrinter.h"

#include <string>

namespace sim {

// The printer password, which firmware after edition 100 has: DIAGNOSTIC PASSWORD sets it
// and is acknowledged with a frame, the PASSWORD report gives it. Older firmware knows
// neither and stays silent.
class PasswordModule : public SimModule {
public:
    void Install(VirtualPrinter& printer) override;
    void Reset() override {
        password.clear();
        changes = 0;
    }

    std::string password; // empty: none set
    int changes = 0;
};

} // namespace sim
