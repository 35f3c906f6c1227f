#include "RecordingPrompter.h"

#include "gui/functions/TFormRTCSetup.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

// The Tab key walks a dialog as it is seen: top to bottom, and left to right along a row
// ("Get System Time" sits level with the year, "Set" with the minute, "Cancel" with the
// second), not in the order its controls were made.
TEST(TabOrder, WalksTheClockDialogAsItIsSeen) {
    PrinterClock clock{2026, 3, 4, 5, 6, 7};
    uint8_t set = 0;
    RecordingPrompter prompter;
    TFormRTCSetup dialog(clock, set, 0, prompter, {}, {0, 0});
    dialog.show();
    dialog.EditYear->setFocus();

    QStringList walked{dialog.focusWidget()->objectName()};
    for (int i = 0; i < 9; ++i) {
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(dialog.focusWidget(), &tab);
        walked << dialog.focusWidget()->objectName();
    }
    EXPECT_EQ(walked,
              (QStringList{"EditYear", "ButtonSetSysTime", "EditMonth", "EditDate", "EditHour",
                           "EditMinute", "ButtonSet", "EditSecond", "ButtonCancel", "EditYear"}));
}

} // namespace
