#pragma once

#include "config/PrinterConfig.h"

#include <QJsonObject>

// A configuration record as JSON: the record's field names as keys; optional settings
// that are not valid are null, texts are strings.
QJsonObject ConfigToJson(const PrinterConfig& config);
