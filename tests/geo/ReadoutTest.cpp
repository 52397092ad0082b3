// The readout texts: degrees, headings and the four status-bar panels.
#include "geo/ThalwiseUtils.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

const QLocale C = QLocale::c();
const QLocale German(QLocale::German, QLocale::Germany);

QString deg(const char* text) {
    return QString::fromUtf8(text);
}

TEST(GeoFormatDegrees, Table) {
    const struct {
        float angle;
        bool decimal;
        const char* text;
    } cases[] = {
        {25.125f, true, "25.125°"},
        {-80.5f, true, "80.500°"},  // magnitude only, no hemisphere
        {25.125f, false, "25°08'"}, // 7.5 minutes: the half goes to even
        {-80.5f, false, "80°30'"},
        {0.375f, false, "0°22'"}, // 22.5 minutes: the half goes to
                                  // even
        {59.9999f, false, "60°00'"},
        {25.9999f, false, "26°00'"},
        {25.1166f, false, "25°07'"},
        {0.0f, false, "0°00'"},
        {0.0f, true, "0.000°"},
        {-0.0f, true, "0.000°"},
        {179.99f, true, "179.990°"},
        {41.99976f, true, "42.000°"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDegrees(c.angle, c.decimal, C), deg(c.text)) << c.angle << c.decimal;
    EXPECT_EQ(FormatDegrees(25.125f, true, German), deg("25,125°"));
    EXPECT_EQ(FormatDegrees(25.125f, false, German), deg("25°08'"));
}

TEST(GeoFormatBearing, Table) {
    const struct {
        float bearing;
        bool magnetic;
        float variation;
        const char* text;
    } cases[] = {
        {10.0f, true, 15.0f, "355.0° (mag.)"}, // east variation is taken off
        {10.0f, true, -5.0f, "15.0° (mag.)"},  // west variation is added
        {10.0f, true, 0.0f, "10.0° (true)"},   // no variation: true, and labelled so
        {10.0f, false, 15.0f, "10.0° (true)"},
        {359.96f, false, 0.0f, "360.0° (true)"}, // rounded after the normalisation
        {0.0f, false, 0.0f, "0.0° (true)"},
        {-30.0f, false, 0.0f, "330.0° (true)"},
        {725.0f, false, 0.0f, "5.0° (true)"},
        {355.0f, true, -14.5f, "9.5° (mag.)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatBearing(c.bearing, c.magnetic, c.variation, C), deg(c.text))
            << c.bearing << " " << c.magnetic << " " << c.variation;
    EXPECT_EQ(FormatBearing(10.0f, true, 15.0f, German), deg("355,0° (mag.)"));
}

TEST(GeoHeadingFormat, ToggleNeedsTheChartsVariation) {
    const struct {
        bool magnetic;
        bool hasVariation;
        bool after;
    } cases[] = {
        {false, true, true},
        {true, true, false},
        {false, false, false},
        {true, false, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(geo::magneticReadoutAfterToggle(c.magnetic, c.hasVariation), c.after)
            << c.magnetic << ' ' << c.hasVariation;
}

TEST(GeoFormats, ValuesThatAreNoAngleReadPlainly) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    for (const bool decimal : {true, false}) {
        for (const float angle : {inf, -inf, nan, 1.0e30f, -3.0e38f, 360.5f})
            EXPECT_EQ(FormatDegrees(angle, decimal, C), deg("---")) << angle << decimal;
        EXPECT_EQ(FormatDegrees(360.0f, decimal, C), deg(decimal ? "360.000°" : "360°00'"));
    }
    EXPECT_EQ(geo::positionPanelText(nan, -70.0f, true, C), deg("Lat: ---    Lon: 70.000°"));
    EXPECT_EQ(FormatBearing(inf, false, 0.0f, C), deg("--- (true)"));
    EXPECT_EQ(FormatBearing(nan, true, 3.0f, C), deg("--- (mag.)"));
    EXPECT_EQ(FormatBearing(10.0f, true, inf, C), deg("--- (mag.)"));
    // Finite but far out of range still comes into 0..360.
    for (const float far : {1.0e30f, -1.0e30f}) {
        const QString text = FormatBearing(far, false, 0.0f, C);
        EXPECT_TRUE(text.endsWith(deg("° (true)"))) << text.toStdString();
        const double value = text.left(text.indexOf(u'\u00B0')).toDouble();
        EXPECT_GE(value, 0.0);
        EXPECT_LE(value, 360.0);
    }
}

TEST(GeoPanels, Texts) {
    EXPECT_EQ(geo::positionPanelText(25.125f, -80.5f, false, C), deg("Lat: 25°08'    Lon: 80°30'"));
    EXPECT_EQ(geo::positionPanelText(25.125f, -80.5f, true, C),
              deg("Lat: 25.125°    Lon: 80.500°"));
    EXPECT_EQ(geo::temperaturePanelText(79.80392f, C), deg("Temperature: 79.8°F"));
    EXPECT_EQ(geo::temperaturePanelText(79.80392f, German), deg("Temperature: 79,8°F"));
    EXPECT_EQ(geo::temperaturePanelText(0.0f, C), QString()); // no temperature found
    EXPECT_EQ(geo::pixelPanelText(378, 654), QStringLiteral("X: 378, Y: 654"));
    EXPECT_EQ(geo::pixelPanelText(-1, 0), QStringLiteral("X: -1, Y: 0"));
}

TEST(GeoPanels, RangeTexts) {
    const struct {
        float lat1, lon1, lat2, lon2;
        bool magnetic;
        float variation;
        const char* text;
    } cases[] = {
        {41, -70, 42, -70, false, 0, "Range: 60.1 NM at 0.0° (true)"},
        {42, -70, 41, -70, false, 0, "Range: 60.1 NM at 180.0° (true)"},
        {42, -70, 42, -70, false, 0, "Range: 0.0 NM at 0.0° (true)"},
        {41, -70, 42, -70, true, -14.5f, "Range: 60.1 NM at 14.5° (mag.)"},
        {41, -70, 42, -70, true, 0, "Range: 60.1 NM at 0.0° (true)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(geo::rangePanelText(c.lat1, c.lon1, c.lat2, c.lon2, c.magnetic, c.variation, C),
                  deg(c.text));
    EXPECT_EQ(geo::rangePanelText(111.3195f, 0.0f, false, 0.0f, German),
              deg("Range: 60,1 NM at 0,0° (true)"));
    // Where the range cannot be computed, no range is shown.
    EXPECT_EQ(
        geo::rangePanelText(std::numeric_limits<float>::quiet_NaN(), -70, 42, -70, false, 0, C),
        QString());
}

TEST(GeoFormatFixed, RoundingAndSeparators) {
    const struct {
        double value;
        int decimals;
        const char* c;
        const char* german;
    } cases[] = {
        {12345.67, 1, "12345.7", "12345,7"}, // never grouped
        {0.25, 1, "0.2", "0,2"},             // the exact binary value is a tie: to even
        {0.35, 1, "0.3", "0,3"},             // 0.35 lies just below its decimal
        {359.96, 1, "360.0", "360,0"},
        {7.0, 0, "7", "7"},
        {-1.5, 1, "-1.5", "-1,5"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(geo::formatFixed(c.value, c.decimals, C), QLatin1String(c.c));
        EXPECT_EQ(geo::formatFixed(c.value, c.decimals, German), QLatin1String(c.german));
    }
}

} // namespace
