// What the window remembers and takes in, as a user meets it: a restart brings back the size,
// the panels and the chart dropped on it; the recent list drops a chart that is gone and can be
// cleared; charts dropped together flip; keys delete a waypoint and close the help.

#include "WindowTestSupport.h"
#include "app/HelpWindow.h"

#include <QAction>
#include <QDockWidget>
#include <QMenu>
#include <QMimeData>
#include <QTabBar>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

class RememberForm : public TFormThalwise {
public:
    using TFormThalwise::TFormThalwise;
    void MenuToolsPurgeOldChartsClick() override {}
};

struct RememberRig : WindowRig {
    // A start as the program makes it: shown, then its start-up step at once.
    std::unique_ptr<RememberForm> start() {
        auto form = std::make_unique<RememberForm>(services, key, QStringList());
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->TimerLoad->stop();
        form->TimerLoadTimer();
        QCoreApplication::processEvents();
        return form;
    }
    QString chart(const QString& name) { return copySample(charts.path(), name); }
    QTemporaryDir charts;
};

QStringList recentMenu(TFormThalwise& form) {
    emit form.MenuFileOpenRecent->aboutToShow();
    QStringList captions;
    for (QAction* item : form.MenuFileOpenRecent->actions())
        captions << (item->isSeparator() ? QStringLiteral("-") : item->text());
    return captions;
}

void drop(TFormThalwise& form, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&form, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent dropped(QPointF(300, 300), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&form, &dropped);
    QCoreApplication::processEvents();
}

TEST(RememberWindow, ARestartBringsBackTheSizeThePanelsAndTheDroppedChart) {
    RememberRig rig;
    QString shown;
    {
        auto form = rig.start();
        drop(*form, {rig.chart("area-ne01.gif")}); // one chart dropped opens
        shown = form->CurrentChartPath;
        ASSERT_FALSE(shown.isEmpty());
        form->resize(1600, 900);
        form->MenuToolsWaypoints->trigger();
        form->DockWaypointList->setFloating(true);
        form->MenuViewTemperatureHistory->trigger();
        QCoreApplication::processEvents();
        form->close();
    }
    {
        auto form = rig.start();
        EXPECT_EQ(form->size(), QSize(1600, 900));
        EXPECT_TRUE(form->MenuToolsWaypoints->isChecked());
        EXPECT_TRUE(form->DockWaypointList->isVisible());
        EXPECT_TRUE(form->DockWaypointList->isFloating());
        EXPECT_TRUE(form->DockTemperatureHistory->isVisible());
        EXPECT_FALSE(form->DockTemperatureHistory->isFloating());
        EXPECT_EQ(form->CurrentChartPath, shown);
        EXPECT_TRUE(form->ImageLogo->isHidden());
        // The list's own close button closes it for the next start too.
        form->DockWaypointList->close();
        EXPECT_FALSE(form->MenuToolsWaypoints->isChecked());
        form->close();
    }
    // The chart shown last is gone: the next start shows the logo, and says nothing.
    ASSERT_TRUE(QFile::remove(shown));
    auto form = rig.start();
    EXPECT_FALSE(form->DockWaypointList->isVisible());
    EXPECT_TRUE(form->StringGridWaypointList->isHidden());
    EXPECT_TRUE(form->CurrentChartPath.isEmpty());
    EXPECT_FALSE(form->ImageLogo->isHidden());
    EXPECT_TRUE(rig.messageBoxes.requests.isEmpty());
    EXPECT_TRUE(rig.messageBoxes.errors.isEmpty());

    // Three of one area dropped flip, oldest first whatever order they came in.
    drop(*form, {rig.chart("2026-11-26-12ne01.gif"), rig.chart("2026-11-24-12ne01.gif"),
                 rig.chart("2026-11-25-12ne01.gif")});
    ASSERT_EQ(form->TabControlImagesTabs->count(), 3);
    EXPECT_EQ(form->TabControlImagesTabs->tabText(0), "2026-11-24-12");
    EXPECT_EQ(form->TabControlImagesTabs->tabText(2), "2026-11-26-12");
}

TEST(RememberWindow, RecentChartsDropWhatIsGoneAndClearTheList) {
    RememberRig rig;
    QStringList opened;
    {
        auto form = rig.start();
        // The chart opens in place when it is already in the archive.
        for (const char* name :
             {"2026-11-24-12ne01.gif", "2026-11-25-12ne01.gif", "2026-11-26-12ne01.gif"}) {
            form->OpenChart(copySample(form->ArchiveFolder, name));
            opened.prepend(form->CurrentChartPath);
        }
        form->OpenChart(opened.last()); // opened again: first, not twice
        EXPECT_EQ(form->RecentCharts, QStringList({opened[2], opened[0], opened[1]}));
    }
    ASSERT_TRUE(QFile::remove(opened[0]));
    auto form = rig.start();
    EXPECT_EQ(recentMenu(*form), QStringList({"&1 2026-11-24-12ne01.gif",
                                              "&2 2026-11-25-12ne01.gif", "-", "Clear list"}));
    // The second item opens its chart as Open would.
    form->MenuFileOpenRecent->actions().at(1)->trigger();
    EXPECT_EQ(form->CurrentChartPath, opened[1]);
    EXPECT_EQ(form->RecentCharts.first(), opened[1]);
    form->MenuFileOpenRecentClear->trigger();
    form.reset();
    EXPECT_TRUE(rig.start()->RecentCharts.isEmpty());
}

TEST(RememberWindow, KeysDeleteTheSelectedWaypointAndCloseTheHelp) {
    RememberRig rig;
    auto form = rig.start();
    form->activateWindow();
    for (const char* entry : {"Lat=41.5,Lon=-70.5,Tf=70.0", "Lat=41.6,Lon=-70.6,Tf=71.0"})
        form->WaypointList.append(QString::fromLatin1(entry));
    form->RefreshWaypointGrid();
    form->MenuToolsWaypoints->trigger();
    QTableWidget* grid = form->StringGridWaypointList;
    // The first waypoint's row (the header and home come before it).
    grid->setFocus();
    grid->selectRow(2);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(form->WaypointList, QStringList{"Lat=41.6,Lon=-70.6,Tf=71.0"});

    for (const QKeySequence& key :
         {QKeySequence(Qt::Key_Escape), QKeySequence::keyBindings(QKeySequence::Close)
                                            .value(0, QKeySequence(Qt::CTRL | Qt::Key_W))}) {
        form->MenuHelpContents->trigger();
        auto* help = form->findChild<THelpWindow*>();
        ASSERT_NE(help, nullptr);
        // The offscreen desktop activates no window by itself.
        QApplication::setActiveWindow(help);
        ASSERT_TRUE(help->isActiveWindow());
        QTest::keySequence(help, key);
        EXPECT_FALSE(help->isVisible()) << key.toString().toStdString();
    }
}

} // namespace
