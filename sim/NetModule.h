#pragma once

#include "VirtualPrinter.h"

#include <cstdint>
#include <string>

namespace sim {

// The printer's network interface: its address settings, name and MAC, the NET commands
// over the printer link, the network reports, and what the LAN setup responder tells
// about the printer. The state is read and changed under the printer's Lock().
class NetModule : public SimModule {
public:
    // What a factory default does not change.
    struct Identity {
        std::string mac = "00:1B:82:00:00:01";
        std::string model = "TV-SIM";
        std::string factoryName = "PS-000001";
        // The address the printer gets when it asks for one by DHCP.
        std::string dhcpAddress = "192.168.1.100";
    };

    NetModule();
    explicit NetModule(Identity identity);

    void Install(VirtualPrinter& printer) override;
    void Reset() override;

    const Identity& Ident() const { return identity_; }
    // Another printer: its identity, then the factory state.
    void SetIdentity(Identity identity);
    // The address the printer answers on now: the DHCP lease or the fixed address.
    std::string CurrentAddress() const;

    // DHCP on, no fixed address, the factory name.
    void FactoryDefault();
    void UseDhcp();
    void UseFixedAddress(std::string address, std::string subnetMask, std::string gatewayAddress);

    bool dhcp = true;
    std::string ip;
    std::string mask;
    std::string gateway;
    std::string lastUsedIp;
    std::string name;
    // Status byte and error flags of the LAN discovery answer.
    uint8_t lanStatus = 0;
    uint8_t lanErrorFlags = 0;
    // Older firmware answers neither NETNAME nor MACADDR.
    bool reportsName = true;
    bool reportsMac = true;

private:
    Identity identity_;
};

} // namespace sim
