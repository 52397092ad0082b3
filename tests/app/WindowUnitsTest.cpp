// The window's small units: the resize rule, the folder paths, the reminder's day rule, the
// picture control, the marker icon and the about box.

#include "ThalwiseVersion.h"
#include "WindowTestSupport.h"
#include "app/AboutBox.h"
#include "app/ProgramFolders.h"
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
        std::optional<int> gridLeft;
        int tabWidth;
    };
    const Row rows[] = {
        // client width, status top, scroll top, grid visible, grid width, scale left, tools left
        {{1000, 680, 0, false, 368, 864, 860}, 676, std::nullopt, 856},
        {{1000, 680, 24, true, 368, 864, 860}, 652, 490, 482},
        {{700, 400, 24, true, 368, 564, 560}, 372, 190, 182},
        // A window smaller than the grid: the rule gives negative sizes; the window clamps them.
        {{300, 10, 24, true, 368, 164, 160}, -18, -210, -218},
        {{300, 10, 0, false, 368, 4, 0}, 6, std::nullopt, -4},
    };
    for (const Row& row : rows) {
        const app::ResizeResult out = app::formResize(row.in);
        EXPECT_EQ(out.scrollBoxHeight, row.scrollBoxHeight);
        EXPECT_EQ(out.gridLeft, row.gridLeft);
        EXPECT_EQ(out.tabControlWidth, row.tabWidth);
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
