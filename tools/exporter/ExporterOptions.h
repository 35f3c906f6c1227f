#pragma once

#include "AllowList.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <string>

// The exporter's command line.
struct ExporterOptions {
    static constexpr int kDefaultPort = 9854;

    std::string listen = "127.0.0.1:9854";
    AllowList allow;
    static constexpr int kMostProbes = 32768;

    int maxProbes = 4096;
    double defaultTimeoutSeconds = 10;
    double maxTimeoutSeconds = 60;
    double timeoutOffsetSeconds = 0.5;
    bool help = false;
    bool version = false;
};

// The options of the arguments (without the program name); nullopt with a reason.
std::optional<ExporterOptions> ParseExporterOptions(const QStringList& arguments, QString* error);

// --help.
extern const char* const kExporterUsage;
