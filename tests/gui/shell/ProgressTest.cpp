#include "ShellFixture.h"

#include <QProgressBar>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

class ProgressWindow : public ShellTest {};

TEST_F(ProgressWindow, IsAHiddenBorderlessBarFromZeroToAHundred) {
    EXPECT_FALSE(progress.isVisible());
    EXPECT_TRUE(progress.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(progress.size(), QSize(151, 18));
    EXPECT_EQ(progress.ProgressBar1->geometry().size(), QSize(150, 17));
    EXPECT_EQ(progress.ProgressBar1->minimum(), 0);
    EXPECT_EQ(progress.ProgressBar1->maximum(), 100);
}

TEST_F(ProgressWindow, ShowingItStartsTheBarFromZero) {
    ProgressSink& sink = progress;
    sink.showProgress();
    sink.stepBy(30);
    sink.setPosition(100);
    sink.hideProgress();
    EXPECT_FALSE(progress.isVisible());
    EXPECT_EQ(progress.ProgressBar1->value(), 100);

    sink.showProgress();
    EXPECT_TRUE(progress.isVisible());
    EXPECT_EQ(progress.ProgressBar1->value(), 0);
    sink.stepBy(12);
    EXPECT_EQ(progress.ProgressBar1->value(), 12);
    sink.hideProgress();
}

TEST_F(ProgressWindow, AWindowLeftVisibleGoesOnFromWhereItStood) {
    ProgressSink& sink = progress;
    sink.showProgress();
    sink.stepBy(40); // and then the job stopped with an error
    sink.showProgress();
    EXPECT_EQ(sink.position(), 40);
    sink.stepBy(25);
    EXPECT_EQ(progress.ProgressBar1->value(), 65);
    sink.hideProgress();
}

TEST_F(ProgressWindow, StepsAreHeldWithinZeroAndAHundred) {
    ProgressSink& sink = progress;
    sink.showProgress();
    sink.stepBy(70);
    sink.stepBy(70);
    EXPECT_EQ(progress.ProgressBar1->value(), 100);
    sink.stepBy(-250);
    EXPECT_EQ(progress.ProgressBar1->value(), 0);
    sink.setPosition(140);
    EXPECT_EQ(sink.position(), 100);
    sink.hideProgress();
}

} // namespace
} // namespace vellarion::test
