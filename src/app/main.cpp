#include "app/DemoPrinter.h"
#include "app/TarnvikApplication.h"
#include "app/TFormMain.h"
#include "link/FormProcessFactory.h"
#include "link/PrinterLink.h"
#include "link/ProgressWindow.h"
#include "ui/QtPrompter.h"

#include <QHostAddress>
#include <QLocale>
#include <QMessageBox>

#include <exception>
#include <optional>

namespace {

// The README demo points the program at the virtual printer through this variable,
// "address:port": the Ethernet link goes there, and LAN discovery asks that address
// instead of the whole network. Users never need it.
std::optional<DemoPrinter> DemoPrinterFromEnvironment() {
    return DemoPrinter::Parse(qEnvironmentVariable("TARNVIK_DEMO_PRINTER"));
}

LanClientSettings LanSettingsFor(const std::optional<DemoPrinter>& demo) {
    LanClientSettings lan;
    if (demo) {
        const QHostAddress target(demo->address);
        if (!target.isNull()) {
            lan.broadcastTargets = {target};
            lan.multicastTargets = {target};
        }
    }
    return lan;
}

} // namespace

int main(int argc, char* argv[]) {
    TarnvikApplication application(argc, argv);
    try {
        PrinterLink link;
        FormProcessFactory views;
        ProgressWindow progress(&views);
        link.SetProgressWindow(&progress);
        link.SetProcessEventsHook([] { QCoreApplication::processEvents(); });

        QtPrompter prompter;
        const std::optional<DemoPrinter> demo = DemoPrinterFromEnvironment();
        TFormMain window(link, prompter, QLocale::system(), {}, LanSettingsFor(demo));
        if (demo)
            window.UseEthernetPrinter(demo->address, demo->port);
        window.show();
        TarnvikApplication::exec();
        link.SetProgressWindow(nullptr);
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QStringLiteral("Tarnvik"),
                              QString::fromLocal8Bit(error.what()));
    }
    return 0;
}
