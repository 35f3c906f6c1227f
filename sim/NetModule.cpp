#include "NetModule.h"

#include <vector>

namespace sim {

namespace {

// The texts between double quotes, in order.
std::vector<std::string> QuotedTexts(std::string_view line) {
    std::vector<std::string> texts;
    size_t at = 0;
    for (;;) {
        const size_t open = line.find('"', at);
        if (open == std::string_view::npos)
            break;
        const size_t close = line.find('"', open + 1);
        if (close == std::string_view::npos)
            break;
        texts.emplace_back(line.substr(open + 1, close - open - 1));
        at = close + 1;
    }
    return texts;
}

} // namespace

NetModule::NetModule() : NetModule(Identity{}) {}

NetModule::NetModule(Identity identity) : identity_(std::move(identity)) {
    FactoryDefault();
}

void NetModule::SetIdentity(Identity identity) {
    identity_ = std::move(identity);
    FactoryDefault();
}

void NetModule::FactoryDefault() {
    UseDhcp();
    mask = "255.255.255.0";
    gateway = "0.0.0.0";
    name = identity_.factoryName;
}

void NetModule::UseDhcp() {
    dhcp = true;
    ip = "0.0.0.0";
    lastUsedIp = identity_.dhcpAddress;
}

void NetModule::UseFixedAddress(std::string address, std::string subnetMask,
                                std::string gatewayAddress) {
    dhcp = false;
    ip = std::move(address);
    mask = std::move(subnetMask);
    gateway = std::move(gatewayAddress);
    lastUsedIp = ip;
}

std::string NetModule::CurrentAddress() const {
    return dhcp ? lastUsedIp : ip;
}

void NetModule::Reset() {
    FactoryDefault();
    lanStatus = 0;
    lanErrorFlags = 0;
}

void NetModule::Install(VirtualPrinter& printer) {
    // The handlers find the module through the printer, so that a module put in place of
    // this one later is the one they change.
    const auto net = [](VirtualPrinter& p) -> NetModule& { return *p.Module<NetModule>(); };
    printer.AddLineHandler(
        "NET DHCP", [net](VirtualPrinter& p, std::string_view, std::string&) { net(p).UseDhcp(); });
    printer.AddLineHandler("NET IP", [net](VirtualPrinter& p, std::string_view line, std::string&) {
        const auto texts = QuotedTexts(line);
        if (texts.size() == 3)
            net(p).UseFixedAddress(texts[0], texts[1], texts[2]);
    });
    printer.AddLineHandler("NET NAME",
                           [net](VirtualPrinter& p, std::string_view line, std::string&) {
                               const auto texts = QuotedTexts(line);
                               if (!texts.empty())
                                   net(p).name = texts[0];
                           });
    const auto report = [net](std::string NetModule::*field) {
        return [net, field](VirtualPrinter& p, std::string& value) {
            value = net(p).*field;
            return true;
        };
    };
    printer.AddReportKey("CONFIGIP", report(&NetModule::ip));
    printer.AddReportKey("IPMASK", report(&NetModule::mask));
    printer.AddReportKey("GATEWAY", report(&NetModule::gateway));
    printer.AddReportKey("LASTUSEDIP", report(&NetModule::lastUsedIp));
    printer.AddReportKey("NETNAME", [net](VirtualPrinter& p, std::string& value) {
        value = net(p).name;
        return net(p).reportsName;
    });
    printer.AddReportKey("MACADDR", [net](VirtualPrinter& p, std::string& value) {
        value = net(p).identity_.mac;
        return net(p).reportsMac;
    });
}

} // namespace sim
