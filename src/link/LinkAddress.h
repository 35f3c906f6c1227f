#pragma once

#include "link/LinkSettings.h"

#include <QString>

#include <optional>

// One printer as the command line names it: "usb", "com:PORT[,BAUD[,BITS[,PARITY[,STOP]]]]",
// "lpt:PATH" or "tcp:HOST[:PORT]", turned into the link settings records of that link.
struct LinkAddress {
    QString text;
    InterfaceKind kind = InterfaceUsb;
    ComSettings com{};
    LptPortName lpt{};
    NetSettings net{};
};

// nullopt with a reason when the text names no link this program can open.
std::optional<LinkAddress> ParseLinkAddress(const QString& text, QString* error);

// Link lines of a --links file: one a line; blank lines and lines starting with "#" are
// skipped, surrounding white space is dropped.
QStringList LinkLines(const QString& fileText);
