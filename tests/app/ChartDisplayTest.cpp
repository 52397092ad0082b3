#include "app/ChartDisplay.h"

#include <QGuiApplication>
#include <QPainter>
#include <gtest/gtest.h>

using namespace display;

namespace {

QImage whiteChart(int w = 200, int h = 200) {
    QImage img(w, h, QImage::Format_RGB888);
    img.fill(Qt::white);
    return img;
}

bool isBlack(const QImage& img, int x, int y) {
    return img.pixel(x, y) == qRgb(0, 0, 0);
}

int countNonWhite(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixel(x, y) != qRgb(255, 255, 255);
    return n;
}

// A marker icon with a single dark pixel at its tip, so markers are easy to find.
QImage tipIcon() {
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    icon.setPixel(10, 27, qRgb(255, 0, 0));
    return icon;
}

} // namespace

TEST(PackedPoint, RoundTripsTheWholeRangeAndSignedStorage) {
    const struct {
        int x, y;
    } cases[] = {{0, 0}, {1, 0}, {0, 1}, {1023, 1023}, {32767, 5}, {32768, 5}, {65535, 65535}};
    for (const auto& c : cases) {
        int x = -1, y = -1;
        const std::uint32_t packed = PackPoint(c.x, c.y);
        EXPECT_EQ(packed, std::uint32_t(c.x) * 65536u + std::uint32_t(c.y));
        UnpackPoint(packed, x, y);
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
        // Stored as a signed 32-bit number, x >= 32768 comes back negative; it must still unpack.
        UnpackPoint(std::uint32_t(std::int32_t(packed)), x, y);
        EXPECT_EQ(x, c.x);
    }
}

TEST(ParseWaypoint, ReadsTheStoredFormAndRejectsIncompleteEntries) {
    const struct {
        const char* text;
        bool ok;
        float lat, lon, temp;
    } cases[] = {
        {"Lat=41.50,Lon=-70.25,Tf=65.3", true, 41.5f, -70.25f, 65.3f},
        {"lat=41.50,LON=-70.25,tf=0.0", true, 41.5f, -70.25f, 0.0f},
        {"Tf=65.3 Lat=41.50 Lon=-70.25", true, 41.5f, -70.25f, 65.3f},
        {"\"Lat=41.50\",\"Lon=-70.25\",\"Tf=65.3\"", true, 41.5f, -70.25f, 65.3f},
        {"Lat=41.50,Lon=-70.25", false, 0, 0, 0},
        {"Lat=41.50,Lon=west,Tf=65.3", false, 0, 0, 0},
        {"Lat = 41.50,Lon=-70.25,Tf=65.3", false, 0, 0, 0},
        {"", false, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto wp = ParseWaypoint(QString::fromUtf8(c.text));
        ASSERT_EQ(wp.has_value(), c.ok);
        if (!c.ok) continue;
        EXPECT_FLOAT_EQ(wp->lat, c.lat);
        EXPECT_FLOAT_EQ(wp->lon, c.lon);
        EXPECT_FLOAT_EQ(wp->tempF, c.temp);
    }
}

TEST(RepaintChart, TextCornerTruncatesHalvesTowardZero) {
    int left = 0, top = 0;
    TextCorner(100, 100, 40, 13, left, top);
    EXPECT_EQ(left, 80);
    EXPECT_EQ(top, 94);
    TextCorner(0, 0, 41, 13, left, top);
    EXPECT_EQ(left, -20);
    EXPECT_EQ(top, -6);
}

TEST(RepaintChart, DrawsLinesAndSkipsTheRestOfAnUnreadableEntry) {
    AnnotationList lines;
    // (10,20) -> (100,20) -> unreadable -> (100,150): only the first segment is drawn.
    lines.append(
        {QString::number(PackPoint(100, 20)) + ",x," + QString::number(PackPoint(100, 150)),
         PackPoint(10, 20)});
    // The next entry is still drawn.
    lines.append({QString::number(PackPoint(150, 180)), PackPoint(150, 100)});
    Overlays o;
    o.lines = &lines;
    const QImage out = RepaintChart(whiteChart(), o);
    ASSERT_EQ(out.size(), QSize(200, 200));
    EXPECT_TRUE(isBlack(out, 50, 20));
    EXPECT_TRUE(isBlack(out, 50, 21)); // three pixels wide
    EXPECT_FALSE(isBlack(out, 100, 100));
    EXPECT_TRUE(isBlack(out, 150, 140));
}

TEST(RepaintChart, MarkersNeedAnAreaAndANonZeroPosition) {
    const QStringList waypoints{"Lat=41.00,Lon=-70.00,Tf=60.0"};
    Overlays o;
    o.waypoints = &waypoints;
    o.markerIcon = tipIcon();
    o.homeLat = 41.0;
    o.homeLon = -70.5;
    // No current area: neither home nor waypoints are drawn.
    EXPECT_EQ(countNonWhite(RepaintChart(whiteChart(), o)), 0);

    o.geoToPixel = [](float lat, float lon, int& x, int& y) {
        x = int(100 + (lon + 70) * 100);
        y = int(100 - (lat - 41) * 100);
        return true;
    };
    const QImage both = RepaintChart(whiteChart(), o);
    EXPECT_EQ(both.pixel(100, 100), qRgb(255, 0, 0)); // waypoint tip on its position
    EXPECT_EQ(both.pixel(50, 100), qRgb(255, 0, 0));  // home tip

    o.homeLat = 0; // latitude 0 means no home
    const QImage noHome = RepaintChart(whiteChart(), o);
    EXPECT_EQ(noHome.pixel(100, 100), qRgb(255, 0, 0));
    EXPECT_NE(noHome.pixel(50, 100), qRgb(255, 0, 0));
}

TEST(RepaintChart, UnreadableWaypointKeepsTheNumberingOfTheOthers) {
    const auto toPixel = [](float lat, float lon, int& x, int& y) {
        x = int(lon);
        y = int(lat);
        return true;
    };
    const QStringList waypoints{"Lat=60.00,Lon=40.00,Tf=1.0", "garbage",
                                "Lat=150.00,Lon=140.00,Tf=1.0"};
    Overlays o;
    o.waypoints = &waypoints;
    o.geoToPixel = toPixel;
    o.markerIcon = tipIcon();
    const QImage composed = RepaintChart(whiteChart(), o);

    QImage expected = whiteChart().convertToFormat(QImage::Format_RGB32);
    expected.setDotsPerMeterX(3780);
    expected.setDotsPerMeterY(3780);
    {
        QPainter p(&expected);
        p.setFont(o.font);
        DrawMarker(p, o, 1, 60, 40);
        DrawMarker(p, o, 3, 150, 140);
    }
    EXPECT_EQ(composed, expected);
}

TEST(RepaintChart, OutlinedTextGetsADarkOutline) {
    AnnotationList texts{{"WWWW", PackPoint(100, 100)}};
    Overlays o;
    o.texts = &texts;
    o.font = QFont("DejaVu Sans", 12);
    o.fontColour = Qt::white; // invisible on white without the outline
    EXPECT_EQ(countNonWhite(RepaintChart(whiteChart(), o)), 0);
    o.outlined = true;
    const QImage out = RepaintChart(whiteChart(), o);
    EXPECT_GT(countNonWhite(out), 20);
    // The outline stays within one pixel of the text's box around its centre.
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            if (out.pixel(x, y) != qRgb(255, 255, 255)) {
                EXPECT_LT(std::abs(x - 100), 40);
                EXPECT_LT(std::abs(y - 100), 14);
            }
}

TEST(Zoom, DoublesPixelExactlyAndHalvesMousePositions) {
    QImage chart = whiteChart(150, 120);
    chart.setPixel(100, 100, qRgb(10, 20, 30));
    const QImage zoomed = ZoomDouble(chart);
    ASSERT_EQ(zoomed.size(), QSize(300, 240));
    for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx)
            EXPECT_EQ(zoomed.pixel(200 + dx, 200 + dy), qRgb(10, 20, 30));
    EXPECT_EQ(zoomed.pixel(202, 200), qRgb(255, 255, 255));
    EXPECT_EQ(zoomed.pixel(199, 199), qRgb(255, 255, 255));
    int x = 0, y = 0;
    MouseToChartPixel(201, 201, true, x, y);
    EXPECT_EQ(QPoint(x, y), QPoint(100, 100));
    MouseToChartPixel(201, 201, false, x, y);
    EXPECT_EQ(QPoint(x, y), QPoint(201, 201));
}

TEST(Zoom, WheelForwardZoomsInBackwardOutSidewaysKeeps) {
    const struct {
        int delta;
        bool zoomed;
        bool after;
    } cases[] = {
        {120, false, true},   {120, true, true}, {1, false, true},  {-120, true, false},
        {-120, false, false}, {-1, true, false}, {0, false, false}, {0, true, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zoomAfterWheel(c.delta, c.zoomed), c.after) << c.delta << ' ' << c.zoomed;
}

int main(int argc, char** argv) {
    // Listing or running the cases needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
