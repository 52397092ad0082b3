// The magnetic model against the test values NOAA publishes with WMM2025, and its limits.

#include "geo/MagneticModel.h"

#include "geo/AreaStuff.h"

#include <QFile>
#include <QTextStream>
#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(MagneticModel, MatchesThePublishedTestValues) {
    QFile file(QStringLiteral(THALWISE_TEST_DATA_DIR "/geo/WMM2025_TestValues.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QTextStream in(&file);
    int rows = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.startsWith(u'#') || line.trimmed().isEmpty()) continue;
        const QStringList w = line.split(u' ', Qt::SkipEmptyParts);
        ASSERT_EQ(w.size(), 8) << line.toStdString();
        const double year = w[0].toDouble(), km = w[1].toDouble(), lat = w[2].toDouble(),
                     lon = w[3].toDouble();
        const std::optional<geo::MagneticField> f = geo::magneticField(lat, lon, km, year);
        ASSERT_TRUE(f) << line.toStdString();
        EXPECT_NEAR(f->northNt, w[4].toDouble(), 0.01) << line.toStdString();
        EXPECT_NEAR(f->eastNt, w[5].toDouble(), 0.01) << line.toStdString();
        EXPECT_NEAR(f->downNt, w[6].toDouble(), 0.01) << line.toStdString();
        // The table rounds D to two decimals.
        EXPECT_NEAR(*geo::magneticDeclination(lat, lon, km, year), w[7].toDouble(), 0.01)
            << line.toStdString();
        ++rows;
    }
    EXPECT_EQ(rows, 99);
}

TEST(MagneticModel, NoAnswerOutsideTheModelsSpanOrAtAPoleAndAChartsVariation) {
    EXPECT_TRUE(geo::magneticDeclination(41.5, -70.0, 0.0, 2025.0));
    EXPECT_TRUE(geo::magneticDeclination(41.5, -70.0, 0.0, 2030.0));
    EXPECT_FALSE(geo::magneticDeclination(41.5, -70.0, 0.0, 2024.99));
    EXPECT_FALSE(geo::magneticDeclination(41.5, -70.0, 0.0, 2030.01));
    EXPECT_FALSE(geo::magneticDeclination(90.0, -70.0, 0.0, 2026.0));
    EXPECT_FALSE(geo::magneticDeclination(-90.5, -70.0, 0.0, 2026.0));
    EXPECT_FALSE(geo::magneticDeclination(std::nan(""), -70.0, 0.0, 2026.0));

    // A chart's variation: about 14 degrees west off Cape Cod, 6 west off south-west Florida;
    // none without a calibration or a date.
    const QDate day(2026, 12, 1);
    EXPECT_NEAR(*geo::areaVariation(RecogniseArea("ne01"), day), -14.0, 0.5);
    EXPECT_NEAR(*geo::areaVariation(RecogniseArea("fl10"), day), -6.0, 0.5);
    EXPECT_FALSE(geo::areaVariation(geo::ExtraArea, day));
    EXPECT_FALSE(geo::areaVariation(RecogniseArea("ne01"), QDate()));
}

} // namespace
