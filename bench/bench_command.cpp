// Prints the command tool's figures for a 10 MiB command file: Load, a switch to another
// buffer and back, and Send over TCP loopback into the virtual printer, beside a bare
// QPlainTextEdit::setPlainText of the same text and WriteBlock alone on the same bytes; and
// the longest time the window system waited during the send.

#include "FakeUsbDeviceSource.h"
#include "gui/command/CommandToolPage.h"
#include "gui/kit/RadioGroup.h"
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
#include <QFile>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Runs the action and lets the window paint what it changed.
template <class F> double Timed(F&& action) {
    const auto start = Clock::now();
    action();
    QCoreApplication::processEvents();
    return Seconds(Clock::now() - start);
}

QByteArray CommandFile(int megabytes) {
    QByteArray bytes;
    bytes.reserve(megabytes << 20);
    for (int line = 0; bytes.size() < (megabytes << 20); ++line)
        bytes += QByteArray("TEXT 100,100,\"3\",0,1,1,\"Line ") + QByteArray::number(line) +
                 " ABCDEFGHIJ\"\r\n";
    bytes.truncate(megabytes << 20);
    return bytes;
}

double WriteBlockAlone(const QByteArray& bytes) {
    sim::VirtualPrinter printer;
    sim::InstallStandardModules(printer);
    sim::TcpServer server(printer);
    server.Start();
    LoopbackLink target(server.Port());
    const auto start = Clock::now();
    const LinkHandle handle = target.link.OpenLink(InterfaceEthernet);
    target.link.WriteBlock(handle, InterfaceEthernet,
                           reinterpret_cast<const uint8_t*>(bytes.constData()),
                           static_cast<uint32_t>(bytes.size()));
    target.link.CloseLink(InterfaceEthernet, handle);
    return Seconds(Clock::now() - start);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int megabytes = 10;
    const QByteArray bytes = CommandFile(megabytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("labels.txt"));
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }

    // The bare editor, given the text as the page shows it (lines for CR LF).
    QString text = QString::fromLatin1(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QPlainTextEdit bare;
    bare.setLineWrapMode(QPlainTextEdit::NoWrap);
    bare.resize(561, 313);
    bare.show();
    const double bareSet = Timed([&] { bare.setPlainText(text); });

    sim::VirtualPrinter printer;
    sim::InstallStandardModules(printer);
    sim::TcpServer server(printer);
    server.Start();
    PrinterLink link;
    link.SetUsbDeviceSource(
        std::make_unique<FakeUsbDeviceSource>(std::vector<FakeUsbDeviceSource::Device>{}));
    FormProcessFactory views;
    ProgressWindow progress(&views);
    link.SetProgressWindow(&progress);
    Clock::time_point lastTurn;
    double longestWait = 0;
    // The product's hook; the wait is measured between the turns it lets run.
    EventPump pump;
    link.SetProcessEventsHook([&] {
        const auto before = Clock::now();
        pump();
        if (Clock::now() - before > std::chrono::microseconds(50)) {
            longestWait = std::max(longestWait, Seconds(before - lastTurn));
            lastTurn = Clock::now();
        }
    });
    ScriptedPrompter prompter;
    TFormMain window(link, prompter, QLocale(QLocale::English, QLocale::UnitedStates));
    window.UseEthernetPrinter(QStringLiteral("127.0.0.1"), server.Port());
    window.show();
    CommandToolPage& page = *window.CommandTool;

    prompter.fileAnswers.push_back(path);
    const double load = Timed([&] { page.ButtonLoadFileClick(); });
    const double away = Timed([&] { page.RadioGroupSelect->ItemButton(1)->click(); });
    const double back = Timed([&] { page.RadioGroupSelect->ItemButton(0)->click(); });
    if (page.EditorBytes() != bytes)
        std::fprintf(stderr, "the editor does not hold the file's bytes\n");

    lastTurn = Clock::now();
    const double send = Timed([&] { page.ButtonSendClick(); });
    const double alone = WriteBlockAlone(bytes);
    if (!prompter.Messages().isEmpty())
        std::fprintf(stderr, "send failed: %s\n", qPrintable(prompter.Messages().join('|')));

    std::printf("bare QPlainTextEdit::setPlainText of the %d MiB text: %.3f s\n", megabytes,
                bareSet);
    std::printf("Load of the %d MiB file: %.3f s (%.2f x bare)\n", megabytes, load, load / bareSet);
    std::printf(
        "switch to an empty buffer: %.3f s; back to the %d MiB text: %.3f s (%.2f x bare)\n", away,
        megabytes, back, back / bareSet);
    std::printf("Send over TCP loopback: %.3f s; WriteBlock alone: %.3f s (ratio %.2f)\n", send,
                alone, send / alone);
    std::printf("longest wait of the window system during the send: %.1f ms\n", longestWait * 1000);
    link.SetProgressWindow(nullptr);
    return 0;
}
