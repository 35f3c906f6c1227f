#include "gui/kit/MainPage.h"

MainPage::MainPage(OperationHost& host, QWidget* parent) : QWidget(parent), host_(host) {}
