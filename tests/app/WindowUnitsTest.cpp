// The window's small units: the resize rule, the folder paths, the reminder's day rule, the
// picture control, the marker icon and the about box.

#include "ThalwiseVersion.h"
#include "WindowTestSupport.h"
#include "app/AboutBox.h"
#include "app/ProgramFolders.h"
#include "app/RememberedCharts.h"
#include "app/WindowLayout.h"
#include "app/vekImage.h"
#include "dialogs/AddText.h"
#include "dialogs/ArchiveManagerForm.h"

#include <QDir>
#include <QEnterEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

TEST(WindowLayout, FormResizeRule) {
    struct Row {
        app::ResizeInput in;
        int scrollBoxHeight;
        int tabWidth;
    };
    const Row rows[] = {
        // client width, status top, scroll top, scale left
        {{1000, 680, 0, 864}, 676, 856},
        {{1000, 680, 24, 864}, 652, 856},
        // A tiny window: the rule gives negative sizes; the window clamps them.
        {{300, 10, 24, 4}, -18, -4},
    };
    for (const Row& row : rows) {
        const app::ResizeResult out = app::formResize(row.in);
        EXPECT_EQ(out.scrollBoxHeight, row.scrollBoxHeight);
        EXPECT_EQ(out.tabControlWidth, row.tabWidth);
    }
}

TEST(WindowLayout, FirstStartAndFloatingPanelStayOnTheScreen) {
    // The first window: 1280 x 960 where the screen takes it, centred in the free area (a task
    // bar of 40 pixels at the foot of a 1920 x 1080 screen, and none on the smaller ones).
    EXPECT_EQ(app::firstWindowFrame(QRect(0, 0, 1920, 1040), QSize(760, 500)),
              QRect(320, 40, 1280, 960));
    EXPECT_EQ(app::firstWindowFrame(QRect(0, 0, 1366, 768), QSize(760, 500)),
              QRect(43, 0, 1280, 768));
    EXPECT_EQ(app::firstWindowFrame(QRect(0, 0, 1000, 720), QSize(760, 500)),
              QRect(0, 0, 1000, 720));
    // A screen smaller than the least window: the least window, from the screen's corner.
    EXPECT_EQ(app::firstWindowFrame(QRect(100, 0, 640, 480), QSize(760, 500)),
              QRect(100, 0, 760, 500));

    // A 425 x 300 panel for a window whose menu bar ends at y = 60.
    const QSize panel(425, 300);
    const QRect screen(0, 0, 1366, 768);
    // Room on the right of a 900-pixel window at x = 10: right beside it.
    EXPECT_EQ(app::floatingPanelFrame(screen, QRect(10, 30, 900, 700), 60, panel),
              QRect(910, 60, 425, 300));
    // Room only on the left.
    EXPECT_EQ(app::floatingPanelFrame(screen, QRect(460, 30, 900, 700), 60, panel),
              QRect(35, 60, 425, 300));
    // Neither: at the screen's right edge, over the window but under its menu bar.
    EXPECT_EQ(app::floatingPanelFrame(QRect(0, 0, 1000, 720), QRect(0, 0, 1000, 720), 52, panel),
              QRect(575, 52, 425, 300));
    // Too high for what is left below the menu bar: made lower; never above the screen's top.
    EXPECT_EQ(app::floatingPanelFrame(QRect(0, 20, 1000, 300), QRect(0, -50, 1000, 720), 0, panel),
              QRect(575, 20, 425, 300));
    EXPECT_EQ(app::floatingPanelFrame(QRect(0, 0, 1000, 300), QRect(0, 0, 1000, 720), 52, panel),
              QRect(575, 52, 425, 248));
}

TEST(RememberedCharts, RecentListAndDrops) {
    // Newest first, each once, ten at most.
    QStringList recent;
    for (int k = 0; k < 12; ++k)
        recent = app::withRecentChart(recent, QStringLiteral("/c/%1.gif").arg(k));
    recent = app::withRecentChart(recent, QStringLiteral("/c/5.gif"));
    EXPECT_EQ(recent, QStringList({"/c/5.gif", "/c/11.gif", "/c/10.gif", "/c/9.gif", "/c/8.gif",
                                   "/c/7.gif", "/c/6.gif", "/c/4.gif", "/c/3.gif", "/c/2.gif"}));

    struct Row {
        QStringList dropped;
        QString open;
        QStringList flip;
    };
    const QString mon = "/d/2026-11-24-12ne01.gif", tue = "/e/2026-11-25-12ne01.gif";
    const Row rows[] = {
        {{mon}, mon, {}},
        {{tue, mon}, {}, {mon, tue}},                 // one area: flipped by date
        {{tue, "/d/2026-11-24-12ne02.gif"}, tue, {}}, // two areas: the first
        {{tue, "/d/notes.txt", mon}, tue, {}},        // not all charts
        {{"/d/a.gif", "/d/b.gif"}, "/d/a.gif", {}},   // no area
        {{mon, mon.toUpper()}, mon, {}},              // one chart twice
    };
    for (const Row& row : rows) {
        const app::ChartDrop drop = app::chartDrop(row.dropped);
        EXPECT_EQ(drop.open, row.open) << row.dropped.join(' ').toStdString();
        EXPECT_EQ(drop.flip, row.flip) << row.dropped.join(' ').toStdString();
    }
}

TEST(ProgramFolders, PathsUnderTheDocumentsFolder) {
    const auto n = [](const char* p) { return QDir::toNativeSeparators(QString::fromLatin1(p)); };
    struct Row {
        const char* documents;
        const char* archive;
        const char* programInfo;
    };
    const Row rows[] = {
        {"/home/ann/Documents", "/home/ann/Documents/My Pelagon Files/Chart Archive/",
         "/home/ann/Documents/My Pelagon Files/Program Info/"},
        {"/home/ann/Documents/", "/home/ann/Documents/My Pelagon Files/Chart Archive/",
         "/home/ann/Documents/My Pelagon Files/Program Info/"},
        {"/", "/My Pelagon Files/Chart Archive/", "/My Pelagon Files/Program Info/"},
        // No documents folder: a path from the root, never one under the working folder.
        {"", "/My Pelagon Files/Chart Archive/", "/My Pelagon Files/Program Info/"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(app::archiveFolderFor(n(row.documents)), n(row.archive)) << row.documents;
        EXPECT_EQ(app::programInfoFolderFor(n(row.documents)), n(row.programInfo));
    }
}

TEST(ProgramFolders, ReminderDueOnlyAfterTheStoredDay) {
    struct Row {
        int last;
        int today;
        bool due;
    };
    const Row rows[] = {{0, 46000, true},
                        {45999, 46000, true},
                        {46000, 46000, false},
                        {46001, 46000, false},
                        {-5, -4, true}};
    for (const Row& row : rows)
        EXPECT_EQ(app::purgeReminderDue(row.last, row.today), row.due) << row.last;
}

TEST(vekImage, ReportsEnterLeaveAndClicksInOrder) {
    ensureApplication();
    TvekImage image;
    image.resize(50, 40);
    QStringList events;
    QObject::connect(&image, &TvekImage::OnMouseEnter, [&](TvekImage* s) {
        EXPECT_EQ(s, &image);
        events << "enter";
    });
    QObject::connect(&image, &TvekImage::OnMouseLeave, [&](TvekImage*) { events << "leave"; });
    QObject::connect(&image, &TvekImage::OnMouseDown,
                     [&](TvekImage*, Qt::MouseButton, Qt::KeyboardModifiers, QPoint p) {
                         events << QStringLiteral("down %1,%2").arg(p.x()).arg(p.y());
                     });
    QObject::connect(&image, &TvekImage::OnClick, [&](TvekImage*) { events << "click"; });
    QObject::connect(&image, &TvekImage::OnMouseUp,
                     [&](TvekImage*, Qt::MouseButton, Qt::KeyboardModifiers, QPoint p) {
                         events << QStringLiteral("up %1,%2").arg(p.x()).arg(p.y());
                     });
    image.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&image));

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(&image, &enter);
    QCoreApplication::processEvents();
    QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(10, 12));
    QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(10, 12));
    // A release outside the control is no click.
    QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(3, 4));
    QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(80, 4));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&image, &leave);
    // The offscreen platform may report the pointer's entry once more for the first press.
    events.removeDuplicates();
    EXPECT_EQ(events, (QStringList{"enter", "down 10,12", "click", "up 10,12", "down 3,4",
                                   "up 80,4", "leave"}));
}

TEST(vekImage, PropertiesShapeMouseAndSize) {
    ensureApplication();
    TvekImage image;
    EXPECT_FALSE(image.ignoreMouse());
    EXPECT_FALSE(image.flickerFree());
    image.setIgnoreMouse(true);
    EXPECT_TRUE(image.testAttribute(Qt::WA_TransparentForMouseEvents));
    image.setIgnoreMouse(false);
    EXPECT_FALSE(image.testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_TRUE(image.setProperty("IgnoreMouse", true));
    EXPECT_TRUE(image.ignoreMouse());

    image.resize(5, 5);
    image.setPicture(QImage(30, 256, QImage::Format_RGB888));
    EXPECT_EQ(image.size(), QSize(5, 5)); // not sized to the picture unless asked
    image.setAutoSize(true);
    EXPECT_EQ(image.size(), QSize(30, 256));
    image.setPicture(QImage(60, 20, QImage::Format_RGB888));
    EXPECT_EQ(image.size(), QSize(60, 20));
}

TEST(Resources, WaypointIconTipAtColumn10Row27) {
    ensureApplication();
    WindowRig rig; // the window registers the resources
    auto form = rig.open();
    const QImage icon = QImage(QStringLiteral(":/WPT")).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(icon.size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(icon.pixel(10, 27)), 255);
    for (int y = 28; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            EXPECT_EQ(qAlpha(icon.pixel(x, y)), 0) << x << "," << y;
    // The tip is the only opaque pixel of its row.
    for (int x = 0; x < 32; ++x) {
        if (x != 10) {
            EXPECT_LT(qAlpha(icon.pixel(x, 27)), 128) << x;
        }
    }
}

TEST(AboutBox, ShowsNameVersionAndOpensTheSiteThroughTheDesktop) {
    ensureApplication();
    FakeDesktop desktop;
    TAboutBoxVEK1 about(desktop);
    EXPECT_EQ(about.ProductName->text(), QStringLiteral("Thalwise"));
    EXPECT_TRUE(about.Version->text().contains(QStringLiteral(THALWISE_VERSION)));
    EXPECT_TRUE(about.Licence->text().contains(QStringLiteral("MIT")));
    EXPECT_TRUE(about.QtVersions->text().contains(QLatin1String(qVersion())));
    EXPECT_FALSE(about.WebSite->openExternalLinks());
    emit about.WebSite->linkActivated(TAboutBoxVEK1::webSite());
    ASSERT_EQ(desktop.openedUrls.size(), 1);
    EXPECT_EQ(desktop.openedUrls[0], QUrl(TAboutBoxVEK1::webSite()));
}

TEST(Dialogs, ShellsCarryTheirCaptions) {
    ensureApplication();
    platform::Services services;
    TFormAddText addText;
    TFormManageArchive manage(services);
    EXPECT_EQ(addText.windowTitle(), QStringLiteral("Enter annotation text"));
    EXPECT_EQ(manage.windowTitle(), QStringLiteral("Manage chart archive"));
    EXPECT_EQ(manage.size(), QSize(242, 370));
}
