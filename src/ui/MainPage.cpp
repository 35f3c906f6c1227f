#include "ui/MainPage.h"

MainPage::MainPage(OperationHost& host, MainRecords& records, QWidget* parent)
    : QWidget(parent), host_(host), records_(records) {}
