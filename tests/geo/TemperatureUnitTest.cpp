// Temperatures read in °C: the one conversion and format, and every readout built on it (the
// status panel, the slider label, the scale's tool-tips, the waypoint grid and printed list).
// The stored values stay °F; only what is read changes.

#include "geo/ChartMetadata.h"
#include "geo/TemperatureScale.h"
#include "geo/ThalwiseUtils.h"
#include "geo/WaypointTable.h"

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

const QLocale C = QLocale::c();
const QLocale German(QLocale::German, QLocale::Germany);

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

TEST(TemperatureText, EdgeValuesInBothUnits) {
    // The °C value is rounded from the exact conversion of the float reading; ties of the exact
    // binary value go to even, as every readout's do.
    const struct {
        float fahrenheit;
        const char* f;
        const char* c;
        const char* cGerman;
    } cases[] = {
        {32.0f, "32.0°F", "0.0°C", "0,0°C"},
        {31.99f, "32.0°F", "0.0°C", "0,0°C"},   // -0.0056°C: no "-0.0"
        {31.91f, "31.9°F", "-0.1°C", "-0,1°C"}, // -0.05000008°C lies beyond the tie
        {32.09f, "32.1°F", "0.1°C", "0,1°C"},   // 0.05000008°C
        {212.0f, "212.0°F", "100.0°C", "100,0°C"},
        {-40.0f, "-40.0°F", "-40.0°C", "-40,0°C"},
        {34.25f, "34.2°F", "1.2°C", "1,2°C"},   // exactly 1.25°C: to even
        {38.75f, "38.8°F", "3.8°C", "3,8°C"},   // exactly 3.75°C: to even
        {29.75f, "29.8°F", "-1.2°C", "-1,2°C"}, // exactly -1.25°C
        {65.3f, "65.3°F", "18.5°C", "18,5°C"},  // 18.5000017°C
        {0.01f, "0.0°F", "-17.8°C", "-17,8°C"}, // a reading, however near 0°F
        {0.0f, "", "", ""},                     // no temperature, in either unit
        {-0.0f, "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fahrenheit);
        EXPECT_EQ(geo::temperatureText(c.fahrenheit, false, C), text(c.f));
        EXPECT_EQ(geo::temperatureText(c.fahrenheit, true, C), text(c.c));
        EXPECT_EQ(geo::temperatureText(c.fahrenheit, true, German), text(c.cGerman));
        const QString panel = geo::temperaturePanelText(c.fahrenheit, C, true);
        EXPECT_EQ(panel, *c.c ? QStringLiteral("Temperature: ") + text(c.c) : QString());
        // The °F panel is the one the window has always shown.
        EXPECT_EQ(geo::temperaturePanelText(c.fahrenheit, C, false),
                  geo::temperaturePanelText(c.fahrenheit, C));
    }
    EXPECT_DOUBLE_EQ(geo::celsiusFromFahrenheit(-40.0), -40.0);
    EXPECT_DOUBLE_EQ(geo::celsiusFromFahrenheit(212.0), 100.0);
    // Without the none rule, 0°F is a temperature like any other; a °F value keeps its sign.
    EXPECT_EQ(geo::temperatureDigits(0.0, true, C), QStringLiteral("-17.8"));
    EXPECT_EQ(geo::temperatureDigits(-0.01, false, C), QStringLiteral("-0.0"));
    EXPECT_EQ(geo::temperatureDigits(31.97, true, German), QStringLiteral("0,0"));
}

TEST(TemperatureText, ScaleMarksAndToolTips) {
    using geo::TemperatureScale;
    const struct {
        int minimum, maximum, position;
        const char* f;
        const char* c;
    } slider[] = {
        // Mirrored: the top reads the maximum. A mark at 0°F is a temperature, not "none".
        {30, 80, 30, "80°F", "26.7°C"},    {30, 80, 80, "30°F", "-1.1°C"},
        {0, 64, 64, "0°F", "-17.8°C"},     {0, 64, 32, "32°F", "0.0°C"},
        {-20, 40, 40, "-20°F", "-28.9°C"},
    };
    for (const auto& s : slider) {
        SCOPED_TRACE(s.position);
        EXPECT_EQ(TemperatureScale::sliderLabelText(s.minimum, s.maximum, s.position), text(s.f));
        EXPECT_EQ(TemperatureScale::sliderLabelText(s.minimum, s.maximum, s.position, true, C),
                  text(s.c));
    }
    EXPECT_EQ(TemperatureScale::sliderLabelText(30, 80, 30, true, German), text("26,7°C"));

    // The up-downs keep their °F; in °C their tool-tips tell both.
    EXPECT_EQ(TemperatureScale::scaleEndToolTip(80, false, C), QString());
    EXPECT_EQ(TemperatureScale::scaleEndToolTip(80, true, C), text("80°F is 26.7°C"));
    EXPECT_EQ(TemperatureScale::scaleEndToolTip(0, true, German), text("0°F is -17,8°C"));

    // The chart's range: its ends in the unit read, the variation as before.
    const QString celsiusTip =
        text("Temperature range in chart is: 10.0°C .. 30.0°C\rMagnetic variation is 14.5° W");
    EXPECT_EQ(geo::rangeToolTip(50, 86, -14.5f, C, true), celsiusTip);
    EXPECT_EQ(geo::rangeToolTip(-5, 0, 3.5f, German, true),
              text("Temperature range in chart is: -20,6°C .. -17,8°C\r"
                   "Magnetic variation is 3,5° E"));
    const QString keyed = QStringLiteral("TIMESTAMP=2026-07-01-12ne01\r\nTMIN=50\r\nTMAX=86\r\n"
                                         "VARIATION=-14.5");
    EXPECT_EQ(geo::readChartMetadata({keyed}, C, true).toolTip, celsiusTip);
    EXPECT_EQ(geo::readChartMetadata({keyed}, C).toolTip, geo::rangeToolTip(50, 86, -14.5f, C));
}

TEST(TemperatureText, WaypointGridAndPrintedListReadTheStoredFahrenheit) {
    const QStringList trip = {"Lat=41.00,Lon=-70.00,Tf=55.0", "Lat=41.00,Lon=-69.00,Tf=0.0",
                              "Lat=41.50,Lon=-69.25,Tf=61.3"};
    geo::WaypointListOptions options;
    options.homeLat = 42.0;
    options.homeLon = -70.0;
    const struct {
        bool celsius;
        const char* header;
        QStringList cells;   // the temperature column of rows 2, 3, 4
        QStringList printed; // what follows "T: " on each printed line
    } cases[] = {
        // A waypoint without a temperature reads "-" in either unit, never freezing water.
        {false, " Temp\r   °F", {"55.0", "-", "61.3"}, {"55.0°F", "-", "61.3°F"}},
        {true, " Temp\r   °C", {"12.8", "-", "16.3"}, {"12.8°C", "-", "16.3°C"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.celsius);
        options.temperatureCelsius = c.celsius;
        const geo::WaypointGrid grid = geo::waypointGrid(trip, options, C);
        EXPECT_EQ(grid.rows[0][3], text(c.header));
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(grid.rows[2 + i][3], c.cells[i]) << i;
        const QStringList lines = geo::printedWaypointList(trip, options, C);
        ASSERT_EQ(lines.size(), 5);
        for (int i = 0; i < 3; ++i) {
            const QString line = lines[2 + i];
            const qsizetype from = line.indexOf(QStringLiteral("  T: ")) + 5;
            EXPECT_EQ(line.mid(from, line.indexOf(QStringLiteral("  dist:")) - from), c.printed[i])
                << line.toStdString();
        }
    }
    options.temperatureCelsius = true;
    EXPECT_EQ(geo::waypointGrid(trip, options, German).rows[2][3], QStringLiteral("12,8"));
}

} // namespace
