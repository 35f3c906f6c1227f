#pragma once

#include "ui/MainPage.h"

class QGroupBox;
class QPushButton;
class QTabWidget;

// The "Printer Configuration" group of the first page: the printer information, the four
// tabs of settings and the Read, Set, Clear, Save and Load buttons.
class ConfigPage : public MainPage {
    Q_OBJECT
public:
    ConfigPage(OperationHost& host, MainRecords& records, QWidget* parent);

    std::span<const CaptionEntry> Captions() const override;
    void InterfaceChanged(InterfaceKind kind) override;

    QGroupBox* GroupBoxPrintreConfig;
    QTabWidget* PageControl2;
    QWidget* TabSheet5; // "Common"
    QWidget* TabSheet6; // "Z"
    QWidget* TabSheet7; // "D"
    QWidget* TabSheet8; // "Interface"
    QPushButton* ButtonRead;
};
