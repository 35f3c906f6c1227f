#include "link/FormProcessFactory.h"
#include "link/ProgressWindow.h"
#include "link/TFormProcess.h"

#include <QApplication>
#include <QProgressBar>

#include <gtest/gtest.h>

namespace {

TFormProcess* OpenProcessWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* form = qobject_cast<TFormProcess*>(widget); form && form->isVisible())
            return form;
    }
    return nullptr;
}

TEST(FormProcess, ShowsAtTheStoredPositionWithItsCaptionAndBarAndCloses) {
    FormProcessFactory factory;
    ProgressWindow progress(&factory);
    progress.hidePause = std::chrono::milliseconds(0);
    progress.SetProgressPosition(321, 123);
    progress.ShowProgress(ProgressStep, 3, 3);

    TFormProcess* form = OpenProcessWindow();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Communicating..."));
    EXPECT_EQ(form->pos(), QPoint(321, 123));
    EXPECT_EQ(form->size(), QSize(241, 49));
    auto* bar = form->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->geometry(), QRect(16, 16, 209, 17));
    EXPECT_EQ(bar->maximum(), 100);
    EXPECT_EQ(bar->value(), 3);
    EXPECT_FALSE(form->windowFlags() & Qt::WindowCloseButtonHint);

    progress.ReportProgress(0, 0);
    EXPECT_EQ(bar->value(), 6);
    progress.HideProgress();
    EXPECT_EQ(OpenProcessWindow(), nullptr);
}

TEST(FormProcess, FontMakerCaptionIsShown) {
    FormProcessFactory factory;
    ProgressWindow progress(&factory);
    progress.hidePause = std::chrono::milliseconds(0);
    progress.ShowWithCaption(100, 100, QStringLiteral("Making font..."));
    TFormProcess* form = OpenProcessWindow();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Making font..."));
    progress.SetBarPosition(55);
    EXPECT_EQ(form->ProgressBar1->value(), 55);
    progress.HideProgress();
}

} // namespace
