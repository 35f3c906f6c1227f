#include "app/DemoPrinter.h"
#include "app/QtPrompter.h"
#include "app/TarnvikApplication.h"
#include "app/TFormMain.h"
#include "link/FormProcessFactory.h"
#include "link/PrinterLink.h"
#include "link/ProgressWindow.h"

#include <QLocale>
#include <QMessageBox>

#include <exception>

namespace {

// The README demo points the Ethernet link at the virtual printer through this variable,
// "address:port". The program reads it only when it is set; users never need it.
void PointAtDemoPrinter(TFormMain& window) {
    const std::optional<DemoPrinter> demo =
        DemoPrinter::Parse(qEnvironmentVariable("TARNVIK_DEMO_PRINTER"));
    if (demo)
        window.UseEthernetPrinter(demo->address, demo->port);
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
        TFormMain window(link, prompter, QLocale::system());
        PointAtDemoPrinter(window);
        window.show();
        TarnvikApplication::exec();
        link.SetProgressWindow(nullptr);
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QStringLiteral("Tarnvik"),
                              QString::fromLocal8Bit(error.what()));
    }
    return 0;
}
