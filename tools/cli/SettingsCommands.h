#pragma once

#include "CliCommand.h"

#include <QByteArray>
#include <QCommandLineOption>

#include <optional>
#include <vector>

// The commands of printer settings documents (YAML or JSON by setting name): "config
// apply", "config convert" and "config schema", and the document form of "config read".

CliCommand ConfigApply();
CliCommand ConfigConvert();
CliCommand ConfigSchema();

// "config read --format yaml|json".
QCommandLineOption SettingsFormatOption();
// The job of "config read" with --format: the printer's document, lengths in inch for
// unit index 0 and in millimetres for 1; nullopt (error set) for an unknown format.
std::optional<FleetRunner::Job> SettingsReadJob(const CommandInput& input, int unitIndex,
                                                QString* error);

// What a document command prints instead of the table: the documents of its rows (a
// failed printer as a comment line); nullopt when the rows hold no document.
std::optional<QByteArray> SettingsDocumentsOutput(const std::vector<PrinterResult>& results);
