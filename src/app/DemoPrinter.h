#pragma once

#include <QString>

#include <optional>

// The printer the README demo points the Ethernet link at, from "address:port" (the
// TARNVIK_DEMO_PRINTER variable of the demo script). Nothing for an empty or malformed text.
struct DemoPrinter {
    QString address;
    int port = 0;

    static std::optional<DemoPrinter> Parse(const QString& target);
};
