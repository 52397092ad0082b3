#include "app/ChartDisplay.h"

#include <QGuiApplication>
#include <QPainter>
#include <gtest/gtest.h>

#include <utility>

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
    QList<AnnotationLine> lines;
    // (10,20) -> (100,20) -> unreadable -> (100,150): only the first segment is drawn.
    lines.append(geo::lineFromPacked(PackPoint(10, 20), QString::number(PackPoint(100, 20)) +
                                                            ",x," +
                                                            QString::number(PackPoint(100, 150))));
    // The next entry is still drawn.
    lines.append(geo::lineFromPacked(PackPoint(150, 100), QString::number(PackPoint(150, 180))));
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
    EXPECT_EQ(both.pixel(45, 95), qRgb(190, 0, 30));  // home's house stands on its place

    o.homeLat = 0; // latitude 0 means no home
    const QImage noHome = RepaintChart(whiteChart(), o);
    EXPECT_EQ(noHome.pixel(100, 100), qRgb(255, 0, 0));
    EXPECT_NE(noHome.pixel(45, 95), qRgb(190, 0, 30));
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
    QList<AnnotationText> texts{{"WWWW", QPoint(100, 100)}};
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

namespace {

// Pictures drawn here step by step from the layering rules, to compare RepaintChart with.
QImage pictureOf(const QImage& base) {
    QImage picture = base.convertToFormat(QImage::Format_RGB32);
    picture.setDotsPerMeterX(3780); // 96 dpi, as the annotation font is sized for
    picture.setDotsPerMeterY(3780);
    return picture;
}

// A text drawn at its top-left corner, first in outline colour at the four diagonal neighbours
// of the corner when outlined.
void drawOutlined(QPainter& p, const QString& text, QPoint corner, bool outlined, QColor outline,
                  QColor colour) {
    const int ascent = p.fontMetrics().ascent();
    if (outlined) {
        p.setPen(outline);
        for (const QPoint d : {QPoint(-1, -1), QPoint(-1, 1), QPoint(1, -1), QPoint(1, 1)})
            p.drawText(corner + d + QPoint(0, ascent), text);
    }
    p.setPen(colour);
    p.drawText(corner + QPoint(0, ascent), text);
}

// A marker by the rule: the icon with its tip (10, 27) on the position, the label to the left
// with its lower edge 2 below the position, outlined in white.
void drawMarkerByRule(QPainter& p, const QImage& icon, QPoint at, const QString& label,
                      QColor colour) {
    p.drawImage(at - QPoint(10, 27), icon);
    const QFontMetrics m = p.fontMetrics();
    drawOutlined(p, label, at + QPoint(-m.horizontalAdvance(label) - 2, -m.height() + 2), true,
                 Qt::white, colour);
}

// Crisp text: every drawn pixel is the pen's colour, so outlines and labels can be told apart.
QFont crispFont(int points) {
    QFont font("DejaVu Sans", points);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// Positions at whole degrees: (lat, lon) -> (100 + 10 (lon + 70), 100 - 10 (lat - 41)).
bool tenPerDegree(float lat, float lon, int& x, int& y) {
    x = int(100 + (lon + 70) * 10);
    y = int(100 - (lat - 41) * 10);
    return true;
}

} // namespace

TEST(RepaintChart, OutlineLiesOnTheFourDiagonalsOnly) {
    const QRgb red = qRgb(255, 0, 0), black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
    QList<AnnotationText> texts{{"Wkl|", QPoint(100, 100)}};
    Overlays o;
    o.texts = &texts;
    o.font = crispFont(14);
    o.fontColour = QColor(red);
    const QImage plain = RepaintChart(whiteChart(), o);
    o.outlined = true;
    const QImage outlined = RepaintChart(whiteChart(), o);

    // Black exactly where a diagonal neighbour of a glyph pixel is not itself a glyph pixel.
    int outlinePixels = 0;
    for (int y = 1; y < 199; ++y)
        for (int x = 1; x < 199; ++x) {
            const bool glyph = plain.pixel(x, y) == red;
            bool nearGlyph = false;
            for (const QPoint d : {QPoint(-1, -1), QPoint(-1, 1), QPoint(1, -1), QPoint(1, 1)})
                nearGlyph = nearGlyph || plain.pixel(x + d.x(), y + d.y()) == red;
            const QRgb want = glyph ? red : nearGlyph ? black : white;
            EXPECT_EQ(outlined.pixel(x, y), want) << x << ',' << y;
            outlinePixels += want == black;
        }
    EXPECT_GT(outlinePixels, 20);

    // The text's box is centred on its point: corner (x - w/2, y - h/2).
    QImage expected = pictureOf(whiteChart());
    {
        QPainter p(&expected);
        p.setFont(o.font);
        const QFontMetrics m = p.fontMetrics();
        const QPoint corner(100 - m.horizontalAdvance("Wkl|") / 2, 100 - m.height() / 2);
        drawOutlined(p, "Wkl|", corner, true, Qt::black, QColor(red));
    }
    EXPECT_EQ(outlined, expected);
}

TEST(RepaintChart, MarkerLabelsSitLeftOfThePositionOutlinedInWhite) {
    const QRgb yellow = qRgb(255, 255, 0), white = qRgb(255, 255, 255);
    QImage navy(200, 200, QImage::Format_RGB888);
    navy.fill(QColor(0, 0, 128));
    const QStringList waypoints{"unreadable", "Lat=42.00,Lon=-67.00,Tf=61.0"};
    Overlays o;
    o.font = crispFont(10);
    o.fontColour = QColor(yellow);
    // Home is a house of its own (MarkersNeedAnAreaAndANonZeroPosition); a waypoint's label here.
    o.waypoints = &waypoints; // the second, "2", at (130, 90)
    o.geoToPixel = tenPerDegree;
    o.markerIcon = tipIcon();
    const QImage out = RepaintChart(navy, o);

    QImage expected = pictureOf(navy);
    {
        QPainter p(&expected);
        p.setFont(o.font);
        drawMarkerByRule(p, o.markerIcon, QPoint(130, 90), "2", QColor(yellow));
    }
    EXPECT_EQ(out, expected);

    // Every label pixel in the font colour inside [x - w - 2, x - 2) x [y - h + 2, y + 2) of
    // its marker, every white one within one pixel of that box.
    const QFontMetrics m(o.font, &expected);
    QList<QRect> boxes;
    for (const auto& [label, at] : {std::pair{QString("2"), QPoint(130, 90)}}) {
        const int w = m.horizontalAdvance(label), h = m.height();
        boxes << QRect(at.x() - w - 2, at.y() - h + 2, w, h);
    }
    int seen[1][2] = {};
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            const QRgb c = out.pixel(x, y);
            if (c != yellow && c != white) continue;
            bool inside = false;
            for (int k = 0; k < 1; ++k) {
                const QRect box = c == yellow ? boxes[k] : boxes[k].adjusted(-1, -1, 1, 1);
                if (box.contains(x, y)) {
                    ++seen[k][c == white];
                    inside = true;
                }
            }
            EXPECT_TRUE(inside) << x << ',' << y;
        }
    for (int k = 0; k < 1; ++k) {
        EXPECT_GT(seen[k][0], 0) << k;
        EXPECT_GT(seen[k][1], 0) << k;
    }
}

TEST(RepaintChart, LayersAreChartLinesTextsHomeThenWaypoints) {
    // Each layer overlaps the one before it: a line through a text, the first waypoint's block
    // over the text's end, and over home's house.
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    for (int y = 2; y < 32; ++y)
        for (int x = 0; x < 20; ++x)
            icon.setPixel(x, y, x < 2 || y < 4 ? qRgb(0, 160, 0) : qRgb(0, 0, 255));
    QList<AnnotationLine> lines{{{QPoint(20, 100), QPoint(180, 100)}}};
    QList<AnnotationText> texts{{"MMMMMM", QPoint(100, 100)}};
    const QStringList waypoints{"Lat=41.00,Lon=-68.00,Tf=61.0"}; // (120, 100)
    Overlays o;
    o.lines = &lines;
    o.texts = &texts;
    o.font = crispFont(16);
    o.fontColour = Qt::red;
    o.outlined = true;
    o.waypoints = &waypoints;
    o.geoToPixel = tenPerDegree;
    o.markerIcon = icon;
    const QImage out = RepaintChart(whiteChart(), o);

    QImage expected = pictureOf(whiteChart());
    {
        QPainter p(&expected);
        p.setFont(o.font);
        p.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(20, 100, 180, 100);
        const QFontMetrics m = p.fontMetrics();
        drawOutlined(p, "MMMMMM",
                     QPoint(100 - m.horizontalAdvance("MMMMMM") / 2, 100 - m.height() / 2), true,
                     Qt::black, Qt::red);
        drawMarkerByRule(p, icon, QPoint(120, 100), "1", Qt::red);
    }
    EXPECT_EQ(out, expected);
    // Home's house at (110, 100) beside the waypoint's block, which stays whole over it.
    o.homeLat = 41.0;
    o.homeLon = -69.0;
    const QImage withHome = RepaintChart(whiteChart(), o);
    EXPECT_EQ(withHome.pixel(104, 95), qRgb(190, 0, 30));
    EXPECT_EQ(withHome.pixel(125, 95), qRgb(0, 0, 255));
}

int main(int argc, char** argv) {
    // Listing or running the cases needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
