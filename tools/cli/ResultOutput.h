#pragma once

#include "PrinterResult.h"

#include <QByteArray>
#include <QString>

#include <vector>

// A readable table: a header, one line per printer with its link, "OK" or the result
// text, and the summary, then the counts line. Links and summaries are made terminal-safe
// (a printer's texts cannot forge a row or drive the terminal).
QString ResultTable(const std::vector<PrinterResult>& results);

// "Total 4: 2 OK, 1 Port Open Error, 1 Not Started": the count of each result, OK first,
// then by result code.
QString ResultCounts(const std::vector<PrinterResult>& results);

// One compact JSON object per printer and line: link, result, resultText, data.
QByteArray ResultJsonLines(const std::vector<PrinterResult>& results);
