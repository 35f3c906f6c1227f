#include "gui/link/FormProcessFactory.h"
#include "gui/link/TFormProcess.h"
#include "link/ProgressWindow.h"
#include "Screenshot.h"

#include <QApplication>
#include <QProgressBar>
#include <QPushButton>

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

TEST(FormProcess, OffersCancelUnderTheBarOrInAWindowOfItsOwnUntilWithdrawn) {
    FormProcessFactory factory;
    ProgressWindow progress(&factory);
    progress.hidePause = std::chrono::milliseconds(0);
    progress.SetProgressPosition(200, 150);
    int pressed = 0;
    // No progress window: a window of its own, placed and captioned like it.
    progress.OfferCancel(QStringLiteral("取消"), [&] { ++pressed; });
    TFormProcess* own = OpenProcessWindow();
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->windowTitle(), QStringLiteral("Communicating..."));
    EXPECT_EQ(own->pos(), QPoint(200, 150));
    EXPECT_TRUE(own->ProgressBar1->isHidden());
    EXPECT_EQ(own->ButtonCancel->text(), QStringLiteral("取消"));
    EXPECT_TRUE(own->rect().contains(own->ButtonCancel->geometry()));
    SaveScreenshot(*own, QStringLiteral("cancel_window_%1").arg(LanguageSuffix(1)));
    own->ButtonCancel->click();
    own->ButtonCancel->click();
    EXPECT_EQ(pressed, 1);

    // A progress window that opens meanwhile carries the button under its bar.
    progress.ShowProgress(ProgressPercent, 3, 3);
    TFormProcess* bar = OpenProcessWindow();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(progress.CancelWindow(), nullptr);
    EXPECT_TRUE(bar->ButtonCancel->isVisible());
    EXPECT_GE(bar->ButtonCancel->y(), bar->ProgressBar1->geometry().bottom());
    EXPECT_TRUE(bar->rect().contains(bar->ButtonCancel->geometry()));
    SaveScreenshot(*bar, QStringLiteral("progress_cancel_%1").arg(LanguageSuffix(1)));
    progress.HideProgress();
    EXPECT_NE(progress.CancelWindow(), nullptr);

    progress.WithdrawCancel();
    EXPECT_EQ(OpenProcessWindow(), nullptr);
    EXPECT_FALSE(progress.CancelOffered());
}

} // namespace
