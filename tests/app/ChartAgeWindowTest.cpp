// The age of the chart on screen at the status bar's right end: from the time stamp the chart
// was opened with, current as the clock goes on, in a warning colour past two days.

#include "WindowTestSupport.h"

#include <QLabel>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(ChartAgeWindow, TheChartOnScreenSaysHowOldItIs) {
    WindowRig rig;
    rig.clock.setNow(QDateTime(QDate(2026, 12, 2), QTime(9, 30)));
    auto form = rig.openWindow();
    EXPECT_TRUE(form->LabelChartAge->text().isEmpty());
    // The sample chart is of 2026-12-01 12:00; it is filed in the archive under that stamp.
    form->OpenChart(copySample(rig.documentsDir.path(), "area-ne01.gif"));
    EXPECT_EQ(form->LabelChartAge->text(), "chart of 2026-12-01 12:00, 21 hours old");
    EXPECT_TRUE(form->LabelChartAge->styleSheet().isEmpty());
    EXPECT_TRUE(form->TimerChartAge->isActive());

    rig.clock.setNow(QDateTime(QDate(2026, 12, 4), QTime(12, 0, 1)));
    form->TimerChartAge->setInterval(1);
    QTest::qWait(50);
    EXPECT_EQ(form->LabelChartAge->text(), "chart of 2026-12-01 12:00, 3 days old");
    EXPECT_FALSE(form->LabelChartAge->styleSheet().isEmpty());
    EXPECT_FALSE(form->LabelChartAge->toolTip().isEmpty());
}

} // namespace
