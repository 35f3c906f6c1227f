// tarnvik-demo: the main window against a virtual printer running inside the same process,
// on loopback only. The Ethernet link is chosen and pointed at the printer, and LAN
// discovery asks the printer's address instead of the whole network.

#include "gui/main/MainWindowRun.h"
#include "gui/main/TarnvikApplication.h"
#include "gui/main/TFormMain.h"

#include "LanResponder.h"
#include "StandardPrinter.h"
#include "TcpServer.h"
#include "VirtualPrinter.h"

#include <QCommandLineParser>
#include <QHostAddress>

#include <cstdio>

namespace {

// A port option's value: 0 (any free port) to 65535.
bool PortValue(const QCommandLineParser& parser, const QString& name, uint16_t* port) {
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < 0 || value > 65535)
        return false;
    *port = static_cast<uint16_t>(value);
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    TarnvikApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Tarnvik with a virtual printer inside, on 127.0.0.1 (ports 0: any free port)."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("port"), QStringLiteral("TCP port of the printer."),
                      QStringLiteral("PORT"), QStringLiteral("9100")});
    parser.addOption({QStringLiteral("lan-port"),
                      QStringLiteral("UDP port of the LAN setup protocol."), QStringLiteral("PORT"),
                      QStringLiteral("22368")});
    parser.process(application);
    uint16_t tcpPort = 0;
    uint16_t lanPort = 0;
    if (!PortValue(parser, QStringLiteral("port"), &tcpPort) ||
        !PortValue(parser, QStringLiteral("lan-port"), &lanPort)) {
        std::fprintf(stderr, "tarnvik-demo: ports are 0 to 65535\n");
        return 2;
    }

    sim::VirtualPrinter printer;
    sim::InstallStandardModules(printer);
    sim::TcpServer tcp(printer, "127.0.0.1", tcpPort);
    std::string error;
    if (!tcp.Start(&error)) {
        std::fprintf(stderr, "tarnvik-demo: cannot serve TCP on 127.0.0.1:%u: %s\n", tcpPort,
                     error.c_str());
        return 1;
    }
    sim::LanResponder::Options lanOptions;
    lanOptions.port = lanPort;
    sim::LanResponder lan(printer, lanOptions);
    if (!lan.Start()) {
        std::fprintf(stderr, "tarnvik-demo: cannot answer the LAN protocol on UDP %u\n", lanPort);
        return 1;
    }
    std::printf("virtual printer: TCP 127.0.0.1:%u, LAN protocol UDP 127.0.0.1:%u\n", tcp.Port(),
                lan.Port());
    std::fflush(stdout);

    LanClientSettings settings;
    const QHostAddress loopback(QHostAddress::LocalHost);
    settings.broadcastTargets = {loopback};
    settings.multicastTargets = {loopback};
    settings.port = lan.Port();
    return RunMainWindow(settings, [&tcp](TFormMain& window) {
        window.UseEthernetPrinter(QStringLiteral("127.0.0.1"), tcp.Port());
    });
}
