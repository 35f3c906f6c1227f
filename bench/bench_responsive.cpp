// Prints, for a printer that misbehaves in each way that makes the program wait (silent,
// trickling, no longer reading) on TCP and on the serial pseudo-terminal, and for the reply
// view on a healthy printer: the longest stall of the window's event loop while the
// operation ran, and the time from a press of "Cancel" to the window being enabled again.
// The real window runs with the product's own time-outs on the offscreen platform.

#include "FakeUsbDeviceSource.h"
#include "gui/command/CommandToolPage.h"
#include "gui/config/ConfigPage.h"
#include "gui/link/FormProcessFactory.h"
#include "gui/link/TFormProcess.h"
#include "gui/main/TFormMain.h"
#include "link/EventPump.h"
#include "link/FixedText.h"
#include "link/PrinterLink.h"
#include "link/ProgressWindow.h"
#include "operations/OperationCode.h"
#include "PtyServer.h"
#include "ScriptedPrompter.h"
#include "StandardPrinter.h"
#include "TcpServer.h"
#include "VirtualPrinter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

QPushButton* OfferedCancel() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* form = qobject_cast<TFormProcess*>(top);
            form && form->isVisible() && form->ButtonCancel->isVisible())
            return form->ButtonCancel;
    }
    return nullptr;
}

struct Figures {
    double stallMs = 0;
    double cancelMs = -1; // -1: nothing to cancel
    double totalMs = 0;
    QString message;
};

// Runs the press with a 5 ms timer measuring the gaps between turns of the event loop, and
// presses "Cancel" once it is offered.
Figures Measure(TFormMain& window, ScriptedPrompter& prompter, const std::function<void()>& press) {
    Figures figures;
    Clock::time_point lastTurn = Clock::now();
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const auto now = Clock::now();
        figures.stallMs = std::max(figures.stallMs, Ms(now - lastTurn));
        lastTurn = now;
    });
    Clock::time_point cancelled{};
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (QPushButton* cancel = OfferedCancel(); cancel && cancelled == Clock::time_point{}) {
            cancelled = Clock::now();
            cancel->click();
        }
    });
    ticker.start(5);
    watcher.start(10);
    const int before = static_cast<int>(prompter.Messages().size());
    const auto start = Clock::now();
    lastTurn = start;
    press();
    const auto end = Clock::now();
    // The last stretch, from the last turn until the press returned, counts too.
    figures.stallMs = std::max(figures.stallMs, Ms(end - lastTurn));
    figures.totalMs = Ms(end - start);
    if (cancelled != Clock::time_point{} && window.isEnabled())
        figures.cancelMs = Ms(end - cancelled);
    const QStringList messages = prompter.Messages();
    if (messages.size() > before)
        figures.message = messages.back();
    return figures;
}

void Print(const char* scenario, const Figures& f) {
    std::printf("%-34s stall %6.1f ms   cancel to enabled %s   whole %7.0f ms   %s\n", scenario,
                f.stallMs,
                f.cancelMs < 0 ? "      -  "
                               : qPrintable(QStringLiteral("%1 ms").arg(f.cancelMs, 6, 'f', 1)),
                f.totalMs, f.message.isEmpty() ? "OK" : qPrintable(f.message));
}

void SetFaults(sim::VirtualPrinter& printer, const sim::Faults& faults) {
    const auto lock = printer.Lock();
    printer.faults = faults;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    sim::VirtualPrinter printer;
    sim::InstallStandardModules(printer);
    sim::TcpServer server(printer);
    server.SetReceiveBufferBytes(4096);
    std::string error;
    sim::PtyServer pty(printer);
    if (!server.Start(&error) || !pty.Start(&error)) {
        std::fprintf(stderr, "the virtual printer did not start: %s\n", error.c_str());
        return 1;
    }

    PrinterLink link;
    link.SetUsbDeviceSource(
        std::make_unique<FakeUsbDeviceSource>(std::vector<FakeUsbDeviceSource::Device>{}));
    FormProcessFactory views;
    ProgressWindow progress(&views);
    link.SetProgressWindow(&progress);
    link.SetProcessEventsHook(EventPump{});
    ScriptedPrompter prompter;
    TFormMain window(link, prompter, QLocale(QLocale::English, QLocale::UnitedStates));
    window.show();
    if (StoreFixedText(window.Records().Com.portName, QString::fromStdString(pty.SlavePath()),
                       FixedTextKind::Local) != FixedTextResult::Stored) {
        std::fprintf(stderr, "the terminal's path does not fit the port name\n");
        return 1;
    }

    // Enough that a printer that stops reading makes the transfer wait on every link.
    QByteArray data(4 << 20, 'A');
    const auto getStatus = [&] { window.ButtonGetStatus->click(); };
    const auto readConfig = [&] { window.ConfigGroup->ButtonRead->click(); };
    const auto sendData = [&] { window.Run<Op::SendData>(std::span<const char>(data)); };

    struct Link {
        const char* name;
        InterfaceKind kind;
    };
    const Link links[] = {{"TCP", InterfaceEthernet}, {"serial", InterfaceCom}};
    for (const Link& at : links) {
        if (at.kind == InterfaceEthernet)
            window.UseEthernetPrinter(QStringLiteral("127.0.0.1"), server.Port());
        else
            window.ComboBoxInterFace->setCurrentIndex(InterfaceCom);
        window.ComboBoxInterFaceChange();

        sim::Faults silent;
        silent.silent = true;
        SetFaults(printer, silent);
        Print(qPrintable(QStringLiteral("%1 silent, Get Status").arg(at.name)),
              Measure(window, prompter, getStatus));

        sim::Faults trickle;
        trickle.trickleDelayMs = 100;
        SetFaults(printer, trickle);
        Print(qPrintable(QStringLiteral("%1 trickle 100 ms, Read").arg(at.name)),
              Measure(window, prompter, readConfig));

        sim::Faults stopped;
        stopped.stopReading = true;
        SetFaults(printer, stopped);
        Print(qPrintable(QStringLiteral("%1 stops reading, 4 MiB send").arg(at.name)),
              Measure(window, prompter, sendData));
        SetFaults(printer, {});
    }

    window.UseEthernetPrinter(QStringLiteral("127.0.0.1"), server.Port());
    CommandToolPage& page = *window.CommandTool;
    page.CheckBoxShowReplies->setChecked(true);
    page.RichEditTText->setPlainText(QStringLiteral("DIAGNOSTIC REPORT VERSION\n"));
    const Figures replies = Measure(window, prompter, [&] { page.ButtonSend->click(); });
    Print("TCP healthy, reply view Send", replies);
    std::printf("reply view shows: %s\n", qPrintable(page.MemoReplies->toPlainText().simplified()));
    link.SetProgressWindow(nullptr);
    return 0;
}
