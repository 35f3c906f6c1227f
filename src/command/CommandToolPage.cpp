#include "command/CommandToolPage.h"

CommandToolPage::CommandToolPage(OperationHost& host, MainRecords& records, QWidget* parent)
    : MainPage(host, records, parent) {
    setObjectName(QStringLiteral("CommandToolPage"));
}
