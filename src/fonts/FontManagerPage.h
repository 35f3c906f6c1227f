#pragma once

#include "ui/MainPage.h"

// The "Bitmap Font Manager" page: bitmap fonts made from PC fonts, saved, downloaded and previewed.
class FontManagerPage : public MainPage {
    Q_OBJECT
public:
    FontManagerPage(OperationHost& host, MainRecords& records, QWidget* parent);
};
