// The sample week of area ne01 shows one real coast on every day while the water moves.

#include "geo/AreaStuff.h"
#include "geo/vekMapping.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

namespace {

constexpr QRgb Land = qRgb(100, 100, 100);
constexpr QRgb Cloud = qRgb(255, 255, 255);

TEST(SampleWeek, TheLandStaysWhereTheCoastIsAndTheWaterMoves) {
    const QDir dir(QStringLiteral(THALWISE_SOURCE_DIR "/resources/samples/archive"));
    const QStringList names = dir.entryList({"*ne01.gif"}, QDir::Files, QDir::Name);
    ASSERT_GE(names.size(), 2);
    const QImage first = QImage(dir.filePath(names.first())).convertToFormat(QImage::Format_RGB32);
    const QImage last = QImage(dir.filePath(names.last())).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(first.size(), QSize(1024, 1024));
    ASSERT_EQ(last.size(), first.size());

    // Land is land on both days wherever no cloud hides it; the water differs in many places.
    int land = 0, moved = 0, landChanged = 0;
    for (int y = 0; y < first.height(); ++y)
        for (int x = 0; x < first.width(); ++x) {
            const QRgb a = first.pixel(x, y), b = last.pixel(x, y);
            if (a == Cloud || b == Cloud) continue;
            land += a == Land;
            landChanged += (a == Land) != (b == Land);
            moved += a != Land && a != b;
        }
    EXPECT_EQ(landChanged, 0);
    EXPECT_GT(land, 1024 * 1024 / 20);
    EXPECT_GT(moved, 1024 * 1024 / 4);

    // The land lies where the coast is: Plymouth on the mainland, Provincetown at Cape Cod's
    // tip, open sea off Cape Ann and in Massachusetts Bay.
    const geo::Calibration ne01 = geo::Calibration::forArea(RecogniseArea("ne01"));
    const struct {
        float lat, lon;
        bool land;
    } places[] = {{41.95f, -70.75f, true},
                  {42.05f, -70.19f, true},
                  {42.60f, -69.50f, false},
                  {42.20f, -70.50f, false}};
    for (const auto& p : places) {
        int x = 0, y = 0;
        ASSERT_TRUE(GeoToPixel(ne01, p.lat, p.lon, x, y));
        const bool isLand = first.pixel(x, y) == Land || last.pixel(x, y) == Land;
        EXPECT_EQ(isLand, p.land) << p.lat << "," << p.lon;
    }
}

} // namespace
