#pragma once

#include "config/PrinterConfig.h"

#include <QJsonArray>
#include <QJsonValue>
#include <QString>

#include <cstdint>
#include <vector>

// One setting whose value in the printer is not the value a configuration file holds.
struct ConfigDifference {
    QString name; // the record's field name, as in the JSON of "config read"
    int32_t tab = ConfigTabCommon;
    QJsonValue printer; // null: the printer did not report the setting
    QJsonValue file;
};

// The settings of the given tabs that writing the file's record would change: a setting
// differs when its printer value, put into the file's record, changes the commands that
// write the tab. So a setting the file leaves unset, a value the commands cannot tell
// apart (a length that rounds to the same text), the intensity of another sensor mode
// and the printer's own facts (edition, resolution, counters, version texts) never differ.
std::vector<ConfigDifference> DiffConfig(const PrinterConfig& printer, const PrinterConfig& file,
                                         const std::vector<int32_t>& tabs);

// The tabs that hold at least one of the differences, in the order of tabs.
std::vector<int32_t> TabsToWrite(const std::vector<ConfigDifference>& differences,
                                 const std::vector<int32_t>& tabs);

// [{"name", "tab", "printer", "file"}...] and "Name printer -> file, ..." for the table.
QJsonArray DifferencesJson(const std::vector<ConfigDifference>& differences);
QString DifferencesText(const std::vector<ConfigDifference>& differences);

// "common", "z", "d" or "interface".
QString ConfigTabName(int32_t tab);
