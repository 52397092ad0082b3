// Chart areas, recognition from file names, the pixel <-> position mapping and the great-circle
// range and bearing.
#include "geo/AreaStuff.h"
#include "geo/vekMapping.h"

#include <gtest/gtest.h>

#include <QSet>

#include <cmath>
#include <limits>

namespace {

TEST(GeoAreaTable, RowsAndStrings) {
    QSet<QString> codes;
    for (int i = geo::FirstCalibratedArea; i <= geo::LastCalibratedArea; ++i) {
        const ChartArea& a = geo::areaAt(i);
        SCOPED_TRACE(a.Code);
        EXPECT_TRUE(a.Mercator);
        EXPECT_GT(a.Row2, a.Row1);
        EXPECT_GT(a.Col2, a.Col1);
        EXPECT_GT(a.Lat1, a.Lat2);
        EXPECT_GT(a.LonWest1, a.LonWest2);
        EXPECT_TRUE(geo::areaCode(i).startsWith(QLatin1String(a.ShortCode).left(2)));
        codes.insert(geo::areaCode(i));
    }
    EXPECT_EQ(codes.size(), 30);
    EXPECT_EQ(geo::areaDisplayName(10), QStringLiteral("Mid-altantic area 1"));
    EXPECT_EQ(geo::areaCode(26), QStringLiteral("fl10"));
    EXPECT_EQ(QLatin1String(geo::areaAt(26).ShortCode), QLatin1String("fl10"));
    EXPECT_EQ(QLatin1String(geo::areaAt(31).ShortCode), QLatin1String("Rutgers"));
    EXPECT_FALSE(geo::areaAt(31).Mercator);
    EXPECT_TRUE(geo::areaCode(0).isEmpty());
    EXPECT_TRUE(geo::areaCode(32).isEmpty());
    EXPECT_TRUE(geo::areaCode(-1).isEmpty());
}

TEST(GeoRecogniseArea, FileNames) {
    const struct {
        const char* name;
        int area;
    } cases[] = {
        {"area-fl01.gif", 17},
        {"AREA-FL01.GIF", 17},
        {"fl1.gif", 17},
        {"fl01.gif", 17},
        {"AREA-FL01", 17},   // the window passes the upper-cased name without extension
        {"area-fl1.gif", 0}, // last four characters "-fl1"
        {"chart.gif", 0},
        {"x.jpg", 31},
        {"X.JPG", 31},
        {"fl14.jpg", 30}, // a code match comes before the ".jpg" rule
        {"ne01.gif", 1},
        {"ne9.gif", 9},
        {"area-ma05.gif", 14},
        {"area-fl10.gif", 26},
        {"fl10.gif", 26},
        {"C:\\Charts\\area-ne09.gif", 9},
        {"/home/user/charts/area-fl14.gif", 30},
        {"/home/user/fl01.d/chart.gif", 0}, // a dot in a folder name is not an extension
        {"rutgers.gif", 0},                 // entry 31 is never matched by name
        {"area-fl01.gif.bmp", 0},
        {"", 0},
        {"fl01", 17},
        {"xfl01.gif", 17},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RecogniseArea(QString::fromLatin1(c.name)), c.area) << c.name;
}

// A chart file's area is recognised from its base name: the last extension goes first, so a
// second one is what RecogniseArea then strips.
TEST(GeoChartAreaOfFile, BaseNameThenRecognition) {
    const struct {
        const char* path;
        const char* base;
        int area;
    } cases[] = {
        {"/charts/area-ne01.gif", "AREA-NE01", 1},
        {"relative/2026-12-01-12fl14.GIF", "2026-12-01-12FL14", 30},
        {"/charts/fl01", "FL01", 17},
        {"/charts/x.jpg.gif", "X.JPG", 31},
        {"/charts/x.jpg", "X", 0}, // the ".jpg" rule sees no extension left
        {"/charts/area-fl01.gif.bmp", "AREA-FL01.GIF", 17},
        {"/charts/chart.gif", "CHART", 0},
        {"/charts/fl01.d/chart.gif", "CHART", 0},
        {"", "", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(geo::chartBaseName(QString::fromLatin1(c.path)), QLatin1String(c.base)) << c.path;
        EXPECT_EQ(geo::chartAreaOfFile(QString::fromLatin1(c.path)), c.area) << c.path;
    }
}

TEST(GeoMercator, ValuesAndFallbacks) {
    EXPECT_FLOAT_EQ(MercatorY(45.0f), 50.49899f);
    EXPECT_FLOAT_EQ(MercatorY(-45.0f), -50.49899f);
    EXPECT_EQ(InverseMercatorY(MercatorY(45.0f)), 45.0f);
    EXPECT_EQ(InverseMercatorY(MercatorY(-45.0f)), -45.0f);
    EXPECT_EQ(MercatorY(0.0f), 0.0f);
    EXPECT_EQ(InverseMercatorY(0.0f), 0.0f);
    // Beyond a pole the tangent is negative: the logarithm fails and the latitude comes back.
    EXPECT_EQ(MercatorY(100.0f), 100.0f);
    EXPECT_EQ(MercatorY(-100.0f), -100.0f);
    // The exponential overflows: the ordinate comes back.
    EXPECT_EQ(InverseMercatorY(1.0e6f), 1.0e6f);
    EXPECT_EQ(InverseMercatorY(-1.0e6f), -1.0e6f);
    EXPECT_TRUE(std::isnan(MercatorY(std::numeric_limits<float>::quiet_NaN())));
    for (float lat = -80.0f; lat <= 80.0f; lat += 0.5f)
        EXPECT_NEAR(InverseMercatorY(MercatorY(lat)), lat, 2e-5) << lat;
}

TEST(GeoMapping, ReferenceRowsAndColumnsOfEveryArea) {
    for (int i = geo::FirstCalibratedArea; i <= geo::LastCalibratedArea; ++i) {
        const ChartArea& a = geo::areaAt(i);
        const geo::Calibration cal = geo::Calibration::forArea(i);
        ASSERT_TRUE(cal.Valid);
        int x = -1, y = -1;
        ASSERT_TRUE(GeoToPixel(cal, a.Lat1, -a.LonWest1, x, y));
        EXPECT_EQ(x, a.Col1) << a.Code;
        EXPECT_EQ(y, a.Row1) << a.Code;
        ASSERT_TRUE(GeoToPixel(cal, a.Lat2, -a.LonWest2, x, y));
        EXPECT_EQ(x, a.Col2) << a.Code;
        EXPECT_EQ(y, a.Row2) << a.Code;
    }
}

TEST(GeoMapping, AreaOneReferencePoint) {
    const geo::Calibration cal = geo::Calibration::forArea(1);
    EXPECT_EQ(cal.MercY1, MercatorY(43.0f));
    EXPECT_EQ(cal.MercY2, MercatorY(41.5f));
    int x = 0, y = 0;
    ASSERT_TRUE(GeoToPixel(cal, 42.0f, -70.0f, x, y));
    EXPECT_EQ(x, 378); // 377.5: the half goes to the even neighbour
    EXPECT_EQ(y, 654);
    float lat = 0, lon = 0;
    ASSERT_TRUE(PixelToGeo(cal, 378, 654, lat, lon));
    EXPECT_NEAR(lat, 41.99976, 1e-5);
    EXPECT_NEAR(lon, -69.99860, 1e-5);
    GeoPosition p;
    ASSERT_TRUE(PixelToGeo(cal, 21, 174, p));
    EXPECT_FLOAT_EQ(p.Latitude, 43.0f);
    EXPECT_FLOAT_EQ(p.Longitude, -71.0f);
}

TEST(GeoMapping, PixelsSurviveTheRoundTrip) {
    for (int area : {1, 10, 17, 30}) {
        const geo::Calibration cal = geo::Calibration::forArea(area);
        for (int py = 0; py < 1024; py += 37)
            for (int px = 0; px < 1024; px += 41) {
                float lat = 0, lon = 0;
                ASSERT_TRUE(PixelToGeo(cal, px, py, lat, lon));
                int x = -1, y = -1;
                ASSERT_TRUE(GeoToPixel(cal, lat, lon, x, y));
                EXPECT_EQ(x, px) << area << " " << px << "," << py;
                EXPECT_EQ(y, py) << area << " " << px << "," << py;
            }
    }
}

TEST(GeoMapping, NoAreaMapsNothing) {
    for (int area : {0, 31, -1, 32}) {
        const geo::Calibration cal = geo::Calibration::forArea(area);
        EXPECT_FALSE(cal.Valid) << area;
        int x = 7, y = 8;
        EXPECT_FALSE(GeoToPixel(cal, 42.0f, -70.0f, x, y));
        EXPECT_EQ(x, 7);
        EXPECT_EQ(y, 8);
        float lat = 1, lon = 2;
        EXPECT_FALSE(PixelToGeo(cal, 100, 100, lat, lon));
        EXPECT_EQ(lat, 1.0f);
        EXPECT_EQ(lon, 2.0f);
    }
}

TEST(GeoMapping, PixelsBeyondIntegersAreRefused) {
    const geo::Calibration cal = geo::Calibration::forArea(1);
    int x = 7, y = 8;
    EXPECT_FALSE(GeoToPixel(cal, 42.0f, -1.0e30f, x, y));
    EXPECT_FALSE(GeoToPixel(cal, 42.0f, std::numeric_limits<float>::infinity(), x, y));
    EXPECT_FALSE(GeoToPixel(cal, std::numeric_limits<float>::quiet_NaN(), -70.0f, x, y));
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 8);
}

TEST(GeoRangeAndBearing, Table) {
    const struct {
        float lon1, lat1, lon2, lat2;
        double km, kmTolerance;
        float bearing;
    } cases[] = {
        {-70, 41, -70, 42, 111.3195, 0.001, 0.0f},   // one degree north
        {-70, 42, -70, 41, 111.3195, 0.001, 180.0f}, // one degree south
        {-70, 42, -70, 42, 0.0, 0.0, 0.0f},          // the same point
        {0, 0, 1, 0, 111.3195, 0.001, 90.0f},        // east along the equator
        {0, 0, -1, 0, 111.3195, 0.001, 270.0f},      // west along the equator
        {10, 90, 10, 80, 1113.195, 0.01, 180.0f},    // from the north pole
        {10, -90, 10, -80, 1113.195, 0.01, 0.0f},    // from the south pole
    };
    for (const auto& c : cases) {
        float km = -1, bearing = -1;
        ASSERT_TRUE(RangeAndBearing(c.lon1, c.lat1, c.lon2, c.lat2, km, bearing));
        EXPECT_NEAR(km, c.km, c.kmTolerance) << c.lat1 << " " << c.lon2;
        EXPECT_NEAR(bearing, c.bearing, 1e-4) << c.lat1 << " " << c.lon2;
        EXPECT_GE(bearing, 0.0f);
        EXPECT_LT(bearing, 360.0f);
    }
}

TEST(GeoRangeAndBearing, LatitudeCorrectionAppliesToTheBearingOnly) {
    float km = 0, bearing = 0;
    ASSERT_TRUE(RangeAndBearing(-70.0f, 41.0f, -69.0f, 42.0f, km, bearing));
    // On the sphere alone the initial bearing would be 36.501 degrees; the geodetic latitudes
    // turn it to 36.397. The distance stays the spherical one.
    EXPECT_NEAR(bearing, 36.397, 0.001);
    EXPECT_NEAR(km, 139.077, 0.001);
}

TEST(GeoRangeAndBearing, FaultsReportFailureAndLeaveOutputs) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float cases[][4] = {
        {nan, 0, 0, 0},
        {0, nan, 0, 0},
        {0, 0, inf, 0},
        {0, 0, 0, -inf},
    };
    for (const auto& c : cases) {
        float km = 5, bearing = 6;
        EXPECT_FALSE(RangeAndBearing(c[0], c[1], c[2], c[3], km, bearing));
        EXPECT_EQ(km, 5.0f);
        EXPECT_EQ(bearing, 6.0f);
    }
}

} // namespace
