// The built-in coastlines of the 30 areas: land where the real coast has it, and the rules that
// turn rings into a chart's land mask and coastline.

#include "geo/Coastline.h"
#include "geo/vekMapping.h"

#include <gtest/gtest.h>

namespace {

TEST(Coastline, EveryAreaHasItsLandWhereTheCoastIs) {
    // Areas wholly at sea have no ring; every other calibrated area has some.
    for (int area = geo::FirstCalibratedArea; area <= geo::LastCalibratedArea; ++area) {
        const QString code = geo::areaCode(area);
        const bool atSea = code == "ne02" || code == "ne03" || code == "ne07";
        EXPECT_EQ(geo::coastRings(area).isEmpty(), atSea) << code.toStdString();
    }
    const struct {
        const char* area;
        float lat, lon;
        bool land;
        const char* place;
    } places[] = {
        {"ne01", 42.05f, -70.19f, true, "Provincetown, Cape Cod's tip"},
        {"ne01", 41.85f, -70.30f, false, "Cape Cod Bay"},
        {"ne01", 41.28f, -70.10f, true, "Nantucket"},
        {"ma02", 35.26f, -75.54f, true, "Cape Hatteras"},
        {"ma02", 35.30f, -75.90f, false, "Pamlico Sound"},
        {"fl08", 24.555f, -81.78f, true, "Key West"},
        {"fl08", 23.11f, -82.37f, true, "Havana"},
        {"fl08", 24.00f, -81.50f, false, "Straits of Florida"},
        {"fl10", 26.64f, -81.87f, true, "Fort Myers"},
        {"fl14", 30.42f, -87.21f, true, "Pensacola"},
        {"fl14", 30.45f, -86.30f, false, "Choctawhatchee Bay"},
    };
    for (const auto& p : places) {
        const int area = RecogniseArea(p.area);
        const std::vector<std::uint8_t> land = geo::landMask(area, 1024, 1024);
        ASSERT_EQ(land.size(), 1024u * 1024u) << p.area;
        int x = -1, y = -1;
        ASSERT_TRUE(GeoToPixel(geo::Calibration::forArea(area), p.lat, p.lon, x, y));
        ASSERT_TRUE(x >= 0 && x < 1024 && y >= 0 && y < 1024) << p.place;
        EXPECT_EQ(land[size_t(y) * 1024 + x] == 1, p.land) << p.place;
    }
    EXPECT_TRUE(geo::landMask(geo::NoArea, 1024, 1024).empty());
    EXPECT_TRUE(geo::landMask(geo::ExtraArea, 1024, 1024).empty());
}

TEST(Coastline, RingsFillByPixelCentreEvenOdd) {
    // A diamond with vertices on rows 0, 3 and 6: each row through a vertex counts it once.
    const QList<QPolygonF> diamond = {QPolygonF({{3, 0}, {6, 3}, {3, 6}, {0, 3}})};
    const std::vector<std::uint8_t> d = geo::landMask(diamond, 8, 7);
    const int expectedPerRow[] = {0, 2, 4, 6, 4, 2, 0};
    for (int y = 0; y < 7; ++y) {
        int n = 0;
        for (int x = 0; x < 8; ++x)
            n += d[size_t(y) * 8 + x];
        EXPECT_EQ(n, expectedPerRow[y]) << "row " << y;
    }
    // A square from 1.5 to 4.5 holds the centres 2, 3 and 4; the ring inside it is a lake.
    const QList<QPolygonF> island = {QPolygonF({{1.5, 1.5}, {4.5, 1.5}, {4.5, 4.5}, {1.5, 4.5}}),
                                     QPolygonF({{2.5, 2.5}, {3.5, 2.5}, {3.5, 3.5}, {2.5, 3.5}})};
    const std::vector<std::uint8_t> m = geo::landMask(island, 6, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool inSquare = x >= 2 && x <= 4 && y >= 2 && y <= 4;
            EXPECT_EQ(m[size_t(y) * 6 + x] == 1, inSquare && !(x == 3 && y == 3)) << x << "," << y;
        }
    EXPECT_TRUE(geo::landMask(island, 0, 6).empty());
    EXPECT_TRUE(geo::landMask(island, 6, 16385).empty());

    // The drawn coast: sea pixels beside land, not across a corner.
    const std::vector<std::uint8_t> coast = geo::coastPixels({0, 0, 0, 0, 1, 0, 0, 0, 0}, 3, 3);
    EXPECT_EQ(coast, (std::vector<std::uint8_t>{0, 1, 0, 1, 0, 1, 0, 1, 0}));
    EXPECT_TRUE(geo::coastPixels({0, 1}, 3, 3).empty());
}

TEST(Coastline, ReadsRingTextsAndRefusesBrokenOnes) {
    const std::optional<QList<geo::CoastRing>> rings =
        geo::parseCoastRings("# land\n>\n-70.5 41.25\n-70.0 41.5\n-70.25 42\n\n>\n-69 40\r\n");
    ASSERT_TRUE(rings);
    ASSERT_EQ(rings->size(), 2);
    EXPECT_EQ(rings->at(0), (geo::CoastRing{{-70.5, 41.25}, {-70.0, 41.5}, {-70.25, 42}}));
    EXPECT_EQ(rings->at(1), (geo::CoastRing{{-69, 40}}));
    for (const char* broken : {"-70 41\n", ">\n-70 north\n", ">\n-70 41 3\n", ">\n-70 nan\n"})
        EXPECT_FALSE(geo::parseCoastRings(broken)) << broken;

}

} // namespace
