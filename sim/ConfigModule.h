#pragma once

#include "ConfigSettings.h"
#include "FirmwareProfile.h"
#include "VirtualPrinter.h"

#include <functional>
#include <string>
#include <string_view>

namespace sim {

// The printer's configuration: answers the "DIAGNOSTIC REPORT" keys its firmware edition
// knows and applies the configuration commands it receives (SPEED, SIZE, GAP, the SET
// commands, SET COM1, the Z commands in their envelopes, the D commands of all three
// control-code sets). Reset, also reached through the core's reset, restores the
// defaults of the profile.
class ConfigModule : public SimModule {
public:
    explicit ConfigModule(
        FirmwareProfile profile = FirmwareProfile::Of(FirmwareProfile::kStandardEdition));

    void Install(VirtualPrinter& printer) override;
    void Reset() override;

    const FirmwareProfile& Profile() const { return profile_; }
    // The version text reported after new firmware was taken.
    void SetVersion(std::string version) { profile_.version = std::move(version); }
    // The settings as the printer holds them; read and change them under the printer's
    // Lock() while a server runs.
    ConfigSettings& Settings() { return settings_; }
    const ConfigSettings& Settings() const { return settings_; }

    // The factory settings of a profile: 4.00 x 2.50 inch labels, 0.12 inch gaps.
    static ConfigSettings DefaultsFor(const FirmwareProfile& profile);

    // A length of a command ("4.00", "101.50 mm", "12 dot") in dots at this resolution.
    double LengthInDots(std::string_view text) const;

private:
    void AddReports(VirtualPrinter& printer);
    using Apply = std::function<void(std::string_view argument)>;
    // A command line "NAME ARGUMENT": `apply` gets the argument without surrounding spaces.
    static void AddCommand(VirtualPrinter& printer, std::string name, Apply apply);
    static void AddSwitch(VirtualPrinter& printer, std::string name, bool& target);
    // "A,B", two lengths; false, with nothing changed, when either is not a length.
    bool LengthPair(std::string_view argument, double& first, double& second) const;
    void AddCommonCommands(VirtualPrinter& printer);
    void AddMediaCommands(VirtualPrinter& printer);
    void AddPrintOutCommands(VirtualPrinter& printer);
    void AddPlacementCommands(VirtualPrinter& printer);
    void AddSettingCommands(VirtualPrinter& printer);
    void AddSensorCommands(VirtualPrinter& printer);
    void AddSerialCommand(VirtualPrinter& printer);
    void AddEmulationCommands(VirtualPrinter& printer);
    void ApplyZ(std::string_view command);
    void ApplyD(std::string_view command);
    void ApplyDLabel(std::string_view pieces);
    int HundredthsToDots(int hundredths) const;

    FirmwareProfile profile_;
    ConfigSettings settings_;
    VirtualPrinter* printer_ = nullptr;
};

} // namespace sim
