#pragma once

#include "PrinterResult.h"

#include <QByteArray>
#include <QString>

#include <vector>

// A readable table: a header, then one line per printer with its link, "OK" or the
// result text, and the summary.
QString ResultTable(const std::vector<PrinterResult>& results);

// One compact JSON object per printer and line: link, result, resultText, data.
QByteArray ResultJsonLines(const std::vector<PrinterResult>& results);
