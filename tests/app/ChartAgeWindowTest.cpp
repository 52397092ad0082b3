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

    // Whole at the default width; at the least width, no wider than 800 pixels, it may end
    // short, with the whole text in its tool-tip, and every readout keeps its room.
    rig.clock.setNow(QDateTime(QDate(2029, 8, 27), QTime(12, 0)));
    form->TimerChartAge->setInterval(1);
    QTest::qWait(50);
    ASSERT_EQ(form->LabelChartAge->text(), "chart of 2026-12-01 12:00, 1000 days old");
    EXPECT_TRUE(form->LabelChartAge->toolTip().startsWith(form->LabelChartAge->text()));
    form->show();
    EXPECT_LE(form->minimumSize().width(), 800);
    for (const QSize size : {form->minimumSize(), QSize(1000, 720), QSize(1366, 768)}) {
        form->resize(size);
        QTest::qWait(20);
        const QFontMetrics bold = [&] {
            QFont font = form->LabelChartAge->font();
            font.setBold(true);
            return QFontMetrics(font);
        }();
        if (size.width() >= 1000) {
            EXPECT_GE(form->LabelChartAge->contentsRect().width(),
                      bold.horizontalAdvance(form->LabelChartAge->text()))
                << form->width();
        }
        EXPECT_LE(form->LabelChartAge->geometry().right(), form->StatusBar->width());
        for (int panel = 0; panel < 4; ++panel) {
            const QLabel* shown =
                form->StatusBar->findChild<QLabel*>(QStringLiteral("StatusBarPanel%1").arg(panel));
            ASSERT_NE(shown, nullptr);
            EXPECT_LE(shown->geometry().right(), form->LabelChartAge->geometry().left())
                << panel << " at " << form->width();
        }
    }
}

} // namespace
