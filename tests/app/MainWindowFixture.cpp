#include "MainWindowFixture.h"

#include <chrono>

MainWindowFixture::MainWindowFixture() {
    auto source = std::make_unique<SimUsbDeviceSource>(printer);
    usb = source.get();
    link.SetUsbDeviceSource(std::move(source));
    link.SetProgressWindow(&progress);
    progress.hidePause = std::chrono::milliseconds(0);
}

MainWindowFixture::~MainWindowFixture() {
    window.reset();
    link.SetProgressWindow(nullptr);
}

void MainWindowFixture::Start(const QLocale& locale, bool printerAttached) {
    usb->attached = printerAttached;
    window = std::make_unique<TFormMain>(link, prompter, locale, [this] { return now; });
}

void MainWindowFixture::Choose(QComboBox* combo, int item) {
    combo->setCurrentIndex(item);
    emit combo->activated(item);
}
