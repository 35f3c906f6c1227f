#pragma once

#include "ui/MainPage.h"

// The "File Manager" page: the printer memories, their files, download and format.
class FileManagerPage : public MainPage {
    Q_OBJECT
public:
    FileManagerPage(OperationHost& host, MainRecords& records, QWidget* parent);
};
