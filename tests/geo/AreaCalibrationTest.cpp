// The calibration of every chart area, written out on its own: the two reference points of each
// area and one position inside it with its chart pixel (worked out by hand from the Mercator rule,
// not from the table in the code), and the rounding of exact halves.
#include "geo/AreaStuff.h"
#include "geo/vekMapping.h"

#include <gtest/gtest.h>

#include <iterator>

namespace {

struct AreaPins {
    int area;
    float lat1;
    int row1;
    float lat2;
    int row2;
    float lonWest1;
    int col1;
    float lonWest2;
    int col2;
    float lat, lon; // a position inside the chart
    int x, y;       // its chart pixel
};

// The exact value of each inside pixel in its comment: none lies within 0.1 of a half.
constexpr AreaPins Areas[] = {
    {1, 43, 174, 41.5f, 891, 71, 21, 69, 734, 41.92f, -69.85f, 431, 692},         // 430.98 691.95
    {2, 43, 174, 41.5f, 891, 69.5f, 119, 68, 654, 41.92f, -68.60f, 440, 692},     // 440.00 691.95
    {3, 41, 227, 39.5f, 920, 69.5f, 119, 68, 654, 39.98f, -68.60f, 440, 700},     // 440.00 699.90
    {4, 41, 227, 39.5f, 920, 71.5f, 140, 70, 673, 39.98f, -70.56f, 474, 700},     // 474.01 699.90
    {5, 41, 227, 39.5f, 920, 72.5f, 130, 71, 663, 39.98f, -71.56f, 464, 700},     // 464.01 699.90
    {6, 40.5f, 182, 39.5f, 642, 74.5f, 97, 72, 989, 39.76f, -72.95f, 650, 523},   // 650.04 523.05
    {7, 40, 97, 38.5f, 781, 72.5f, 364, 71.5f, 720, 38.90f, -71.84f, 599, 600},   // 598.96 600.02
    {8, 39.5f, 147, 38.5f, 602, 75, 55, 72.5f, 947, 38.84f, -73.45f, 608, 448},   // 608.04 448.02
    {9, 39, 28, 37.5f, 702, 75.5f, 37, 73, 929, 37.89f, -73.95f, 590, 528},       // 590.04 528.09
    {10, 38, 8, 36.5f, 674, 76, 10, 73.5f, 902, 36.94f, -74.45f, 563, 480},       // 563.04 480.01
    {11, 36.5f, 119, 35, 770, 76, 104, 73.5f, 996, 35.45f, -74.45f, 657, 576},    // 657.04 575.98
    {12, 35.5f, 9, 34, 655, 76.5f, 27, 74, 918, 34.43f, -74.94f, 583, 471},       // 582.98 471.01
    {13, 34, 343, 33.5f, 556, 78, 38, 75.5f, 928, 33.62f, -76.50f, 572, 505},     // 572.00 504.99
    {14, 34, 51, 32.5f, 684, 79, 162, 77, 877, 33.01f, -77.80f, 591, 470},        // 591.00 470.00
    {15, 33, 140, 31.5f, 766, 80.5f, 174, 79, 707, 31.97f, -79.56f, 508, 571},    // 508.01 570.96
    {16, 32, 101, 30.5f, 721, 81.5f, 38, 79, 928, 30.95f, -80.00f, 572, 536},     // 572.00 536.03
    {17, 31, 99, 29.5f, 714, 81.5f, 11, 79.5f, 725, 29.89f, -80.36f, 418, 555},   // 417.98 555.00
    {18, 29.5f, 42, 27.5f, 846, 81, 77, 79.5f, 612, 28.16f, -80.05f, 416, 582},   // 415.83 582.36
    {19, 27.5f, 176, 25.5f, 966, 80, 178, 78.5f, 711, 26.04f, -79.06f, 512, 754}, // 512.01 754.04
    {20, 27.5f, 176, 26, 770, 78.5f, 94, 76, 986, 26.51f, -76.95f, 647, 569},     // 647.04 568.92
    {21, 26.5f, 81, 25, 671, 78.5f, 16, 76, 908, 25.48f, -76.95f, 569, 483},      // 569.04 483.01
    {22, 25, 167, 23.5f, 747, 78, 96, 75.5f, 988, 23.90f, -76.45f, 649, 593},     // 649.04 593.00
    {23, 26, 62, 24.5f, 650, 81, 64, 79.5f, 599, 24.91f, -80.10f, 385, 490},      // 385.00 490.00
    {24, 25, 161, 23.5f, 741, 83, 6, 80.5f, 898, 23.90f, -81.45f, 559, 587},      // 559.04 587.00
    {25, 25, 395, 23.5f, 975, 84.5f, 62, 82.5f, 774, 23.97f, -83.25f, 507, 794},  // 507.00 794.00
    {26, 27, 139, 25.5f, 730, 84, 193, 82, 906, 25.89f, -82.76f, 635, 577},       // 635.06 577.07
    {27, 28.5f, 20, 27, 619, 84.5f, 125, 82, 1016, 27.39f, -82.94f, 681, 464},    // 680.98 464.05
    {28, 30, 50, 28, 858, 84.5f, 126, 83, 659, 28.66f, -83.56f, 460, 593},        // 460.01 593.08
    {29, 30, 157, 28.5f, 765, 86, 120, 84.5f, 655, 28.89f, -85.05f, 459, 608},    // 458.83 607.77
    {30, 30, 213, 28, 1021, 87.5f, 108, 86, 643, 28.66f, -86.60f, 429, 756},      // 429.00 756.08
};

TEST(GeoAreaCalibration, EveryAreaMapsItsReferencesAndAnInsidePosition) {
    static_assert(std::size(Areas) == geo::LastCalibratedArea);
    for (const AreaPins& a : Areas) {
        SCOPED_TRACE(geo::areaCode(a.area).toStdString());
        const geo::Calibration cal = geo::Calibration::forArea(a.area);
        ASSERT_TRUE(cal.Valid);
        int x = -1, y = -1;
        ASSERT_TRUE(GeoToPixel(cal, a.lat1, -a.lonWest1, x, y));
        EXPECT_EQ(x, a.col1);
        EXPECT_EQ(y, a.row1);
        ASSERT_TRUE(GeoToPixel(cal, a.lat2, -a.lonWest2, x, y));
        EXPECT_EQ(x, a.col2);
        EXPECT_EQ(y, a.row2);
        ASSERT_TRUE(GeoToPixel(cal, a.lat, a.lon, x, y));
        EXPECT_EQ(x, a.x);
        EXPECT_EQ(y, a.y);
        // And back: the reference pixels give the reference positions.
        float lat = 0, lon = 0;
        ASSERT_TRUE(PixelToGeo(cal, a.col1, a.row1, lat, lon));
        EXPECT_NEAR(lat, a.lat1, 1e-4);
        EXPECT_NEAR(lon, -a.lonWest1, 1e-4);
        ASSERT_TRUE(PixelToGeo(cal, a.col2, a.row2, lat, lon));
        EXPECT_NEAR(lat, a.lat2, 1e-4);
        EXPECT_NEAR(lon, -a.lonWest2, 1e-4);
    }
}

// Longitudes whose column comes out exactly at a half: it goes to the even neighbour, down as
// often as up (rounding halves away from zero would take every one of them up).
TEST(GeoAreaCalibration, ExactHalvesGoToTheEvenColumn) {
    const struct {
        int area;
        float lat, lon;
        int x, y;
    } cases[] = {
        {1, 43, -70.0f, 378, 174},  // 21 + 1 * 713 / 2 = 377.5
        {2, 43, -68.75f, 386, 174}, // 119 + 0.75 * 535 / 1.5 = 386.5
        {2, 43, -67.25f, 922, 174}, // 119 + 2.25 * 535 / 1.5 = 921.5
        {7, 40, -71.875f, 586, 97}, // 364 + 0.625 * 356 = 586.5
        {7, 40, -72.875f, 230, 97}, // 364 - 0.375 * 356 = 230.5
    };
    for (const auto& c : cases) {
        const geo::Calibration cal = geo::Calibration::forArea(c.area);
        int x = -1, y = -1;
        ASSERT_TRUE(GeoToPixel(cal, c.lat, c.lon, x, y));
        EXPECT_EQ(x, c.x) << c.area << ' ' << c.lon;
        EXPECT_EQ(y, c.y) << c.area << ' ' << c.lon;
    }
}

} // namespace
