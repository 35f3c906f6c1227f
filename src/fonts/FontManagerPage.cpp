#include "fonts/FontManagerPage.h"

FontManagerPage::FontManagerPage(OperationHost& host, MainRecords& records, QWidget* parent)
    : MainPage(host, records, parent) {
    setObjectName(QStringLiteral("FontManagerPage"));
}
