#pragma once

#include "config/PrinterConfig.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

// A configuration record as JSON: the record's field names as keys; optional settings
// that are not valid are null, texts are strings.
QJsonObject ConfigToJson(const PrinterConfig& config);

// The names of the record's settings (the fields with a valid flag), in record order of
// their kinds: whole numbers, reals, characters.
QStringList ConfigSettingNames();

// Copies one setting, value and valid flag, from one record to another; false for a name
// that is not a setting.
bool CopyConfigSetting(const QString& name, const PrinterConfig& from, PrinterConfig& to);
