#include "config/ConfigPage.h"

#include "ui/PlaceControl.h"

#include <QGroupBox>
#include <QPushButton>
#include <QTabWidget>

namespace {

// The configuration group's span of the main window's caption table: the group, the "Z",
// "D" and "Interface" tabs and the configuration buttons, in that order.
const CaptionEntry kConfigCaptions[] = {
    {"GroupBoxPrintreConfig", kCaptionEntry, {"Printer Configuration", "印表機設定", "打印机设定"}},
    {"RadioGroupUnit", kCaptionEntry, {"Unit", "單位", "单位"}},
    {"RadioGroupUnit", 0, {"inch", "英吋", "英吋"}},
    {"RadioGroupUnit", 1, {"mm", "公厘", "毫米"}},
    {"ButtonRead", kCaptionEntry, {"Read", "讀取", "读取"}},
};

} // namespace

ConfigPage::ConfigPage(OperationHost& host, MainRecords& records, QWidget* parent)
    : MainPage(host, records, parent) {
    setObjectName(QStringLiteral("ConfigPage"));
    GroupBoxPrintreConfig = PlaceControl<QGroupBox>(this, "GroupBoxPrintreConfig", 0, 0, 553, 481);
    GroupBoxPrintreConfig->setTitle(QStringLiteral("Printer Configuration"));
    PageControl2 =
        PlaceControl<QTabWidget>(GroupBoxPrintreConfig, "PageControl2", 8, 120, 537, 320);
    const char* const tabNames[] = {"TabSheet5", "TabSheet6", "TabSheet7", "TabSheet8"};
    const char* const tabCaptions[] = {"Common", "Z", "D", "Interface"};
    QWidget** tabs[] = {&TabSheet5, &TabSheet6, &TabSheet7, &TabSheet8};
    for (int i = 0; i < 4; ++i) {
        *tabs[i] = new QWidget;
        (*tabs[i])->setObjectName(QString::fromLatin1(tabNames[i]));
        PageControl2->addTab(*tabs[i], QString::fromLatin1(tabCaptions[i]));
    }
    ButtonRead = PlaceControl<QPushButton>(GroupBoxPrintreConfig, "ButtonRead", 8, 448, 75, 25);
    ButtonRead->setText(QStringLiteral("Read"));
}

std::span<const CaptionEntry> ConfigPage::Captions() const {
    return kConfigCaptions;
}

void ConfigPage::InterfaceChanged(InterfaceKind kind) {
    ButtonRead->setEnabled(kind != InterfaceLpt);
}
