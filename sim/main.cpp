// tarnvik-printer-sim: a virtual label printer to point Tarnvik at, for development,
// demonstrations and training; with --fleet, thousands of them. Serves until interrupted.

#include "FirmwareModule.h"
#include "FleetServer.h"
#include "LanResponder.h"
#include "MemoryModule.h"
#include "NetModule.h"
#include "PasswordModule.h"
#include "PtyServer.h"
#include "SimConsole.h"
#include "SimOptions.h"
#include "StandardPrinter.h"
#include "TcpServer.h"
#include "VirtualPrinter.h"

#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnSignal(int) {
    stopRequested = 1;
}

// Gives the printer its modules and the state the options ask for; false with a message.
bool ConfigurePrinter(sim::VirtualPrinter& printer, const sim::SimOptions& options) {
    if (options.statusByte)
        printer.statusByte = *options.statusByte;
    if (options.extendedStatus)
        printer.extendedStatus[4] = *options.extendedStatus;
    if (options.noExtendedStatus)
        printer.answersExtendedStatus = false;
    if (!options.serialNumber.empty())
        printer.serialNumber = options.serialNumber;
    printer.faults = options.faults;
    sim::InstallStandardModules(printer, sim::FirmwareProfile::Of(options.edition, options.dpi));
    if (!options.media.empty() && !sim::SetMediaUnderSensor(printer, options.media)) {
        std::fprintf(stderr, "--media takes liner, label, mark or none\n");
        return false;
    }
    if (sim::PasswordModule* module = printer.Module<sim::PasswordModule>())
        module->password = options.password;
    if (sim::FirmwareModule* firmware = printer.Module<sim::FirmwareModule>())
        firmware->restartMs = options.restartMs;
    if (sim::MemoryModule* memory = printer.Module<sim::MemoryModule>()) {
        if (options.noCard)
            memory->memories[sim::MemoryModule::Card].present = false;
        for (const sim::SimOptions::StoredFile& file : options.files) {
            if (!memory->Store(file.memory, file.name, file.data)) {
                std::fprintf(stderr, "%s does not fit in its memory\n", file.name.c_str());
                return false;
            }
        }
    }
    if (sim::NetModule* net = printer.Module<sim::NetModule>()) {
        net->SetIdentity(options.identity);
        net->lanStatus = static_cast<uint8_t>(options.lanStatus);
        net->lanErrorFlags = static_cast<uint8_t>(options.lanFlags);
    }
    return true;
}

// The single printer's links: TCP, a pseudo-terminal, a FIFO, each as asked.
struct Links {
    std::unique_ptr<sim::TcpServer> tcp;
    std::unique_ptr<sim::PtyServer> pty;
    std::unique_ptr<sim::FifoServer> fifo;
};

bool ServeLinks(sim::VirtualPrinter& printer, const sim::SimOptions& options, Links& links) {
    std::string error;
    if (options.serveTcp) {
        links.tcp = std::make_unique<sim::TcpServer>(printer, options.tcpHost, options.tcpPort);
        if (!links.tcp->Start(&error)) {
            std::fprintf(stderr, "cannot serve TCP on %s:%u: %s\n", options.tcpHost.c_str(),
                         options.tcpPort, error.c_str());
            return false;
        }
        std::printf("TCP %s:%u\n", options.tcpHost.c_str(), links.tcp->Port());
    }
    if (options.servePty) {
        links.pty = std::make_unique<sim::PtyServer>(printer);
        if (!links.pty->Start(&error)) {
            std::fprintf(stderr, "cannot make a pseudo-terminal: %s\n", error.c_str());
            return false;
        }
        std::printf("serial %s\n", links.pty->SlavePath().c_str());
    }
    if (!options.fifoPath.empty()) {
        links.fifo = std::make_unique<sim::FifoServer>(printer, options.fifoPath);
        if (!links.fifo->Start(&error)) {
            std::fprintf(stderr, "cannot serve %s: %s\n", options.fifoPath.c_str(), error.c_str());
            return false;
        }
        std::printf("parallel %s\n", options.fifoPath.c_str());
    }
    return true;
}

// LAN set-up answers: the first address is this printer, every further one a printer of
// its own with the next MAC address and name.
struct LanPrinters {
    std::vector<std::unique_ptr<sim::VirtualPrinter>> printers;
    std::vector<std::unique_ptr<sim::LanResponder>> responders;
};

bool AnswerLan(sim::VirtualPrinter& printer, const sim::SimOptions& options, LanPrinters& lan) {
    for (size_t i = 0; i < options.lanAddresses.size(); ++i) {
        sim::VirtualPrinter* served = &printer;
        if (i > 0) {
            sim::NetModule::Identity next = options.identity;
            char suffix[8];
            std::snprintf(suffix, sizeof suffix, "%02X", static_cast<unsigned>(i + 1) & 0xFF);
            next.mac = next.mac.substr(0, next.mac.size() >= 2 ? next.mac.size() - 2 : 0) + suffix;
            next.factoryName += "-" + std::to_string(i + 1);
            lan.printers.push_back(std::make_unique<sim::VirtualPrinter>());
            served = lan.printers.back().get();
            served->AddModule<sim::NetModule>(next);
        }
        sim::LanResponder::Options responder;
        responder.address = options.lanAddresses[i].first;
        responder.port = options.lanAddresses[i].second;
        responder.multicastGroup = options.lanGroup;
        auto started = std::make_unique<sim::LanResponder>(*served, responder);
        if (!started->Start()) {
            std::fprintf(stderr, "cannot answer LAN setup on %s:%u: %s\n",
                         responder.address.c_str(), responder.port, started->Error().c_str());
            return false;
        }
        std::printf("LAN %s:%u %s\n", responder.address.c_str(), started->Port(),
                    served->Module<sim::NetModule>()->Ident().mac.c_str());
        lan.responders.push_back(std::move(started));
    }
    return true;
}

// N printers from one thread until interrupted; each listener takes a descriptor, so the
// open-file limit is raised to its hard limit first.
int RunFleet(sim::VirtualPrinter& printer, const sim::SimOptions& options) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
    // The fleet's printers serve thousands of connections: next to no record of what they got.
    printer.receivedLimit = 1;
    printer.commandLimit = 1;
    sim::FleetServer fleet(printer, options.fleet);
    std::string error;
    if (!fleet.Start(&error)) {
        std::fprintf(stderr, "cannot serve the fleet: %s\n", error.c_str());
        return 1;
    }
    std::fputs(fleet.Describe().c_str(), stdout);
    std::printf("fleet of %d ready\n", options.fleet.count);
    std::fflush(stdout);
    fleet.Run(stopRequested);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const sim::SimOptions options = sim::ParseSimOptions(argc, argv);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGPIPE, SIG_IGN);

    sim::VirtualPrinter printer;
    if (!ConfigurePrinter(printer, options))
        return 2;
    if (options.fleet.count > 0)
        return RunFleet(printer, options);
    Links links;
    LanPrinters lan;
    if (!ServeLinks(printer, options, links) || !AnswerLan(printer, options, lan))
        return 1;
    std::fflush(stdout);
    sim::RunConsole(printer, stdin, stdout, stopRequested);
    return 0;
}
