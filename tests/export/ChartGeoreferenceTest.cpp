// The chart description every exporter places the chart by.
#include "export/ChartGeoreference.h"

#include "geo/vekMapping.h"

#include <gtest/gtest.h>

#include <cmath>

using exports::chartGeoreference;

// Pixel centres lie where PixelToGeo puts the pixels, and Web Mercator metres are a scale and
// an offset of the pixel grid, in every area.
TEST(ChartGeoreference, PixelCentresAndWebMercatorScale) {
    for (int area = 1; area <= 30; ++area) {
        SCOPED_TRACE(area);
        const auto chart = chartGeoreference(area, 1024, 768);
        ASSERT_TRUE(chart.isValid());
        for (const auto& [x, y] : {std::pair{0, 0}, {511, 300}, {1023, 767}}) {
            float lat = 0, lon = 0;
            ASSERT_TRUE(PixelToGeo(chart.calibration, x, y, lat, lon));
            const auto p = chart.position(x + 0.5, y + 0.5);
            ASSERT_TRUE(p);
            EXPECT_NEAR(p->lat, lat, 1e-4);
            EXPECT_NEAR(p->lon, lon, 1e-4);
        }
        const double mx0 = exports::webMercatorX(chart.west());
        const double my0 = exports::webMercatorY(chart.north());
        const auto p = chart.position(700.25, 611.75);
        EXPECT_NEAR(exports::webMercatorX(p->lon), mx0 + 700.25 * chart.webMercatorPixelWidth(),
                    1e-3);
        EXPECT_NEAR(exports::webMercatorY(p->lat), my0 - 611.75 * chart.webMercatorPixelHeight(),
                    1e-3);
    }
    EXPECT_FALSE(chartGeoreference(0, 1024, 768).isValid());
    EXPECT_FALSE(chartGeoreference(5, 0, 768).isValid());
}
