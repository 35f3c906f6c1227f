#include "link/ProgressWindow.h"
#include "RecordingProgress.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

TEST(ProgressWindow, StepModeAddsTheInitialStepThenOneStepPerReportAndStopsAtTheMaximum) {
    RecordingViewFactory factory;
    ProgressWindow progress(&factory);
    progress.hidePause = std::chrono::milliseconds(0);
    progress.SetProgressPosition(230, 197);
    progress.ShowProgress(ProgressStep, 3, 3);
    EXPECT_EQ(factory.lastLeft, 230);
    EXPECT_EQ(factory.lastTop, 197);
    EXPECT_EQ(factory.lastCaption, QStringLiteral("Communicating..."));
    EXPECT_EQ(progress.BarPosition(), 3);
    progress.ReportProgress(0, 77); // the value is ignored in step mode
    EXPECT_EQ(progress.BarPosition(), 6);
    for (int i = 0; i < 40; ++i)
        progress.ReportProgress(0, 0);
    EXPECT_EQ(progress.BarPosition(), 100);
}

TEST(ProgressWindow, ReportsOfTheOtherModeOrWithoutAWindowChangeNothing) {
    RecordingViewFactory factory;
    ProgressWindow progress(&factory);
    progress.hidePause = std::chrono::milliseconds(0);
    progress.ReportProgress(1, 50);
    progress.ReportProgress(0, 0);
    EXPECT_EQ(factory.created, 0);
    EXPECT_FALSE(progress.IsShown());

    progress.ShowProgress(ProgressStep, 3, 3);
    progress.ReportProgress(1, 50);
    EXPECT_EQ(progress.BarPosition(), 3);
    progress.HideProgress();

    progress.ShowProgress(ProgressPercent, 3, 3);
    EXPECT_EQ(progress.BarPosition(), 3);
    progress.ReportProgress(0, 0);
    EXPECT_EQ(progress.BarPosition(), 3);
    progress.ReportProgress(1, 42);
    EXPECT_EQ(progress.BarPosition(), 42);
}

TEST(ProgressWindow, HideWaitsWithTheLastPositionThenSetsTheMaximumBeforeClosing) {
    RecordingViewFactory factory;
    ProgressWindow progress(&factory);
    progress.ShowProgress(ProgressPercent, 0, 0);
    progress.ReportProgress(1, 37);
    const auto start = std::chrono::steady_clock::now();
    progress.HideProgress();
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(200));
    ASSERT_GE(factory.positions.size(), 2u);
    EXPECT_EQ(factory.positions[factory.positions.size() - 2], 37);
    EXPECT_EQ(factory.positions.back(), 100);
    EXPECT_FALSE(progress.IsShown());
    progress.ReportProgress(1, 10);
    EXPECT_EQ(factory.positions.back(), 100);
}

TEST(ProgressWindow, ResetReturnsToTheStartPositionHidden) {
    RecordingViewFactory factory;
    ProgressWindow progress(&factory);
    progress.SetProgressPosition(5, 6);
    progress.ShowProgress(ProgressStep, 3, 3);
    progress.Reset();
    EXPECT_FALSE(progress.IsShown());
    EXPECT_EQ(progress.Left(), 100);
    EXPECT_EQ(progress.Top(), 100);
}

} // namespace
