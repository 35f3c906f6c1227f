#pragma once

#include "MainWindowFixture.h"

#include "gui/config/ConfigPage.h"

#include <QComboBox>
#include <QLineEdit>
#include <QStringList>

#include <memory>

namespace sim {
class TcpServer;
}

// The main window with its configuration page, and a virtual printer of a chosen resolution
// served over TCP on 127.0.0.1 as the window's Ethernet printer.
class ConfigPageFixture : public MainWindowFixture {
protected:
    ConfigPageFixture();
    ~ConfigPageFixture() override;

    ConfigPage* Page() const { return window->ConfigGroup; }
    QLineEdit* Edit(const char* name) const { return Find<QLineEdit>(name); }
    QComboBox* Combo(const char* name) const { return Find<QComboBox>(name); }

    // Starts a printer of the resolution on loopback and points the window's Ethernet link
    // at it.
    void ServeOverTcp(int dpi);
    // What the page shows in its settings: every edit's text and every combo's selection,
    // by name, in the page's order.
    QStringList PageValues() const;
    // Types into an edit as the keyboard does.
    static void TypeInto(QLineEdit* edit, const QString& text);
    // The commands the printer received after the password gate's last query, without the
    // diagnostic queries and announcements.
    std::vector<std::string> SentAfterGate(const sim::VirtualPrinter& target) const;

    std::unique_ptr<sim::VirtualPrinter> tcpPrinter;
    std::unique_ptr<sim::TcpServer> tcp;

private:
    QLocale savedLocale_;
};
