#pragma once

#include "link/LinkSettings.h"

#include <QString>

#include <optional>
#include <vector>

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

// One link of a --links file and the number of its line (the first line is 1).
struct LinkLine {
    int number = 0;
    QString text;
};

// The links of a --links file: one a line; "#" at the start of a line or after white
// space starts a comment, blank lines are skipped, surrounding white space is dropped.
std::vector<LinkLine> NumberedLinkLines(const QString& fileText);
// The same links without their line numbers.
QStringList LinkLines(const QString& fileText);
