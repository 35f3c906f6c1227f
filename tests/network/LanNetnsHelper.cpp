// Runs one side of the LAN setup protocol inside a network namespace for the namespace
// test: "respond" serves virtual printers on the wildcard address, "discover" runs the
// product's discovery with its default targets and prints one line per answer.

#include "network/LanSetup.h"

#include "LanResponder.h"
#include "NetModule.h"
#include "VirtualPrinter.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnSignal(int) {
    stopRequested = 1;
}

int Respond(int printers, int seconds, const std::string& group) {
    std::vector<std::unique_ptr<sim::VirtualPrinter>> all;
    std::vector<std::unique_ptr<sim::LanResponder>> responders;
    for (int i = 1; i <= printers; ++i) {
        sim::NetModule::Identity id;
        char mac[18];
        std::snprintf(mac, sizeof mac, "02:00:00:00:00:%02X", i & 0xFF);
        id.mac = mac;
        id.factoryName = "NS-PRINTER-" + std::to_string(i);
        id.dhcpAddress = "10.77.0." + std::to_string(100 + i);
        auto printer = std::make_unique<sim::VirtualPrinter>();
        printer->AddModule<sim::NetModule>(id);
        sim::LanResponder::Options options;
        options.address = "0.0.0.0";
        options.port = kLanSetupPort;
        options.multicastGroup = group;
        auto responder = std::make_unique<sim::LanResponder>(*printer, options);
        if (!responder->Start()) {
            std::fprintf(stderr, "cannot serve: %s\n", responder->Error().c_str());
            return 1;
        }
        all.push_back(std::move(printer));
        responders.push_back(std::move(responder));
    }
    std::printf("ready\n");
    std::fflush(stdout);
    for (int tenth = 0; tenth < seconds * 10 && !stopRequested; ++tenth)
        ::usleep(100000);
    return 0;
}

int Discover(int waitMs) {
    LanClientSettings settings;
    settings.discoveryWaitMs = waitMs;
    LanClient client(settings);
    const auto answers = DiscoverLanPrinters(client, 1);
    if (!answers) {
        std::fprintf(stderr, "no socket\n");
        return 1;
    }
    for (const LanDiscoveryAnswer& answer : *answers)
        std::printf("%s %s %s %s\n", MacText(answer.mac).c_str(), Ipv4Text(answer.ip).c_str(),
                    answer.printerName.c_str(), LanStatusText(answer).c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "respond" && argc == 5)
        return Respond(std::atoi(argv[2]), std::atoi(argv[3]), argv[4]);
    if (mode == "discover" && argc == 3)
        return Discover(std::atoi(argv[2]));
    std::fprintf(stderr, "usage: %s respond PRINTERS SECONDS GROUP | discover WAIT_MS\n", argv[0]);
    return 2;
}
