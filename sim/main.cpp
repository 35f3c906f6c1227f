// tarnvik-printer-sim: a virtual label printer to point Tarnvik at, for development,
// demonstrations and training. Serves until interrupted.

#include "FirmwareModule.h"
#include "LanResponder.h"
#include "MemoryModule.h"
#include "NetModule.h"
#include "PasswordModule.h"
#include "PtyServer.h"
#include "SimConsole.h"
#include "SimText.h"
#include "StandardPrinter.h"
#include "TcpServer.h"
#include "VirtualPrinter.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnSignal(int) {
    stopRequested = 1;
}

const char* const kUsage =
    "Usage: tarnvik-printer-sim [options]\n"
    "\n"
    "A virtual thermal label printer that answers the printer command language.\n"
    "\n"
    "Links:\n"
    "  --tcp ADDR:PORT        serve TCP (default 127.0.0.1:9100; port 0 picks a free one)\n"
    "  --no-tcp               do not serve TCP\n"
    "  --pty                  serve a pseudo-terminal for the serial link; prints its path\n"
    "  --fifo PATH            read a FIFO (created when missing) for the parallel link\n"
    "  --lan ADDR:PORT        answer the LAN setup protocol on a UDP address (e.g.\n"
    "                         127.0.0.2:22368, or 0.0.0.0:22368 inside a network namespace);\n"
    "                         repeat for more printers: the first is this printer, every\n"
    "                         further one a printer of its own with the next MAC address\n"
    "  --lan-group GROUP      LAN responders also join this multicast group (224.0.0.251)\n"
    "\n"
    "State:\n"
    "  --edition N            firmware edition, 100..9999 (default 105); older editions know\n"
    "                         fewer keys\n"
    "  --dpi N                print resolution in dots per inch, 100..1200: 203, 300 or 600\n"
    "                         as printers have them (default 203)\n"
    "  --password TEXT        printer password already set\n"
    "  --file MEM:NAME=PATH   a file already stored: MEM is DRAM, FLASH or CARD, NAME the\n"
    "                         printer's file name, PATH the PC file with its contents\n"
    "  --no-card              no memory card inserted\n"
    "  --status N             status byte answered to the status query (0..255)\n"
    "  --extended-status B    fifth extended status byte (0..255)\n"
    "  --no-extended-status   leave the extended status query unanswered\n"
    "  --serial TEXT          serial number line\n"
    "  --mac MAC              network MAC address (default 00:1B:82:00:00:01)\n"
    "  --net-name TEXT        network name (default PS-000001)\n"
    "  --model TEXT           model name told to LAN discovery (default TV-SIM)\n"
    "  --lan-status N         status byte of LAN discovery answers (1 printing, 2 pause,\n"
    "                         3 error)\n"
    "  --lan-flags N          error flags of LAN discovery answers (0..255)\n"
    "  --media M              what lies under the sensor: liner, label (default), mark, none\n"
    "  --restart-ms N         how long a firmware restart keeps the printer off (default 2000)\n"
    "\n"
    "Firmware: a file sent raw that starts with the line \"TARNVIK-FIRMWARE VERSION SIZE\"\n"
    "followed by SIZE bytes is new firmware: the printer restarts (drops its connections,\n"
    "is off for --restart-ms) and comes back reporting VERSION.\n"
    "\n"
    "While it runs, lines typed on standard input: \"media liner|label|mark|none\" puts\n"
    "another medium under the sensor, \"report\" tells what the printer went through,\n"
    "\"status N\" changes the status byte (0..255).\n"
    "\n"
    "Misbehaviour:\n"
    "  --refuse               refuse TCP connections\n"
    "  --silent               take everything, answer nothing\n"
    "  --stop-reading         stop reading what is sent\n"
    "  --close-after N        hang up after N received bytes per connection\n"
    "  --garbage TEXT         send TEXT before every answer\n"
    "  --frame-surplus N      frames announce N bytes more than they carry\n"
    "  --wrong-frame-end C    frames end with the character C instead of '}'\n"
    "  --trickle MS           send answers one byte every MS milliseconds\n"
    "  --firmware-fails       new firmware stops the printer for good (it never comes back)\n"
    "  --reply-delay MS       send every answer only after MS milliseconds\n"
    "\n"
    "  -h, --help             show this text\n";

bool ParseHostPort(const std::string& text, std::string& host, uint16_t& port) {
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos)
        return false;
    host = text.substr(0, colon);
    const std::optional<long> value = sim::WholeNumber(std::string_view(text).substr(colon + 1));
    if (!value || *value < 0 || *value > 65535)
        return false;
    port = static_cast<uint16_t>(*value);
    return !host.empty();
}

// "FLASH:LOGO.PCX=/path/to/logo.pcx": the memory, the printer's file name, the PC file.
bool ParseStoredFile(const std::string& text, int& memory, std::string& name, std::string& data) {
    static const char* const kMemories[] = {"DRAM", "FLASH", "CARD"};
    const size_t colon = text.find(':');
    const size_t equals = text.find('=', colon == std::string::npos ? 0 : colon);
    if (colon == std::string::npos || equals == std::string::npos || equals == colon + 1)
        return false;
    memory = -1;
    for (int i = 0; i < 3; ++i) {
        if (text.compare(0, colon, kMemories[i]) == 0)
            memory = i;
    }
    if (memory < 0)
        return false;
    name = text.substr(colon + 1, equals - colon - 1);
    std::ifstream in(text.substr(equals + 1), std::ios::binary);
    if (!in)
        return false;
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// The value of a numeric option: the whole text a number from low to high, or the program
// ends with a message saying so (status 2).
int NumberOption(const std::string& option, const std::string& text, long low, long high) {
    const std::optional<long> value = sim::WholeNumber(text);
    if (!value || *value < low || *value > high) {
        std::fprintf(stderr, "%s takes a whole number from %ld to %ld, not \"%s\"\n",
                     option.c_str(), low, high, text.c_str());
        std::exit(2);
    }
    return static_cast<int>(*value);
}

} // namespace

int main(int argc, char** argv) {
    sim::VirtualPrinter printer;
    int edition = sim::FirmwareProfile::kStandardEdition;
    int restartMs = sim::FirmwareModule::kDefaultRestartMs;
    int dpi = 203;
    std::string password;
    bool noCard = false;
    struct StoredFile {
        int memory;
        std::string name;
        std::string data;
    };
    std::vector<StoredFile> files;
    std::string tcpHost = "127.0.0.1";
    uint16_t tcpPort = 9100;
    bool serveTcp = true;
    bool servePty = false;
    std::string fifoPath;
    std::vector<std::pair<std::string, uint16_t>> lanAddresses;
    std::string lanGroup;
    sim::NetModule::Identity identity;
    int lanStatus = 0;
    int lanFlags = 0;
    std::string media;

    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "%s needs a value\n", option.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (option == "-h" || option == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (option == "--tcp") {
            if (!ParseHostPort(value(), tcpHost, tcpPort)) {
                std::fprintf(stderr, "--tcp takes ADDR:PORT\n");
                return 2;
            }
        } else if (option == "--no-tcp") {
            serveTcp = false;
        } else if (option == "--pty") {
            servePty = true;
        } else if (option == "--fifo") {
            fifoPath = value();
        } else if (option == "--lan") {
            std::string host;
            uint16_t port = 0;
            if (!ParseHostPort(value(), host, port)) {
                std::fprintf(stderr, "--lan takes ADDR:PORT\n");
                return 2;
            }
            lanAddresses.emplace_back(host, port);
        } else if (option == "--lan-group") {
            lanGroup = value();
        } else if (option == "--mac") {
            identity.mac = value();
        } else if (option == "--net-name") {
            identity.factoryName = value();
        } else if (option == "--model") {
            identity.model = value();
        } else if (option == "--lan-status") {
            lanStatus = NumberOption(option, value(), 0, 255);
        } else if (option == "--lan-flags") {
            lanFlags = NumberOption(option, value(), 0, 255);
        } else if (option == "--media") {
            media = value();
        } else if (option == "--edition") {
            edition = NumberOption(option, value(), 100, 9999);
        } else if (option == "--dpi") {
            dpi = NumberOption(option, value(), 100, 1200);
        } else if (option == "--password") {
            password = value();
        } else if (option == "--no-card") {
            noCard = true;
        } else if (option == "--file") {
            StoredFile file;
            if (!ParseStoredFile(value(), file.memory, file.name, file.data)) {
                std::fprintf(stderr, "--file takes DRAM|FLASH|CARD:NAME=PATH of a readable file\n");
                return 2;
            }
            files.push_back(std::move(file));
        } else if (option == "--status") {
            printer.statusByte = static_cast<uint8_t>(NumberOption(option, value(), 0, 255));
        } else if (option == "--extended-status") {
            printer.extendedStatus[4] = static_cast<uint8_t>(NumberOption(option, value(), 0, 255));
        } else if (option == "--no-extended-status") {
            printer.answersExtendedStatus = false;
        } else if (option == "--serial") {
            printer.serialNumber = value();
        } else if (option == "--refuse") {
            printer.faults.refuse = true;
        } else if (option == "--silent") {
            printer.faults.silent = true;
        } else if (option == "--stop-reading") {
            printer.faults.stopReading = true;
        } else if (option == "--close-after") {
            printer.faults.closeAfterBytes = NumberOption(option, value(), 0, 1 << 30);
        } else if (option == "--garbage") {
            printer.faults.garbageBeforeReply = value();
        } else if (option == "--frame-surplus") {
            printer.faults.frameLengthSurplus = NumberOption(option, value(), -65536, 65536);
        } else if (option == "--wrong-frame-end") {
            const std::string c = value();
            printer.faults.wrongFrameEnd = c.empty() ? ']' : c[0];
        } else if (option == "--trickle") {
            printer.faults.trickleDelayMs = NumberOption(option, value(), 0, 60000);
        } else if (option == "--firmware-fails") {
            printer.faults.deadAfterFirmware = true;
        } else if (option == "--restart-ms") {
            restartMs = NumberOption(option, value(), 0, 600000);
        } else if (option == "--reply-delay") {
            printer.faults.replyDelayMs = NumberOption(option, value(), 0, 600000);
        } else {
            std::fprintf(stderr, "unknown option %s (see --help)\n", option.c_str());
            return 2;
        }
    }

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGPIPE, SIG_IGN);

    sim::InstallStandardModules(printer, sim::FirmwareProfile::Of(edition, dpi));
    if (!media.empty() && !sim::SetMediaUnderSensor(printer, media)) {
        std::fprintf(stderr, "--media takes liner, label, mark or none\n");
        return 2;
    }
    if (sim::PasswordModule* module = printer.Module<sim::PasswordModule>())
        module->password = password;
    if (sim::FirmwareModule* firmware = printer.Module<sim::FirmwareModule>())
        firmware->restartMs = restartMs;
    if (sim::MemoryModule* memory = printer.Module<sim::MemoryModule>()) {
        if (noCard)
            memory->memories[sim::MemoryModule::Card].present = false;
        for (const StoredFile& file : files) {
            if (!memory->Store(file.memory, file.name, file.data)) {
                std::fprintf(stderr, "%s does not fit in its memory\n", file.name.c_str());
                return 1;
            }
        }
    }
    if (sim::NetModule* net = printer.Module<sim::NetModule>()) {
        net->SetIdentity(identity);
        net->lanStatus = static_cast<uint8_t>(lanStatus);
        net->lanErrorFlags = static_cast<uint8_t>(lanFlags);
    }

    std::unique_ptr<sim::TcpServer> tcp;
    std::unique_ptr<sim::PtyServer> pty;
    std::unique_ptr<sim::FifoServer> fifo;
    std::string error;
    if (serveTcp) {
        tcp = std::make_unique<sim::TcpServer>(printer, tcpHost, tcpPort);
        if (!tcp->Start(&error)) {
            std::fprintf(stderr, "cannot serve TCP on %s:%u: %s\n", tcpHost.c_str(), tcpPort,
                         error.c_str());
            return 1;
        }
        std::printf("TCP %s:%u\n", tcpHost.c_str(), tcp->Port());
    }
    if (servePty) {
        pty = std::make_unique<sim::PtyServer>(printer);
        if (!pty->Start(&error)) {
            std::fprintf(stderr, "cannot make a pseudo-terminal: %s\n", error.c_str());
            return 1;
        }
        std::printf("serial %s\n", pty->SlavePath().c_str());
    }
    if (!fifoPath.empty()) {
        fifo = std::make_unique<sim::FifoServer>(printer, fifoPath);
        if (!fifo->Start(&error)) {
            std::fprintf(stderr, "cannot serve %s: %s\n", fifoPath.c_str(), error.c_str());
            return 1;
        }
        std::printf("parallel %s\n", fifoPath.c_str());
    }
    std::vector<std::unique_ptr<sim::VirtualPrinter>> lanPrinters;
    std::vector<std::unique_ptr<sim::LanResponder>> lanResponders;
    for (size_t i = 0; i < lanAddresses.size(); ++i) {
        sim::VirtualPrinter* served = &printer;
        if (i > 0) {
            // Every further address is a printer of its own, with the next MAC and name.
            sim::NetModule::Identity next = identity;
            char suffix[8];
            std::snprintf(suffix, sizeof suffix, "%02X", static_cast<unsigned>(i + 1) & 0xFF);
            next.mac = next.mac.substr(0, next.mac.size() >= 2 ? next.mac.size() - 2 : 0) + suffix;
            next.factoryName += "-" + std::to_string(i + 1);
            lanPrinters.push_back(std::make_unique<sim::VirtualPrinter>());
            served = lanPrinters.back().get();
            served->AddModule<sim::NetModule>(next);
        }
        sim::LanResponder::Options options;
        options.address = lanAddresses[i].first;
        options.port = lanAddresses[i].second;
        options.multicastGroup = lanGroup;
        auto responder = std::make_unique<sim::LanResponder>(*served, options);
        if (!responder->Start()) {
            std::fprintf(stderr, "cannot answer LAN setup on %s:%u: %s\n", options.address.c_str(),
                         options.port, responder->Error().c_str());
            return 1;
        }
        std::printf("LAN %s:%u %s\n", options.address.c_str(), responder->Port(),
                    served->Module<sim::NetModule>()->Ident().mac.c_str());
        lanResponders.push_back(std::move(responder));
    }
    std::fflush(stdout);

    sim::RunConsole(printer, stdin, stdout, stopRequested);
    return 0;
}
