#pragma once

#include "ui/MainPage.h"

// The "Command Tool" page: twelve buffers of raw command text sent to the printer.
class CommandToolPage : public MainPage {
    Q_OBJECT
public:
    CommandToolPage(OperationHost& host, MainRecords& records, QWidget* parent);
};
