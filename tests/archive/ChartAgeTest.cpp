// How old the chart on screen is: hours below a day, days above, stale past two days.
#include "archive/ChartAge.h"
#include "archive/ChartIntake.h"

#include <gtest/gtest.h>

namespace {

TEST(ChartAge, HoursDaysAndTheStaleEdge) {
    const std::optional<QDateTime> made = archive::chartTimeOf(QStringLiteral("2026-12-01-12ne01"));
    ASSERT_TRUE(made);
    const struct {
        qint64 seconds;
        const char* text;
        bool stale;
    } cases[] = {
        {0, "chart of 2026-12-01 12:00, less than an hour old", false},
        {3599, "chart of 2026-12-01 12:00, less than an hour old", false},
        {3600, "chart of 2026-12-01 12:00, 1 hour old", false},
        {2 * 3600, "chart of 2026-12-01 12:00, 2 hours old", false},
        {24 * 3600 - 1, "chart of 2026-12-01 12:00, 23 hours old", false},
        {24 * 3600, "chart of 2026-12-01 12:00, 1 day old", false},
        {48 * 3600, "chart of 2026-12-01 12:00, 2 days old", false},
        {48 * 3600 + 1, "chart of 2026-12-01 12:00, 2 days old", true},
        {3 * 24 * 3600 + 5, "chart of 2026-12-01 12:00, 3 days old", true},
        // A clock set back, or a chart stamped ahead: when it is of, nothing more.
        {-60, "chart of 2026-12-01 12:00", false},
    };
    for (const auto& c : cases) {
        const std::optional<archive::ChartAge> age = archive::chartAge(made, made->addSecs(c.seconds));
        ASSERT_TRUE(age) << c.seconds;
        EXPECT_EQ(age->text, QString::fromUtf8(c.text)) << c.seconds;
        EXPECT_EQ(age->stale, c.stale) << c.seconds;
    }
    EXPECT_FALSE(archive::chartAge(std::nullopt, *made));
    EXPECT_FALSE(archive::chartAge(archive::chartTimeOf(QStringLiteral("area-ne01")), *made));
}

} // namespace
