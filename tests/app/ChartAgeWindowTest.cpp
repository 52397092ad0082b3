// The age of the chart on screen at the status bar's right end: from the time stamp the chart
// was opened with, current as the clock goes on, in a warning colour past two days.

#include "WindowTestSupport.h"

#include <QLabel>
#include <QStatusBar>
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

    // Whole at every width the window allows: at its least width and at the default one.
    rig.clock.setNow(QDateTime(QDate(2029, 8, 27), QTime(12, 0)));
    form->TimerChartAge->setInterval(1);
    QTest::qWait(50);
    ASSERT_EQ(form->LabelChartAge->text(), "chart of 2026-12-01 12:00, 1000 days old");
    form->show();
    for (const QSize size : {form->minimumSize(), QSize(1000, 720)}) {
        form->resize(size);
        QTest::qWait(20);
        const QFontMetrics bold = [&] {
            QFont font = form->LabelChartAge->font();
            font.setBold(true);
            return QFontMetrics(font);
        }();
        EXPECT_GE(form->LabelChartAge->contentsRect().width(),
                  bold.horizontalAdvance(form->LabelChartAge->text()))
            << form->width();
        EXPECT_LE(form->LabelChartAge->geometry().right(), form->StatusBar->width());
    }
}

} // namespace
