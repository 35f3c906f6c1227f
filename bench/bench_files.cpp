// Prints the file manager's firmware transfer figures: a 16 MiB file sent raw by the
// page's Download (password gate, file read, operation 14 in the progress window, through
// the real window on the offscreen platform) beside WriteBlock alone on the same bytes,
// both over TCP loopback into the virtual printer, and how far the progress bar moved.

#include "dispatch/Dispatch.h"
#include "FakeUsbDeviceSource.h"
#include "files/FileTypes.h"
#include "gui/files/FileManagerPage.h"
#include "gui/link/FormProcessFactory.h"
#include "gui/main/TFormMain.h"
#include "link/EventPump.h"
#include "link/PrinterLink.h"
#include "link/ProgressWindow.h"
#include "LoopbackLink.h"
#include "ScriptedPrompter.h"
#include "StandardPrinter.h"
#include "TcpServer.h"
#include "VirtualPrinter.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Until the printer has taken `count` bytes since `before`.
void WaitForDelivery(const sim::VirtualPrinter& printer, size_t count) {
    while (printer.ReceivedCount() < count)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

struct Timing {
    double returned = 0;  // until the call came back
    double delivered = 0; // until the printer had every byte
};

// Open, one WriteBlock, close: the transport alone.
Timing WriteBlockAlone(const QByteArray& bytes) {
    sim::VirtualPrinter printer;
    sim::InstallStandardModules(printer);
    sim::TcpServer server(printer);
    server.Start();
    LoopbackLink target(server.Port());
    const auto start = Clock::now();
    const LinkHandle handle = target.link.OpenLink(InterfaceEthernet);
    const bool ok = target.link.WriteBlock(handle, InterfaceEthernet,
                                           reinterpret_cast<const uint8_t*>(bytes.constData()),
                                           static_cast<uint32_t>(bytes.size()));
    target.link.CloseLink(InterfaceEthernet, handle);
    Timing timing;
    timing.returned = Seconds(Clock::now() - start);
    WaitForDelivery(printer, static_cast<size_t>(bytes.size()));
    timing.delivered = Seconds(Clock::now() - start);
    if (!ok)
        std::fprintf(stderr, "WriteBlock failed\n");
    return timing;
}

// Operation 14 alone on the same bytes, in the progress window with the product's event
// pump but without its closing pause: what the transfer costs beyond WriteBlock.
double SendDataWithProgress(QByteArray bytes) {
    sim::VirtualPrinter printer;
    sim::InstallStandardModules(printer);
    sim::TcpServer server(printer);
    server.Start();
    LoopbackLink target(server.Port());
    FormProcessFactory views;
    ProgressWindow progress(&views);
    progress.hidePause = std::chrono::milliseconds(0);
    target.link.SetProgressWindow(&progress);
    target.link.SetProcessEventsHook(EventPump{});
    const auto start = Clock::now();
    const LinkError result = Dispatch(target.link, OpSendData, InterfaceEthernet, bytes.data(),
                                      static_cast<int32_t>(bytes.size()));
    const double seconds = Seconds(Clock::now() - start);
    if (result != LinkOk)
        std::fprintf(stderr, "SendData failed\n");
    target.link.SetProgressWindow(nullptr);
    return seconds;
}

struct PageRun {
    Timing timing;
    int barPositions = 0; // distinct positions the progress bar showed
    double gate = 0;
    double fileRead = 0;
};

// "Download" of a firmware file through the window, as the user clicks it.
PageRun PageDownload(const QString& path, std::chrono::milliseconds hidePause) {
    sim::VirtualPrinter printer;
    sim::InstallStandardModules(printer);
    sim::TcpServer server(printer);
    server.Start();

    PrinterLink link;
    link.SetUsbDeviceSource(
        std::make_unique<FakeUsbDeviceSource>(std::vector<FakeUsbDeviceSource::Device>{}));
    FormProcessFactory views;
    ProgressWindow progress(&views);
    progress.hidePause = hidePause;
    link.SetProgressWindow(&progress);
    PageRun run;
    std::set<int> positions;
    // The product's hook, and a look at the bar after each piece.
    EventPump pump;
    link.SetProcessEventsHook([&] {
        pump();
        if (progress.IsShown())
            positions.insert(progress.BarPosition());
    });
    ScriptedPrompter prompter;
    TFormMain window(link, prompter, QLocale(QLocale::English, QLocale::UnitedStates));
    window.UseEthernetPrinter(QStringLiteral("127.0.0.1"), server.Port());
    window.show();
    FileManagerPage& page = *window.FileManager;
    page.ComboBoxFileType->setCurrentIndex(FileTypeFirmware);
    prompter.fileAnswers.push_back(path);
    page.ButtonBrowseClick();

    const size_t before = printer.ReceivedCount();
    const auto start = Clock::now();
    page.ButtonDownloadClick();
    run.timing.returned = Seconds(Clock::now() - start);
    WaitForDelivery(printer, before + static_cast<size_t>(QFileInfo(path).size()));
    run.timing.delivered = Seconds(Clock::now() - start);
    run.barPositions = static_cast<int>(positions.size());
    // The fixed costs around the transfer, measured alone.
    auto gateStart = Clock::now();
    window.PasswordGate();
    run.gate = Seconds(Clock::now() - gateStart);
    gateStart = Clock::now();
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray all = file.readAll();
    run.fileRead = Seconds(Clock::now() - gateStart);
    if (prompter.Messages() != QStringList{QStringLiteral("Please Wait Led change to Green...")})
        std::fprintf(stderr, "download failed: %s\n",
                     qPrintable(prompter.Messages().join(QLatin1Char('|'))));
    link.SetProgressWindow(nullptr);
    return run;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // 16 MiB unless the first argument names another size.
    const int megabytes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 16;
    QByteArray firmware(megabytes << 20, Qt::Uninitialized);
    uint32_t state = 12345;
    for (char& byte : firmware) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 24);
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("MAIN.NEW"));
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(firmware);
    }

    std::vector<Timing> alone;
    std::vector<Timing> page;
    std::vector<Timing> pageNoPause;
    std::vector<double> sendData;
    PageRun last;
    for (int round = 0; round < 3; ++round) {
        alone.push_back(WriteBlockAlone(firmware));
        sendData.push_back(SendDataWithProgress(firmware));
        last = PageDownload(path, std::chrono::milliseconds(200));
        page.push_back(last.timing);
        pageNoPause.push_back(PageDownload(path, std::chrono::milliseconds(0)).timing);
    }
    auto median = [](const std::vector<Timing>& runs, double Timing::*field) {
        std::vector<double> values;
        for (const Timing& t : runs)
            values.push_back(t.*field);
        return Median(values);
    };
    for (auto [label, field] : {std::pair{"call returned", &Timing::returned},
                                std::pair{"printer had every byte", &Timing::delivered}}) {
        const double a = median(alone, field);
        const double p = median(page, field);
        const double q = median(pageNoPause, field);
        std::printf("%d MiB over TCP loopback, until the %s (median of 3):\n", megabytes, label);
        std::printf("  WriteBlock alone %.3f s; page Download %.3f s (ratio %.2f); without the "
                    "progress window's 200 ms closing pause %.3f s (ratio %.2f)\n",
                    a, p, p / a, q, q / a);
    }
    std::printf("operation 14 alone in the progress window, without the pause: %.3f s (ratio %.2f "
                "to WriteBlock until the call returned)\n",
                Median(sendData), Median(sendData) / median(alone, &Timing::returned));
    std::printf("progress bar took %d positions during the transfer; password gate alone %.3f s, "
                "reading the file alone %.3f s\n",
                last.barPositions, last.gate, last.fileRead);
    return 0;
}
