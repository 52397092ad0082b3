// Saving the picture on screen: the GIF keeps the chart's palette and indices, overlay colours
// find room in it or their nearest entry, the scale travels without the time stamp, failures
// leave nothing behind, and Save As refuses the chart itself and the archive.

#include "app/AnnotatedImage.h"
#include "support/NearestColour.h"

#include "geo/ChartMetadata.h"
#include "gif/GIFEncoder.h"
#include "gif/GIFImage.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <random>

using app::SaveAsRefusal;

namespace {

// A chart as the window holds it: encoded with our encoder and decoded again, so that its
// bitmap carries the decoder's 256-entry table (black beyond the file's own entries).
QImage decodedChart(const gif::ColourTable& table, int width, int height,
                    const std::function<int(int, int)>& indexAt,
                    const QByteArray& comment = QByteArray()) {
    gif::EncoderInput input;
    input.screenWidth = width;
    input.screenHeight = height;
    input.globalTable = table;
    if (!comment.isEmpty()) input.comments.push_back(comment);
    gif::EncoderFrame frame;
    frame.width = width;
    frame.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            frame.indices.push_back(std::uint8_t(indexAt(x, y)));
    input.frames.push_back(std::move(frame));
    TGIFImage image;
    image.LoadFromBytes(*gif::encodeGif(input));
    return image.bitmap();
}

struct ReadBack {
    QImage picture; // RGB32
    QImage indexed; // the frame's indices and table
    QStringList commentTexts;
};

ReadBack readGif(const QString& path) {
    TGIFImage image;
    image.LoadFromFile(path);
    ReadBack r;
    r.indexed = image.image(0).bitmap();
    r.picture = image.bitmap().convertToFormat(QImage::Format_RGB32);
    r.commentTexts = gif::firstFrameCommentTexts(image);
    return r;
}

class AnnotatedImage : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

// Red, green, blue and green again: a palette with a duplicate, as published charts have.
const gif::ColourTable SmallTable = {qRgb(200, 0, 0), qRgb(0, 200, 0), qRgb(0, 0, 200),
                                     qRgb(0, 200, 0)};

TEST_F(AnnotatedImage, GifKeepsTheChartsIndicesAndGivesOverlayColoursFreeEntries) {
    // Columns cycle through all four entries, so both greens are in use.
    const QImage chart = decodedChart(SmallTable, 40, 30, [](int x, int) { return x % 4; });
    QImage composed = chart.convertToFormat(QImage::Format_RGB32);
    // Overlays: a black line (black is held by the decoder's padding), a yellow and a white
    // text-like block, and a green pixel over a red one (an exact colour of the chart).
    for (int x = 0; x < 40; ++x)
        composed.setPixel(x, 5, qRgb(0, 0, 0));
    for (int y = 10; y < 14; ++y)
        for (int x = 10; x < 20; ++x)
            composed.setPixel(x, y, x < 15 ? qRgb(255, 255, 0) : qRgb(255, 255, 255));
    composed.setPixel(0, 20, qRgb(0, 200, 0));

    const QString out = path("ne01.gif");
    QString error;
    ASSERT_TRUE(app::writeAnnotatedImage(composed, chart, {}, out, &error)) << error.toStdString();
    const ReadBack r = readGif(out);

    EXPECT_EQ(r.picture, composed);
    // The chart's entries stay where they were, duplicate included.
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(r.indexed.color(i), SmallTable[i]) << i;
    // Untouched chart pixels keep their index: column 3 is the second green, not the first.
    for (int y : {0, 29})
        for (int x : {0, 1, 2, 3, 39})
            EXPECT_EQ(r.indexed.pixelIndex(x, y), x % 4) << x << ',' << y;
    // A chart colour laid over another pixel takes the first entry holding it.
    EXPECT_EQ(r.indexed.pixelIndex(0, 20), 1);
    // The overlay colours went to entries the chart does not use.
    for (const QPoint p : {QPoint(3, 5), QPoint(12, 11), QPoint(17, 11)})
        EXPECT_GE(r.indexed.pixelIndex(p), 4) << p.x() << ',' << p.y();
    EXPECT_NE(r.indexed.pixelIndex(12, 11), r.indexed.pixelIndex(17, 11));
}

TEST_F(AnnotatedImage, OverlayColoursBeyondTheFreeEntriesTakeTheNearest) {
    const QImage chart = decodedChart(SmallTable, 64, 64, [](int x, int) { return x % 4; });
    // 64 x 64 distinct colours laid over the whole chart: 252 entries are free for them.
    QImage composed(64, 64, QImage::Format_RGB32);
    std::mt19937 rng(7);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            composed.setPixel(x, y, qRgb(x * 4, y * 4, int(rng() % 256)));
    const QString out = path("many.gif");
    ASSERT_TRUE(app::writeAnnotatedImage(composed, chart, {}, out, nullptr));
    const ReadBack r = readGif(out);
    const QList<QRgb> table = r.indexed.colorTable();

    int exact = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const QRgb wanted = composed.pixel(x, y);
            const int index = r.indexed.pixelIndex(x, y);
            if (table[index] == wanted) {
                ++exact;
                continue;
            }
            ASSERT_EQ(index, nearestEntry(table, wanted)) << x << ',' << y;
        }
    }
    EXPECT_EQ(exact, 252);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(table[i], SmallTable[i]);
}

TEST_F(AnnotatedImage, AFullPaletteMapsToTheNearestEntryLowestIndexOnATie) {
    // 256 entries all in use; entries 7 and 250 are both black.
    gif::ColourTable table;
    for (int i = 0; i < 256; ++i)
        table.append(qRgb(i, (i * 37) % 256, 255 - i));
    table[7] = table[250] = qRgb(0, 0, 0);
    const QImage chart = decodedChart(table, 16, 16, [](int x, int y) { return y * 16 + x; });
    QImage composed = chart.convertToFormat(QImage::Format_RGB32);
    // Near black: 7 and 250 are equally near, the lower wins.
    composed.setPixel(3, 3, qRgb(1, 1, 1));
    std::mt19937 rng(11);
    QList<QPoint> overlaid;
    for (int k = 0; k < 40; ++k) {
        const QPoint p(int(rng() % 16), 8 + int(rng() % 7));
        composed.setPixel(p, qRgb(int(rng() % 256), int(rng() % 256), int(rng() % 256)));
        overlaid.append(p);
    }
    // The only pixel of entry 255 covered: the chart's entries are kept all the same.
    composed.setPixel(15, 15, qRgb(255, 255, 255));
    const QString out = path("full.gif");
    ASSERT_TRUE(app::writeAnnotatedImage(composed, chart, {}, out, nullptr));
    const ReadBack r = readGif(out);
    EXPECT_EQ(r.indexed.colorTable(), table);
    EXPECT_EQ(r.indexed.pixelIndex(3, 3), 7);
    EXPECT_EQ(r.indexed.pixelIndex(2, 3), 3 * 16 + 2); // untouched
    // The black at 250 is the chart's own pixel there and keeps its index.
    EXPECT_EQ(r.indexed.pixelIndex(250 % 16, 250 / 16), 250);
    for (const QPoint p : overlaid) {
        const QRgb wanted = composed.pixel(p);
        const int own = p.y() * 16 + p.x();
        const int expected = table[own] == wanted ? own : nearestEntry(table, wanted);
        EXPECT_EQ(r.indexed.pixelIndex(p), expected) << p.x() << ',' << p.y();
    }
}

TEST_F(AnnotatedImage, ATrueColourChartGivesItsColoursAsThePalette) {
    QImage chart(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            chart.setPixel(x, y, qRgb(x * 30, y * 30, 100));
    QImage composed = chart;
    composed.setPixel(4, 4, qRgb(255, 0, 255));
    const QString out = path("rgb.gif");
    ASSERT_TRUE(app::writeAnnotatedImage(composed, chart, {}, out, nullptr));
    const ReadBack r = readGif(out);
    EXPECT_EQ(r.picture, composed);
    EXPECT_EQ(r.indexed.pixelIndex(0, 0), 0); // colours in the order first met
    EXPECT_EQ(r.indexed.pixelIndex(7, 0), 7);
    EXPECT_EQ(r.indexed.pixelIndex(4, 4), 64); // the first entry after the chart's
}

TEST_F(AnnotatedImage, TheCommentCarriesTheScaleButNoTimestamp) {
    struct Row {
        const char* name;
        QStringList chartComments; // the chart's comment texts
        bool hasRange;
        int scaleMin;
        int scaleMax;
        float variation;
    };
    const std::vector<Row> rows = {
        {"keyed chart comment",
         {"TIMESTAMP=2026-12-01-12ne01\r\nTMIN=38\r\nTMAX=62\r\nVARIATION=-15.0\r\n"},
         true,
         38,
         62,
         -15.0f},
        {"keys in any case, the first of a repeated key",
         {"tmin=40\r\nTmax=71\r\nvariation=3.25\r\nTMIN=99\r\ntimestamp=x\r\n"},
         true,
         40,
         71,
         3.25f},
        {"the last comment with a range counts",
         {"TMIN=30\r\nTMAX=50\r\nVARIATION=1\r\n", "TIMESTAMP=y\r\nTMIN=45\r\nTMAX=80\r\n"
                                                   "VARIATION=-2.5\r\n"},
         true,
         45,
         80,
         -2.5f},
        {"a time stamp alone", {"200612080600\r\n"}, false, 0, 0, 0.0f},
        {"no comment", {}, false, 0, 0, 0.0f},
    };
    const QImage chart = decodedChart(SmallTable, 4, 4, [](int x, int) { return x; });
    const QImage composed = chart.convertToFormat(QImage::Format_RGB32);
    for (const Row& row : rows) {
        const QStringList lines = app::scaleMetadataLines(row.chartComments);
        const QString out = path("meta.gif");
        ASSERT_TRUE(app::writeAnnotatedImage(composed, chart, lines, out, nullptr)) << row.name;
        const ReadBack r = readGif(out);
        const geo::ChartMetadata m = geo::readChartMetadata(r.commentTexts);
        EXPECT_TRUE(m.timestamp.isEmpty()) << row.name << ": " << m.timestamp.toStdString();
        EXPECT_EQ(m.hasRange, row.hasRange) << row.name;
        EXPECT_EQ(m.scaleMin, row.scaleMin) << row.name;
        EXPECT_EQ(m.scaleMax, row.scaleMax) << row.name;
        EXPECT_EQ(m.magneticVariation, row.variation) << row.name;
        EXPECT_EQ(r.picture, composed) << row.name;
        // Marked as a saved picture; the chart it came from is not.
        EXPECT_TRUE(app::isAnnotatedPicture(r.commentTexts)) << row.name;
        EXPECT_FALSE(app::isAnnotatedPicture(row.chartComments)) << row.name;
    }
}

TEST_F(AnnotatedImage, AMarkedPictureWithoutARangeStillHasNoTimestamp) {
    const QImage chart = decodedChart(SmallTable, 4, 4, [](int x, int) { return x; });
    const QImage composed = chart.convertToFormat(QImage::Format_RGB32);
    for (const QStringList& lines :
         {QStringList{"TMIN=38"}, QStringList{"TMAX=62", "", "  "}, QStringList{}}) {
        const QString out = path("one.gif");
        ASSERT_TRUE(app::writeAnnotatedImage(composed, chart, lines, out, nullptr));
        const QStringList comments = readGif(out).commentTexts;
        const geo::ChartMetadata m = geo::readChartMetadata(comments);
        EXPECT_TRUE(m.timestamp.isEmpty()) << lines.join('|').toStdString();
        EXPECT_FALSE(m.hasRange) << lines.join('|').toStdString();
        EXPECT_TRUE(app::isAnnotatedPicture(comments)) << lines.join('|').toStdString();
    }
}

TEST_F(AnnotatedImage, PngKeepsTheComposedPictureExactly) {
    QImage composed(97, 61, QImage::Format_RGB32);
    std::mt19937 rng(3);
    for (int y = 0; y < composed.height(); ++y)
        for (int x = 0; x < composed.width(); ++x)
            composed.setPixel(x, y, rng() | 0xFF000000u);
    const QImage chart = decodedChart(SmallTable, 97, 61, [](int, int) { return 0; });
    for (const char* name : {"chart.png", "chart.PNG", "chart.Png"}) {
        const QString out = path(name);
        ASSERT_TRUE(app::writeAnnotatedImage(composed, chart, {"TMIN=1", "TMAX=2"}, out, nullptr));
        QImageReader reader(out);
        EXPECT_EQ(reader.format(), "png") << name;
        EXPECT_TRUE(reader.text("Comment").contains(app::AnnotatedPictureMark)) << name;
        EXPECT_EQ(reader.read().convertToFormat(QImage::Format_RGB32), composed) << name;
    }
}

TEST_F(AnnotatedImage, AFailedWriteLeavesNoFileAndSaysWhy) {
    const QImage chart = decodedChart(SmallTable, 4, 4, [](int x, int) { return x; });
    const QImage composed = chart.convertToFormat(QImage::Format_RGB32);
    for (const char* name : {"missing/ne01.gif", "missing/ne01.png"}) {
        const QString out = path(name);
        QString error;
        EXPECT_FALSE(app::writeAnnotatedImage(composed, chart, {}, out, &error)) << name;
        EXPECT_TRUE(error.contains(out)) << error.toStdString();
        EXPECT_FALSE(error.contains(u'\n')) << error.toStdString();
        EXPECT_FALSE(QFile::exists(out)) << name;
        EXPECT_FALSE(QDir(path("missing")).exists());
    }

    // A picture the format cannot hold (wider than 65535) leaves the old file as it was.
    const QString old = path("old.gif");
    {
        QFile f(old);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old picture");
    }
    QImage tooWide(65536, 1, QImage::Format_RGB32);
    tooWide.fill(qRgb(200, 0, 0));
    QString error;
    EXPECT_FALSE(app::writeAnnotatedImage(tooWide, chart, {}, old, &error));
    EXPECT_FALSE(error.isEmpty());
    QFile f(old);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "old picture");
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"old.gif"});
}

TEST_F(AnnotatedImage, SaveAsRefusesTheShownChartAndTheArchive) {
    const QString root = m_dir.path();
    const QString archive = root + "/My Pelagon Files/Chart Archive";
    ASSERT_TRUE(QDir().mkpath(archive + "/2026"));
    ASSERT_TRUE(QDir().mkpath(root + "/My Pelagon Files/Chart Archive 2"));
    ASSERT_TRUE(QDir().mkpath(root + "/elsewhere"));
    const QString shown = archive + "/ne01.gif";
    QFile(shown).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::link(shown, root + "/elsewhere/link.gif"));
    ASSERT_TRUE(QFile::link(archive, root + "/elsewhere/archive-link"));
    // The archive as the program names it: native separators and a trailing one.
    const QString archiveFolder = QDir::toNativeSeparators(archive) + QDir::separator();

    struct Row {
        QString target;
        QString shownChart;
        QString archiveFolder;
        SaveAsRefusal expected;
    };
    const std::vector<Row> rows = {
        {shown, shown, archiveFolder, SaveAsRefusal::IsShownChart},
        {archive + "/../Chart Archive/./ne01.gif", shown, archiveFolder,
         SaveAsRefusal::IsShownChart},
        {root + "/elsewhere/link.gif", shown, archiveFolder, SaveAsRefusal::IsShownChart},
        // The shown chart outside the archive.
        {root + "/elsewhere/link.gif", shown, QString(), SaveAsRefusal::IsShownChart},
        {archive + "/fl01.gif", shown, archiveFolder, SaveAsRefusal::InArchiveFolder},
        {archive + "/2026/fl01.gif", shown, archiveFolder, SaveAsRefusal::InArchiveFolder},
        {archive + "/new/deeper/fl01.gif", shown, archiveFolder, SaveAsRefusal::InArchiveFolder},
        {root + "/elsewhere/archive-link/fl01.gif", shown, archiveFolder,
         SaveAsRefusal::InArchiveFolder},
        {root + "/elsewhere/../My Pelagon Files/Chart Archive/fl01.gif", QString(), archive,
         SaveAsRefusal::InArchiveFolder},
        {root + "/My Pelagon Files/Chart Archive 2/fl01.gif", shown, archiveFolder,
         SaveAsRefusal::None},
        {root + "/My Pelagon Files/Chart Archive2.gif", shown, archiveFolder, SaveAsRefusal::None},
        {root + "/My Pelagon Files/ne01.gif", shown, archiveFolder, SaveAsRefusal::None},
        {root + "/elsewhere/ne01.gif", shown, archiveFolder, SaveAsRefusal::None},
#if !defined(Q_OS_WIN) && !defined(Q_OS_DARWIN)
        {root + "/My Pelagon Files/chart archive/fl01.gif", shown, archiveFolder,
         SaveAsRefusal::None},
#endif
        {archive + "/fl01.gif", QString(), QString(), SaveAsRefusal::None},
    };
    for (const Row& row : rows)
        EXPECT_EQ(app::saveAsRefusal(row.target, row.shownChart, row.archiveFolder), row.expected)
            << row.target.mid(root.size()).toStdString();

    EXPECT_TRUE(app::saveAsRefusalText(SaveAsRefusal::None).isEmpty());
    for (const SaveAsRefusal refusal :
         {SaveAsRefusal::IsShownChart, SaveAsRefusal::InArchiveFolder})
        EXPECT_FALSE(app::saveAsRefusalText(refusal).isEmpty());
    EXPECT_NE(app::saveAsRefusalText(SaveAsRefusal::IsShownChart),
              app::saveAsRefusalText(SaveAsRefusal::InArchiveFolder));
}

TEST_F(AnnotatedImage, SaveAsProposesTheProgramFolderForANameInTheArchive) {
    const QString documents = m_dir.path() + "/Documents";
    const QString archive = documents + "/My Pelagon Files/Chart Archive";
    ASSERT_TRUE(QDir().mkpath(archive));
    const QString archiveFolder = QDir::toNativeSeparators(archive) + QDir::separator();
    const QString programFolder =
        QDir::toNativeSeparators(documents + "/My Pelagon Files") + QDir::separator();
    struct Row {
        QString saveAsName;
        QString expected;
    };
    const std::vector<Row> rows = {
        {QDir::toNativeSeparators(archive) + QDir::separator() + "fl01.gif",
         programFolder + "fl01.gif"},
        {archive + "/2026/.gif", programFolder + ".gif"},
        {m_dir.path() + "/charts/fl01.gif", m_dir.path() + "/charts/fl01.gif"},
        {archive + " 2/fl01.gif", archive + " 2/fl01.gif"},
        {QString(), QString()},
    };
    for (const Row& row : rows)
        EXPECT_EQ(app::saveAsProposal(row.saveAsName, archiveFolder, documents + "/"), row.expected)
            << row.saveAsName.toStdString();
}

} // namespace
