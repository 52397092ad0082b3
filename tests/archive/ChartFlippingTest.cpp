// Flipping archived charts: which charts stay, their tab captions and the arrows.
#include "archive/ChartFlipping.h"
#include "archive/ChartImages.h"
#include "support/FakeFileSystem.h"

#include <gtest/gtest.h>

namespace {

const QString Archive = QStringLiteral("/home/skipper/Documents/My Pelagon Files/Chart Archive/");

QString dayChart(int day, const char* area = "ne01") {
    return Archive +
           QStringLiteral("2004-06-%1-12%2.gif").arg(day, 2, 10, QLatin1Char('0')).arg(area);
}

TEST(FlipLatest, FifteenChartsOfTheAreaFlipTheTenHighestOldestFirst) {
    FakeFileSystem fake;
    for (int day = 15; day >= 1; --day)
        fake.addFile(dayChart(day));
    fake.addFile(dayChart(20, "fl14"));
    fake.addFile(dayChart(21, "ne011"));
    fake.addFile(Archive + "2004-06-22-12NE01.GIF");
    fake.addFile(Archive + "2004-06-22-12ne01.gif"); // one chart to the list: counted once
    fake.addFile(Archive + "later/2004-06-30-12ne01.gif");
    QStringList expected;
    for (int day = 7; day <= 15; ++day)
        expected << dayChart(day);
    expected << Archive + "2004-06-22-12NE01.GIF";
    EXPECT_EQ(archive::latestChartsOfArea(fake, Archive, "ne01"), expected);
    EXPECT_EQ(archive::latestChartsOfArea(fake, Archive, "fl14"),
              QStringList{dayChart(20, "fl14")});
    // No area: every chart of the archive.
    EXPECT_EQ(archive::latestChartsOfArea(fake, Archive, "").first(), dayChart(9));
}

TEST(FlipAny, TwelveTickedKeepTheTenHighestWithTheMessage) {
    archive::ChartImageList charts;
    for (int day = 12; day >= 1; --day)
        charts.add(dayChart(day), QImage());
    archive::trimToLatest(charts);
    ASSERT_EQ(charts.size(), 10);
    EXPECT_EQ(charts[0].path + ' ' + charts[9].path, dayChart(3) + ' ' + dayChart(12));
    EXPECT_EQ(archive::flipLimitMessage(), "You can only select up to 10 images for flipping.  "
                                           "The most recent 10 have been selected.");
}

TEST(FlipTabs, ThirteenCharacterCaptionsForGifChartsEachNamingItsChart) {
    const struct {
        const char* path;
        const char* caption; // nullptr: no tab
    } cases[] = {
        {"/a/2004-06-15-12ne01.gif", "2004-06-15-12"},
        {"/a/area.gif", "area.gif"},
        {"/a/abcdefghi.GIF", "abcdefghi.GIF"},
        {"/a.gif/chart.gif.bmp", nullptr},
    };
    for (const auto& c : cases)
        EXPECT_EQ(archive::flipTabCaption(c.path),
                  c.caption ? std::optional<QString>(c.caption) : std::nullopt)
            << c.path;
    // A chart without a tab does not shift the charts the later tabs show.
    archive::ChartImageList charts;
    for (const char* path :
         {"/a/2004-06-01-12.gif", "/a/2004-06-02-12.bmp", "/a/2004-06-03-12.gif"})
        charts.add(path, QImage());
    const QList<archive::FlipTab> tabs = archive::flipTabs(charts);
    ASSERT_EQ(tabs.size(), 2);
    EXPECT_EQ(charts[tabs[1].chartIndex].path, "/a/2004-06-03-12.gif");
}

TEST(FlipArrows, StepWithinTheTabsWithoutWrapping) {
    const struct {
        int selected, count;
        std::optional<int> left, right;
    } cases[] = {
        {0, 3, std::nullopt, 1},
        {1, 3, 0, 2},
        {2, 3, 1, std::nullopt},
        {0, 1, std::nullopt, std::nullopt},
        {-1, 0, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(archive::previousFlipTab(c.selected, c.count), c.left) << c.selected;
        EXPECT_EQ(archive::nextFlipTab(c.selected, c.count), c.right) << c.selected;
    }
}

} // namespace
