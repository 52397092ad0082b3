// Isotherms on synthetic fields whose lines are known exactly, and the temperature lists a user
// types.
#include "geo/Isotherms.h"
#include "geo/TemperatureBreaks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

// A field of exact readings; pixels where value() gives 0 read nothing.
geo::TemperatureField field(int width, int height, const std::function<float(int, int)>& value) {
    geo::TemperatureField f{width, height, {}, {}, 0.0f};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            f.values.push_back(value(x, y));
            f.clean.push_back(f.values.back() != 0.0f);
        }
    return f;
}

TEST(Isotherms, LinesLieWhereTheWaterCrossesTheTemperature) {
    // Warming 0.5 °F a pixel eastward: 53.3 °F lies 6.6 pixels east of column 0's centre.
    const auto ramp = [](int x, int) { return 50.0f + 0.5f * x; };
    const std::vector<geo::Isotherm> straight = geo::findIsotherms(field(20, 10, ramp), {53.3f});
    ASSERT_EQ(straight.size(), 1u);
    ASSERT_EQ(straight[0].lines.size(), 1u);
    EXPECT_FALSE(straight[0].lines[0].closed);
    EXPECT_EQ(straight[0].lines[0].points.size(), 10u);
    for (const QPointF& p : straight[0].lines[0].points)
        EXPECT_NEAR(p.x(), 7.1, 1e-4);

    // Cooling 1 °F a pixel away from (16, 16): 54 °F is one ring of radius 6.
    const geo::TemperatureField bump = field(32, 32, [](int x, int y) {
        return float(60.0 - std::hypot(x + 0.5 - 16.0, y + 0.5 - 16.0));
    });
    const std::vector<geo::Isotherm> ring = geo::findIsotherms(bump, {54.0f, 70.0f});
    ASSERT_EQ(ring[0].lines.size(), 1u);
    EXPECT_TRUE(ring[0].lines[0].closed);
    EXPECT_EQ(ring[0].lines[0].points.front(), ring[0].lines[0].points.back());
    EXPECT_GT(ring[0].lines[0].points.size(), 30u);
    for (const QPointF& p : ring[0].lines[0].points)
        EXPECT_NEAR(std::hypot(p.x() - 16.0, p.y() - 16.0), 6.0, 0.05);
    EXPECT_TRUE(ring[1].lines.empty()); // warmer than any water: no line

    // Land across rows 4 and 5 cuts the straight line in two, with no line along its coast;
    // so do readings there whose window saw land (darkened, not clean).
    geo::TemperatureField land =
        field(20, 10, [&](int x, int y) { return y == 4 || y == 5 ? 0.0f : ramp(x, y); });
    geo::TemperatureField nearLand = field(20, 10, ramp);
    std::fill_n(nearLand.clean.begin() + 4 * 20, 2 * 20, std::uint8_t(0));
    for (const geo::TemperatureField& f : {land, nearLand}) {
        const std::vector<geo::Isotherm> cut = geo::findIsotherms(f, {53.3f});
        ASSERT_EQ(cut[0].lines.size(), 2u);
        for (const geo::IsothermLine& line : cut[0].lines)
            for (const QPointF& p : line.points)
                EXPECT_TRUE(std::abs(p.x() - 7.1) < 1e-4 && (p.y() < 4.0 || p.y() > 6.0));
    }
}

TEST(Isotherms, TemperatureListsAreReadWithinTheChartsRange) {
    const struct {
        const char* text;
        std::vector<float> expected;
    } cases[] = {
        {"68, 70, 72", {68, 70, 72}},
        {"72;68  70", {68, 70, 72}},
        {"68.5°F, 90", {68.5f}},
        {"every 2", {62, 64, 66, 68, 70, 72}},
        {"Every 2 °F", {62, 64, 66, 68, 70, 72}},
        {"every 0", {}},
        {"every 0.001", {}},
        {"68, warm", {}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(geo::isothermTemperatures(QString::fromUtf8(c.text), 61.0, 72.0), c.expected)
            << c.text;
}

// A list is taken whole or refused with the value and the limit named, never echoed whole.
TEST(Isotherms, ARefusedListNamesTheValueAndTheLimit) {
    QStringList many;
    for (int i = 0; i < 250; ++i)
        many << QStringLiteral("50.%1").arg(i, 3, 10, QLatin1Char('0'));
    const struct {
        QString text;
        std::vector<const char*> named; // what the reason must say
        std::vector<float> kept;
    } cases[] = {
        {"50,500", {"500", "38 to 62"}, {50}},
        {"30, 50, 70", {"30, 70 are outside", "38 to 62"}, {50}},
        {"every 0.1", {"every 0.1", "241", "200"}, {}},
        {many.join(','), {"250", "200"}, {}},
        {"50, warm", {"\"warm\""}, {}},
        {"every -2", {"-2"}, {}},
        {"every 100", {"no temperature", "38 to 62"}, {}},
        {"  ", {"no temperatures"}, {}},
    };
    for (const auto& c : cases) {
        const geo::IsothermList list = geo::readIsothermList(c.text, 38.0, 62.0);
        SCOPED_TRACE(c.text.left(40).toStdString());
        for (const char* named : c.named)
            EXPECT_TRUE(list.error.contains(QString::fromUtf8(named))) << list.error.toStdString();
        EXPECT_LT(list.error.size(), 160);
        EXPECT_EQ(list.temperatures, c.kept);
    }
    EXPECT_TRUE(geo::readIsothermList("38, 62", 38.0, 62.0).error.isEmpty());
}

} // namespace
