// The isotherms' window-free rules: temperatures asked for in the unit shown or the unit named,
// the label's figures, and where a line carries its label.
#include "app/ChartDisplay.h"
#include "app/IsothermLayerCache.h"
#include "geo/Isotherms.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(IsothermUnits, TemperaturesAreReadInTheUnitShownOrNamed) {
    struct Row {
        const char* text;
        bool celsius;
        std::vector<float> fahrenheit;
    };
    // The chart's range is 38..62 °F, 3.3..16.7 °C.
    const Row rows[] = {
        {"40, 50", false, {40, 50}},
        {"every 4 °C", false, {39.2f, 46.4f, 53.6f, 60.8f}}, // the named unit wins
        {"every 4", true, {39.2f, 46.4f, 53.6f, 60.8f}},
        {"10 °F", true, {}}, // 10 °F is off the chart
        {"15", true, {59.0f}},
        {"warm", true, {}},
    };
    for (const Row& r : rows) {
        const std::vector<float> got =
            app::isothermTemperaturesShown(QString::fromUtf8(r.text), 38, 62, r.celsius);
        ASSERT_EQ(got.size(), r.fahrenheit.size()) << r.text;
        for (std::size_t i = 0; i < got.size(); ++i)
            EXPECT_NEAR(got[i], r.fahrenheit[i], 1e-4) << r.text;
    }
    EXPECT_EQ(app::isothermTextWithUnit(QStringLiteral("every 2"), true),
              QString::fromUtf8("every 2 \u00B0C"));
    EXPECT_EQ(app::isothermTextWithUnit(QStringLiteral("68 F"), true), QStringLiteral("68 F"));
    // The label reads in the unit shown, to a tenth, whole degrees without one, never "-0".
    EXPECT_EQ(display::isothermLabelText(68.0f, false), QString::fromUtf8("68\u00B0"));
    EXPECT_EQ(display::isothermLabelText(50.0f, true), QString::fromUtf8("10\u00B0"));
    EXPECT_EQ(display::isothermLabelText(46.0f, true), QString::fromUtf8("7.8\u00B0"));
    EXPECT_EQ(display::isothermLabelText(31.99f, true), QString::fromUtf8("0\u00B0"));
}

TEST(IsothermUnits, ALabelSitsOnTheStraightestStretchOfALongEnoughLine) {
    auto lineOf = [](std::vector<QPointF> points) {
        geo::Isotherm isotherm;
        isotherm.temperature = 60.0f;
        isotherm.lines.push_back({std::move(points), false});
        return isotherm;
    };
    // A zigzag for 60 pixels, then a straight run rising to the right for 60.
    std::vector<QPointF> bent;
    for (int i = 0; i <= 60; ++i)
        bent.emplace_back(i, (i / 3) % 2 ? 3.0 : 0.0);
    for (int i = 1; i <= 60; ++i)
        bent.emplace_back(60 + i * 0.8, -i * 0.6);
    std::vector<QPointF> shortLine{{0, 0}, {30, 0}};
    std::vector<QPointF> zigzag;
    for (int i = 0; i <= 120; ++i)
        zigzag.emplace_back(i, (i / 3) % 2 ? 4.0 : 0.0);
    const std::vector<display::IsothermLabel> labels =
        display::isothermLabels({lineOf(bent), lineOf(shortLine), lineOf(zigzag)});
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_GT(labels[0].at.x(), 60.0);
    EXPECT_NEAR(labels[0].angle, -36.87, 0.5); // along the run, upright
    EXPECT_EQ(labels[0].temperature, 60.0f);
}

} // namespace
