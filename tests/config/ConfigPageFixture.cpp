#include "ConfigPageFixture.h"

#include "SimPeer.h"
#include "StandardPrinter.h"
#include "TcpServer.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>

ConfigPageFixture::ConfigPageFixture() {
    // The page writes numbers in the session's locale; tests expect "." whatever the
    // machine's language.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

ConfigPageFixture::~ConfigPageFixture() {
    window.reset();
    tcp.reset();
    QLocale::setDefault(savedLocale_);
}

void ConfigPageFixture::ServeOverTcp(int dpi) {
    tcpPrinter = std::make_unique<sim::VirtualPrinter>();
    sim::InstallStandardModules(
        *tcpPrinter, sim::FirmwareProfile::Of(sim::FirmwareProfile::kStandardEdition, dpi));
    tcp = std::make_unique<sim::TcpServer>(*tcpPrinter);
    std::string error;
    ASSERT_TRUE(tcp->Start(&error)) << error;
    window->UseEthernetPrinter(QStringLiteral("127.0.0.1"), tcp->Port());
}

QStringList ConfigPageFixture::PageValues() const {
    QStringList values;
    for (QWidget* tab : {Page()->TabSheet5, Page()->TabSheet6, Page()->TabSheet7, Page()->TabSheet8,
                         static_cast<QWidget*>(Page()->GroupBoxPrinterInfo)}) {
        for (auto* edit : tab->findChildren<QLineEdit*>())
            values << edit->objectName() + QLatin1Char('=') + edit->text() +
                          (edit->isHidden() ? QStringLiteral(" (hidden)") : QString());
        for (auto* combo : tab->findChildren<QComboBox*>())
            values << combo->objectName() + QLatin1Char('#') +
                          QString::number(combo->currentIndex());
    }
    return values;
}

void ConfigPageFixture::TypeInto(QLineEdit* edit, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &press);
    }
}

std::vector<std::string> ConfigPageFixture::SentAfterGate(const sim::VirtualPrinter& target) const {
    // The link is done once the kernel took the last piece; the printer's thread may still
    // be reading it.
    if (&target == tcpPrinter.get()) {
        EXPECT_TRUE(tcp->WaitUntilTaken()) << "the printer did not take what was sent";
    }
    const std::vector<std::string> commands = target.Commands();
    size_t start = 0;
    for (size_t i = 0; i < commands.size(); ++i) {
        if (commands[i] == "DIAGNOSTIC REPORT PASSWORD")
            start = i + 1;
    }
    std::vector<std::string> sent;
    for (size_t i = start; i < commands.size(); ++i) {
        if (commands[i].rfind("DIAGNOSTIC", 0) != 0 && !commands[i].empty())
            sent.push_back(commands[i]);
    }
    return sent;
}
