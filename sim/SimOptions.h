#pragma once

#include "Faults.h"
#include "FleetServer.h"
#include "NetModule.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sim {

// The virtual printer's command line.
struct SimOptions {
    struct StoredFile {
        int memory;
        std::string name;
        std::string data;
    };

    int edition = 0;
    int restartMs = 0;
    int dpi = 203;
    std::string password;
    bool noCard = false;
    std::vector<StoredFile> files;
    std::string tcpHost = "127.0.0.1";
    uint16_t tcpPort = 9100;
    bool serveTcp = true;
    bool servePty = false;
    std::string fifoPath;
    std::vector<std::pair<std::string, uint16_t>> lanAddresses;
    std::string lanGroup;
    NetModule::Identity identity;
    int lanStatus = 0;
    int lanFlags = 0;
    std::string media;
    std::optional<uint8_t> statusByte;
    std::optional<uint8_t> extendedStatus;
    bool noExtendedStatus = false;
    std::string serialNumber;
    Faults faults;
    // --fleet: count 0 serves the single printer.
    FleetServer::Layout fleet;
};

// Reads the arguments; on a mistake (or --help) prints what it must and ends the program
// with status 2 (0 for --help).
SimOptions ParseSimOptions(int argc, char** argv);

} // namespace sim
