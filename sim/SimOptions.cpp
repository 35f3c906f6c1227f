#include "SimOptions.h"

#include "FirmwareModule.h"
#include "FirmwareProfile.h"
#include "SimText.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace sim {

namespace {

const char* const kSimUsage =
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
    "Fleet (for benches and demonstrations; replaces the links above):\n"
    "  --fleet N              serve N printers on consecutive ports of 127.0.0.1 from one\n"
    "                         thread, all answering from this printer's state\n"
    "  --base-port P          the first printer's port (ports P..P+N-1)\n"
    "  --fleet-silent PCT     percent of them silent (take the connection, never answer)\n"
    "  --fleet-refusing PCT   percent refusing (the port held, not listening)\n"
    "  --fleet-unaccepting PCT  percent not accepting (full backlog: a connect hangs, as\n"
    "                         with a printer switched off)\n"
    "  --fleet-slow PCT       percent answering slowly (--fleet-slow-ms, default 2000)\n"
    "  --fleet-garbage PCT    percent sending 5000 bytes of garbage before every answer\n"
    "  --fleet-hangup PCT     percent hanging up after two bytes\n"
    "  The fleet is laid out in that order by port; one line per kind tells its ports.\n"
    "\n"
    "  -h, --help             show this text\n";

bool ParseHostPort(const std::string& text, std::string& host, uint16_t& port) {
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos)
        return false;
    host = text.substr(0, colon);
    const std::optional<long> value = WholeNumber(std::string_view(text).substr(colon + 1));
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
    const std::optional<long> value = WholeNumber(text);
    if (!value || *value < low || *value > high) {
        std::fprintf(stderr, "%s takes a whole number from %ld to %ld, not \"%s\"\n",
                     option.c_str(), low, high, text.c_str());
        std::exit(2);
    }
    return static_cast<int>(*value);
}

// A share of the fleet in percent, 0..100.
double PercentOption(const std::string& option, const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value >= 0 && value <= 100)) {
        std::fprintf(stderr, "%s takes a percentage from 0 to 100, not \"%s\"\n", option.c_str(),
                     text.c_str());
        std::exit(2);
    }
    return value;
}

// The role a --fleet-KIND option sets, in FleetServer::Role order; -1 for none.
int FleetRole(const std::string& option) {
    static const char* const kOptions[] = {"--fleet-silent",      "--fleet-refusing",
                                           "--fleet-unaccepting", "--fleet-slow",
                                           "--fleet-garbage",     "--fleet-hangup"};
    for (int role = 0; role < FleetServer::kRoles - 1; ++role) {
        if (option == kOptions[role])
            return role;
    }
    return -1;
}

} // namespace

SimOptions ParseSimOptions(int argc, char** argv) {
    SimOptions o;
    o.edition = FirmwareProfile::kStandardEdition;
    o.restartMs = FirmwareModule::kDefaultRestartMs;
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
            std::fputs(kSimUsage, stdout);
            std::exit(0);
        } else if (option == "--tcp") {
            if (!ParseHostPort(value(), o.tcpHost, o.tcpPort)) {
                std::fprintf(stderr, "--tcp takes ADDR:PORT\n");
                std::exit(2);
            }
        } else if (option == "--no-tcp") {
            o.serveTcp = false;
        } else if (option == "--pty") {
            o.servePty = true;
        } else if (option == "--fifo") {
            o.fifoPath = value();
        } else if (option == "--lan") {
            std::string host;
            uint16_t port = 0;
            if (!ParseHostPort(value(), host, port)) {
                std::fprintf(stderr, "--lan takes ADDR:PORT\n");
                std::exit(2);
            }
            o.lanAddresses.emplace_back(host, port);
        } else if (option == "--lan-group") {
            o.lanGroup = value();
        } else if (option == "--mac") {
            o.identity.mac = value();
        } else if (option == "--net-name") {
            o.identity.factoryName = value();
        } else if (option == "--model") {
            o.identity.model = value();
        } else if (option == "--lan-status") {
            o.lanStatus = NumberOption(option, value(), 0, 255);
        } else if (option == "--lan-flags") {
            o.lanFlags = NumberOption(option, value(), 0, 255);
        } else if (option == "--media") {
            o.media = value();
        } else if (option == "--edition") {
            o.edition = NumberOption(option, value(), 100, 9999);
        } else if (option == "--dpi") {
            o.dpi = NumberOption(option, value(), 100, 1200);
        } else if (option == "--password") {
            o.password = value();
        } else if (option == "--no-card") {
            o.noCard = true;
        } else if (option == "--file") {
            SimOptions::StoredFile file;
            if (!ParseStoredFile(value(), file.memory, file.name, file.data)) {
                std::fprintf(stderr, "--file takes DRAM|FLASH|CARD:NAME=PATH of a readable file\n");
                std::exit(2);
            }
            o.files.push_back(std::move(file));
        } else if (option == "--status") {
            o.statusByte = static_cast<uint8_t>(NumberOption(option, value(), 0, 255));
        } else if (option == "--extended-status") {
            o.extendedStatus = static_cast<uint8_t>(NumberOption(option, value(), 0, 255));
        } else if (option == "--no-extended-status") {
            o.noExtendedStatus = true;
        } else if (option == "--serial") {
            o.serialNumber = value();
        } else if (option == "--refuse") {
            o.faults.refuse = true;
        } else if (option == "--silent") {
            o.faults.silent = true;
        } else if (option == "--stop-reading") {
            o.faults.stopReading = true;
        } else if (option == "--close-after") {
            o.faults.closeAfterBytes = NumberOption(option, value(), 0, 1 << 30);
        } else if (option == "--garbage") {
            o.faults.garbageBeforeReply = value();
        } else if (option == "--frame-surplus") {
            o.faults.frameLengthSurplus = NumberOption(option, value(), -65536, 65536);
        } else if (option == "--wrong-frame-end") {
            const std::string c = value();
            o.faults.wrongFrameEnd = c.empty() ? ']' : c[0];
        } else if (option == "--trickle") {
            o.faults.trickleDelayMs = NumberOption(option, value(), 0, 60000);
        } else if (option == "--firmware-fails") {
            o.faults.deadAfterFirmware = true;
        } else if (option == "--restart-ms") {
            o.restartMs = NumberOption(option, value(), 0, 600000);
        } else if (option == "--reply-delay") {
            o.faults.replyDelayMs = NumberOption(option, value(), 0, 600000);
        } else if (option == "--fleet") {
            o.fleet.count = NumberOption(option, value(), 1, 60000);
        } else if (option == "--base-port") {
            o.fleet.basePort = static_cast<uint16_t>(NumberOption(option, value(), 1, 65535));
        } else if (option == "--fleet-slow-ms") {
            o.fleet.slowMs = NumberOption(option, value(), 0, 600000);
        } else if (option.rfind("--fleet-", 0) == 0 && FleetRole(option) >= 0) {
            o.fleet.shares[FleetRole(option)] = PercentOption(option, value());
        } else {
            std::fprintf(stderr, "unknown option %s (see --help)\n", option.c_str());
            std::exit(2);
        }
    }

    double shareSum = 0;
    for (double share : o.fleet.shares)
        shareSum += share;
    if (shareSum > 100) {
        std::fprintf(stderr, "the fleet's shares add up to more than 100 %%\n");
        std::exit(2);
    }
    return o;
}

} // namespace sim
