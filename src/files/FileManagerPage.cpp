#include "files/FileManagerPage.h"

FileManagerPage::FileManagerPage(OperationHost& host, MainRecords& records, QWidget* parent)
    : MainPage(host, records, parent) {
    setObjectName(QStringLiteral("FileManagerPage"));
}
