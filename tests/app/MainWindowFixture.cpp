#include "MainWindowFixture.h"

#include "StandardPrinter.h"

#include <QFile>

#include <chrono>

MainWindowFixture::MainWindowFixture() {
    sim::InstallStandardModules(printer);
    lan.broadcastTargets = {QHostAddress(QHostAddress::LocalHost)};
    lan.multicastTargets = {};
    lan.bindAddress = QHostAddress(QHostAddress::LocalHost);
    lan.discoveryWaitMs = 50;
    lan.answerWaitMs = 50;
    AttachPrinter(false);
    link.SetProgressWindow(&progress);
    progress.hidePause = std::chrono::milliseconds(0);
}

MainWindowFixture::~MainWindowFixture() {
    window.reset();
    EXPECT_EQ(dialogs.Pending(), 0) << "answers left for dialogs that never opened";
    link.SetProgressWindow(nullptr);
}

void MainWindowFixture::Start(const QLocale& locale, bool printerAttached) {
    AttachPrinter(printerAttached);
    window = std::make_unique<TFormMain>(
        link, prompter, locale, [this] { return now; }, lan);
    window->SetDialogRunner(dialogs.Runner());
}

QString MainWindowFixture::MakeFile(const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

QByteArray MainWindowFixture::ReadFile(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

void MainWindowFixture::Choose(QComboBox* combo, int item) {
    combo->setCurrentIndex(item);
    emit combo->activated(item);
}

void MainWindowFixture::AttachPrinter(bool attached) {
    std::vector<FakeUsbDeviceSource::Device> devices;
    if (attached)
        devices.push_back({{MakeUsbDevicePath(0x1fc8, 0x0001, "1-1"), "Label printer"}, &printer});
    auto source = std::make_unique<FakeUsbDeviceSource>(std::move(devices));
    usb = source.get();
    link.SetUsbDeviceSource(std::move(source));
}
