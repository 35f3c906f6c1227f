#include "gui/main/MainWindowRun.h"

#include "gui/kit/QtPrompter.h"
#include "gui/link/FormProcessFactory.h"
#include "gui/main/TarnvikApplication.h"
#include "gui/main/TFormMain.h"
#include "link/EventPump.h"
#include "link/PrinterLink.h"
#include "link/ProgressWindow.h"

#include <QLocale>
#include <QMessageBox>

#include <exception>

int RunMainWindow(const LanClientSettings& lan, const std::function<void(TFormMain&)>& prepare) {
    try {
        PrinterLink link;
        FormProcessFactory views;
        ProgressWindow progress(&views);
        link.SetProgressWindow(&progress);
        link.SetProcessEventsHook(EventPump{});

        QtPrompter prompter;
        TFormMain window(link, prompter, QLocale::system(), {}, lan);
        if (prepare)
            prepare(window);
        window.show();
        TarnvikApplication::exec();
        link.SetProgressWindow(nullptr);
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QStringLiteral("Tarnvik"),
                              QString::fromLocal8Bit(error.what()));
    }
    return 0;
}
