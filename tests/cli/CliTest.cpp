// thalwise-cli's commands called directly: output lines, error lines and exit status.

#include "CliRun.h"
#include "cli/Commands.h"

#include "geo/Palette.h"
#include "geo/TemperatureScale.h"
#include "gif/GIFEncoder.h"
#include "gif/GIFImage.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include "ThalwiseVersion.h"

namespace {

const QString DataDir = QStringLiteral(THALWISE_TEST_DATA_DIR "/gif/");
const QString SampleNe01 = QStringLiteral(THALWISE_SOURCE_DIR "/resources/samples/area-ne01.gif");

CliRun run(const QStringList& args) {
    return runCli(args);
}

// One row of a command table: the arguments, the status, all of stdout, and a part of stderr
// ("" = stderr must be empty).
struct Case {
    const char* name;
    QStringList args;
    int status;
    QString out;
    QString err;
};

void expectRuns(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        const CliRun r = run(c.args);
        EXPECT_EQ(r.status, c.status) << c.name << ": " << r.err.toStdString();
        EXPECT_EQ(r.out, c.out) << c.name;
        if (c.err.isEmpty()) {
            EXPECT_EQ(r.err, "") << c.name;
        } else {
            EXPECT_TRUE(r.err.contains(c.err)) << c.name << ": " << r.err.toStdString();
        }
    }
}

TEST(Cli, InfoAndUsageTable) {
    expectRuns({
        {"chartWithMalformedRangeKeepsTimestampOnly",
         {"info", DataDir + "chart-comment.gif"},
         0,
         "file: " + DataDir +
             "chart-comment.gif\nwidth: 16\nheight: 8\nframes: 1\n"
             "comment: TIMESTAMP=200612080600\ncomment: TMIN=50.0\n"
             "comment: TMAX=80.0\ncomment: VARIATION=-15.5\n"
             "area: 0\ntimestamp: 200612080600\n",
         ""},
        {"commentAfterImage",
         {"info", DataDir + "comment-after-image.gif"},
         0,
         "file: " + DataDir + "comment-after-image.gif\nwidth: 16\nheight: 8\nframes: 2\narea: 0\n",
         ""},
        {"longCommentBreaksAfter255",
         {"info", DataDir + "long-comment.gif"},
         0,
         "file: " + DataDir +
             "long-comment.gif\nwidth: 2\nheight: 2\nframes: 1\n"
             "comment: " +
             QString("abcdefghijklmnopqrstuvwxyz").repeated(10).left(255) +
             "\n"
             "comment: " +
             QString("abcdefghijklmnopqrstuvwxyz").repeated(12).mid(255, 45) + "\narea: 0\n",
         ""},
        {"badFileAmongGoodOnes",
         {"info", DataDir + "interlaced-5rows.gif", DataDir + "unknown-extension-label.gif",
          DataDir + "prefix-lowercase-no-trailer.gif"},
         1,
         "file: " + DataDir +
             "interlaced-5rows.gif\nwidth: 4\nheight: 5\nframes: 1\narea: 0\n\n"
             "file: " +
             DataDir +
             "prefix-lowercase-no-trailer.gif\nwidth: 3\nheight: 2\n"
             "frames: 1\narea: 0\n",
         "thalwise-cli: " + DataDir + "unknown-extension-label.gif: Unknown extension type\n"},
        {"missingFile",
         {"info", DataDir + "no-such.gif"},
         1,
         "",
         "thalwise-cli: " + DataDir + "no-such.gif: Cannot open"},
        {"noCommand", {}, 2, "", "usage:"},
        {"unknownCommand", {"frobnicate"}, 2, "", "unknown command frobnicate"},
        {"infoWithoutFiles", {"info"}, 2, "", "usage: thalwise-cli info FILE...\n"},
        {"decodeWrongArgs", {"decode", "a.gif"}, 2, "", "usage: thalwise-cli decode"},
    });
}

// What File > Import waypoints (GPX) would take from files other programs wrote, and the help.
TEST(Cli, GpxHelpAndVersionTable) {
    const QString gpx = QStringLiteral(THALWISE_TEST_DATA_DIR "/gpx/");
    const QString list = run({}).err; // what a wrong command line is told
    EXPECT_TRUE(list.contains("\n  thalwise-cli gpx FILE.gpx\n")) << list.toStdString();
    expectRuns({
        {"help", {"--help"}, 0, list, ""},
        {"shortHelp", {"-h"}, 0, list, ""},
        {"version", {"--version"}, 0, "thalwise-cli " THALWISE_VERSION "\n", ""},
        {"gpx10WithHomeALeftOutEntryAndABrokenTemperature",
         {"gpx", gpx + "plotter-gpx10.gpx"},
         0,
         "Lat=41.50,Lon=-70.50,Tf=68.0,\"Name=\u039A\u03B1\u03BD\u03B1\u03BB\u03AC\u03BA\u03B9 "
         "\u6D77\"\nLat=41.70,Lon=-70.70,Tf=0.0,Name=Ledge\nhome: 41.25,-70.125\n"
         "left out: 1\n",
         ""},
        {"utf16RouteOnlyWithUnknownExtensions",
         {"gpx", gpx + "planner-route-utf16.gpx"},
         0,
         "Lat=39.00,Lon=-72.00,Tf=72.5,Name=\u6771\u306e\u89d2\nLat=38.00,Lon=-73.00,Tf=0.0,Name="
         "Tip\n",
         ""},
        {"trackOnlyRefused",
         {"gpx", gpx + "logger-track-only.gpx"},
         1,
         "",
         "thalwise-cli: " + gpx + "logger-track-only.gpx: The GPX file holds no waypoints.\n"},
        {"gpxUsage", {"gpx", "a.gpx", "b.gpx"}, 2, "", "usage: thalwise-cli gpx FILE.gpx\n"},
    });
}

TEST(Cli, InfoShowsAreaAndMetadataOfSampleCharts) {
    if (!QFile::exists(SampleNe01))
        GTEST_SKIP() << "sample chart missing: " << qPrintable(SampleNe01);
    const QString sampleHead = "file: " + SampleNe01 +
                               "\nwidth: 1024\nheight: 1024\nframes: 1\n"
                               "comment: TIMESTAMP=2026-12-01-12ne01\ncomment: TMIN=38\n"
                               "comment: TMAX=62\ncomment: VARIATION=-15.0\n";
    const QString sampleMetadata = "area: 1 ne01\ntimestamp: 2026-12-01-12ne01\ntmin: 38\n"
                                   "tmax: 62\nvariation: -15.0\n";
    expectRuns({
        {"sample", {"info", SampleNe01}, 0, sampleHead + sampleMetadata, ""},
        {"sampleAmongBadOnes",
         {"info", DataDir + "no-such.gif", SampleNe01, DataDir + "unknown-extension-label.gif"},
         1,
         sampleHead + sampleMetadata,
         "unknown-extension-label.gif: Unknown extension type"},
    });
}

// Charts made for one test: a picture filled with one palette colour, named so that its area is
// recognised (or not), with the given comments before the image.
class ChartMaker {
public:
    ChartMaker() {
        const QStringList lines = geo::TemperatureScale::paletteLines(geo::builtinPaletteText());
        for (const QString& line : lines) {
            const QStringList words = geo::TemperatureScale::paletteWords(line);
            m_palette.append(qRgb(words[0].toInt(), words[1].toInt(), words[2].toInt()));
        }
    }

    bool isValid() const { return m_dir.isValid() && m_palette.size() == 256; }

    // A width x height chart of palette line paletteLine everywhere.
    QString make(const QString& fileName, int paletteLine, const std::vector<QByteArray>& comments,
                 int width = Width, int height = Height) {
        gif::EncoderInput input;
        input.screenWidth = width;
        input.screenHeight = height;
        input.globalTable = m_palette;
        gif::EncoderFrame frame;
        frame.width = width;
        frame.height = height;
        frame.indices.assign(std::size_t(width) * height, std::uint8_t(paletteLine));
        input.frames.push_back(frame);
        input.comments = comments;
        const QString path = m_dir.filePath(fileName);
        QString error;
        EXPECT_TRUE(gif::writeGifFile(path, input, &error)) << error.toStdString();
        return path;
    }

    static constexpr int Width = 24;
    static constexpr int Height = 8;

private:
    QTemporaryDir m_dir;
    QList<QRgb> m_palette;
};

// The chart's comment as the publisher writes it, one sub-block per line.
QByteArray keyedComment(const char* tmin, const char* tmax) {
    return QByteArray("TIMESTAMP=2026-12-01-12ne01\r\nTMIN=") + tmin + "\r\nTMAX=" + tmax +
           "\r\nVARIATION=-15.0";
}

TEST(Cli, ProbeReadsTheTemperatureAgainstTheScale) {
    ChartMaker charts;
    ASSERT_TRUE(charts.isValid());
    // Palette line 254 ("130 2 0") is the scale's second row from the top: with range
    // min..max it stands for max - (max - min) / 255.
    const struct {
        const char* name;
        int paletteLine;
        std::vector<QByteArray> comments;
        QStringList extraArgs;
        const char* temperature;
    } cases[] = {
        {"defaultRange", 254, {}, {}, "79.8"},
        {"chartRange", 254, {keyedComment("38", "62")}, {}, "61.9"},
        {"overrideBothEnds",
         254,
         {keyedComment("38", "62")},
         {"--min", "30", "--max", "80"},
         "79.8"},
        {"overrideUpperEndOnly", 254, {}, {"--max", "100"}, "99.7"},
        {"reversedRange", 254, {}, {"--min", "80", "--max", "40"}, "40.2"},
        // The scale follows the chart's own range, also beyond the up-downs' usual limits:
        // 120 - 110 / 255, and a Gulf summer chart's yellow row 95 - 10 * 102 / 255.
        {"chartRangeBeyondTheUsualLimits", 254, {keyedComment("10", "120")}, {}, "119.6"},
        {"gulfSummerChart", 153, {keyedComment("85", "95")}, {}, "91.0"},
        {"malformedChartRangeGivesDefault", 254, {keyedComment("38.5", "62")}, {}, "79.8"},
        // Line 153 ("255 255 128", yellow) is row 102: 80 - 50 * 102 / 255 = 60.
        {"yellowRow", 153, {}, {}, "60.0"},
        {"purpleLowestColouredRow", 5, {}, {}, "31.0"},
        {"hottestColourHasHueZero", 255, {}, {}, "none"},
        {"greyLand", 0, {}, {}, "none"},
        {"whiteCloud", 3, {}, {}, "none"},
        {"blackCoast", 4, {}, {}, "none"},
    };
    for (const auto& c : cases) {
        const QString chart = charts.make("area-ne01.gif", c.paletteLine, c.comments);
        const CliRun r = run(QStringList{"probe", chart, "--pixel", "5,4"} + c.extraArgs);
        EXPECT_EQ(r.status, 0) << c.name << ": " << r.err.toStdString();
        EXPECT_EQ(r.out, QStringLiteral("pixel: 5,4\nlat: 43.35041\nlon: -71.04488\n"
                                        "temperature: %1\n")
                             .arg(c.temperature))
            << c.name;
    }
}

TEST(Cli, InfoShowsWhatTheWindowAppliesFromTheComments) {
    ChartMaker charts;
    ASSERT_TRUE(charts.isValid());
    const struct {
        const char* name;
        const char* fileName;
        std::vector<QByteArray> comments;
        const char* tail; // everything from the area line on
    } cases[] = {
        {"keyed",
         "area-fl10.gif",
         {keyedComment("38", "62")},
         "area: 26 fl10\ntimestamp: 2026-12-01-12ne01\ntmin: 38\ntmax: 62\nvariation: -15.0\n"},
        {"singleLineIsTheTimestamp",
         "fl1.gif",
         {"2026-12-01-12fl01"},
         "area: 17 fl01\ntimestamp: 2026-12-01-12fl01\n"},
        {"lowerCaseKeysZeroVariation",
         "ne01.gif",
         {"tmin=50\r\ntmax=86\r\nvariation=0"},
         "area: 1 ne01\ntmin: 50\ntmax: 86\nvariation: 0.0\n"},
        {"variationAsTheChartGivesIt",
         "ne01.gif",
         {"TMIN=85\r\nTMAX=95\r\nVARIATION=3.25"},
         "area: 1 ne01\ntmin: 85\ntmax: 95\nvariation: 3.25\n"},
        // A later single-line comment resets the variation but not the range already set.
        {"laterSingleLineKeepsRange",
         "area-ma05.gif",
         {keyedComment("38", "62"), "later"},
         "area: 14 ma05\ntimestamp: later\ntmin: 38\ntmax: 62\n"},
        {"malformedVariation",
         "area-ne01.gif",
         {"TMIN=38\r\nTMAX=62\r\nVARIATION=west"},
         "area: 1 ne01\n"},
        {"noComment", "area-fl01.gif", {}, "area: 17 fl01\n"},
        {"jpgNameIsTheExtraArea", "x.jpg.gif", {}, "area: 31 rutgers\n"},
        {"lastFourCharactersOnly", "area-fl1.gif", {}, "area: 0\n"},
    };
    for (const auto& c : cases) {
        const QString chart = charts.make(c.fileName, 254, c.comments);
        const CliRun r = run({"info", chart});
        EXPECT_EQ(r.status, 0) << c.name << ": " << r.err.toStdString();
        const qsizetype area = r.out.indexOf("area: ");
        ASSERT_GE(area, 0) << c.name;
        EXPECT_EQ(r.out.mid(area), c.tail) << c.name;
    }
}

TEST(Cli, ProbeMapsBetweenPixelsAndPositions) {
    if (!QFile::exists(SampleNe01))
        GTEST_SKIP() << "sample chart missing: " << qPrintable(SampleNe01);
    // Area ne01's own reference numbers: 43N at row 174, 41.5N at row 891, 71W at column 21,
    // 69W at column 734; 42N 70W at 377.5 (rounded to even) and 654.
    const struct {
        const char* name;
        QStringList where;
        const char* out;
    } cases[] = {
        {"positionToPixel", {"--at", "42,-70"}, "pixel: 378,654\nlat: 41.99976\nlon: -69.99860\n"},
        {"pixelToPosition",
         {"--pixel", "378,654"},
         "pixel: 378,654\nlat: 41.99976\nlon: -69.99860\n"},
        {"northWestReference",
         {"--at", "43,-71"},
         "pixel: 21,174\nlat: 43.00000\nlon: -71.00000\n"},
        {"southEastReference",
         {"--at", "41.5,-69"},
         "pixel: 734,891\nlat: 41.50000\nlon: -69.00000\n"},
        {"optionsBeforeChart",
         {"--pixel", "21,174"},
         "pixel: 21,174\nlat: 43.00000\nlon: -71.00000\n"},
    };
    for (const auto& c : cases) {
        const QStringList args = QString(c.name) == "optionsBeforeChart"
                                     ? QStringList{"probe"} + c.where + QStringList{SampleNe01}
                                     : QStringList{"probe", SampleNe01} + c.where;
        const CliRun r = run(args);
        EXPECT_EQ(r.status, 0) << c.name << ": " << r.err.toStdString();
        EXPECT_TRUE(r.out.startsWith(c.out)) << c.name << ": " << r.out.toStdString();
        EXPECT_TRUE(r.out.contains("\ntemperature: ")) << c.name;
    }
}

TEST(Cli, ProbeFailuresAndUsage) {
    ChartMaker charts;
    ASSERT_TRUE(charts.isValid());
    const QString chart = charts.make("area-ne01.gif", 254, {});
    const QString unknownArea = charts.make("chart.gif", 254, {});
    // "x.jpg.gif" is the extra area 31, which has no calibration.
    const QString extraArea = charts.make("x.jpg.gif", 254, {});
    const QString usage = "usage: thalwise-cli probe CHART (--pixel X,Y | --at LAT,LON)";
    expectRuns({
        {"unrecognisedArea", {"probe", unknownArea, "--pixel", "5,4"}, 1, "", "unrecognised area"},
        {"uncalibratedArea", {"probe", extraArea, "--pixel", "5,4"}, 1, "", "no calibration"},
        {"missingChart",
         {"probe", DataDir + "no-such.gif", "--pixel", "5,4"},
         1,
         "",
         "Cannot open"},
        {"undecodableChart",
         {"probe", DataDir + "unknown-extension-label.gif", "--pixel", "5,4"},
         1,
         "",
         "Unknown extension type"},
        {"pixelRightOfChart", {"probe", chart, "--pixel", "24,0"}, 1, "", "outside the chart"},
        {"pixelBelowChart", {"probe", chart, "--pixel", "0,8"}, 1, "", "outside the chart"},
        {"negativePixel", {"probe", chart, "--pixel", "-1,0"}, 1, "", "outside the chart"},
        {"positionOffTheChart",
         {"probe", chart, "--at", "42,-70"},
         1,
         "",
         "pixel 378,654 is outside"},
        {"noArguments", {"probe"}, 2, "", usage},
        {"noPoint", {"probe", chart}, 2, "", usage},
        {"noChart", {"probe", "--pixel", "1,2"}, 2, "", usage},
        {"missingValue", {"probe", chart, "--pixel"}, 2, "", usage},
        {"pixelAndPosition", {"probe", chart, "--pixel", "1,2", "--at", "42,-70"}, 2, "", usage},
        {"pixelNotNumbers", {"probe", chart, "--pixel", "a,b"}, 2, "", usage},
        {"pixelThreeNumbers", {"probe", chart, "--pixel", "1,2,3"}, 2, "", usage},
        {"pixelNotInteger", {"probe", chart, "--pixel", "1.5,2"}, 2, "", usage},
        {"latitudeBeyondPole", {"probe", chart, "--at", "91,-70"}, 2, "", usage},
        {"longitudeNotANumber", {"probe", chart, "--at", "42,nan"}, 2, "", usage},
        {"minBeyond16Bits", {"probe", chart, "--pixel", "5,4", "--min", "-32769"}, 2, "", usage},
        {"maxBeyond16Bits", {"probe", chart, "--pixel", "5,4", "--max", "32768"}, 2, "", usage},
        {"minTwice",
         {"probe", chart, "--pixel", "5,4", "--min", "30", "--min", "40"},
         2,
         "",
         usage},
        {"minNotInteger", {"probe", chart, "--pixel", "5,4", "--min", "30.5"}, 2, "", usage},
        {"unknownOption", {"probe", chart, "--pixel", "5,4", "--zoom"}, 2, "", usage},
        {"twoCharts", {"probe", chart, chart, "--pixel", "5,4"}, 2, "", usage},
    });
}

TEST(Cli, RangeTable) {
    const QString usage = "usage: thalwise-cli range LAT1,LON1 LAT2,LON2\n";
    expectRuns({
        {"oneDegreeNorth",
         {"range", "41,-70", "42,-70"},
         0,
         "range_nm: 60.1\nrange_km: 111.3\nbearing: 0.0\n",
         ""},
        {"oneDegreeSouth",
         {"range", "42,-70", "41,-70"},
         0,
         "range_nm: 60.1\nrange_km: 111.3\nbearing: 180.0\n",
         ""},
        {"zeroRange",
         {"range", "42,-70", "42,-70"},
         0,
         "range_nm: 0.0\nrange_km: 0.0\nbearing: 0.0\n",
         ""},
        // A quarter of the equator on the 6378.135 km sphere, due east.
        {"quarterEquator",
         {"range", "0,0", "0,90"},
         0,
         "range_nm: 5409.7\nrange_km: 10018.8\nbearing: 90.0\n",
         ""},
        {"westward",
         {"range", "0,0", "0,-1"},
         0,
         "range_nm: 60.1\nrange_km: 111.3\nbearing: 270.0\n",
         ""},
        {"noArguments", {"range"}, 2, "", usage},
        {"onePosition", {"range", "41,-70"}, 2, "", usage},
        {"threePositions", {"range", "41,-70", "42,-70", "43,-70"}, 2, "", usage},
        {"latitudeBeyondPole", {"range", "90.5,-70", "42,-70"}, 2, "", usage},
        {"longitudeBeyondDateLine", {"range", "41,-180.5", "42,-70"}, 2, "", usage},
        {"notANumber", {"range", "41,west", "42,-70"}, 2, "", usage},
        {"infinity", {"range", "inf,-70", "42,-70"}, 2, "", usage},
        {"missingComma", {"range", "41 -70", "42,-70"}, 2, "", usage},
    });
}

// A wrong value is named on stderr before the usage line; negative numbers are values.
TEST(Cli, WrongInputNamesWhatIsWrong) {
    ChartMaker charts;
    ASSERT_TRUE(charts.isValid());
    const QString chart = charts.make("area-ne01.gif", 254, {});
    QTemporaryDir dir;
    const QString out = dir.filePath("out.png");
    expectRuns({
        {"latitudeOutOfRange",
         {"range", "41,-70", "95,-70"},
         2,
         "",
         "thalwise-cli: range: 95,-70: latitude 95 is out of range (-90 to 90)\n"
         "usage: thalwise-cli range LAT1,LON1 LAT2,LON2\n"},
        {"southernPositionFirst",
         {"range", "-1,0", "0,0"},
         0,
         "range_nm: 60.1\nrange_km: 111.3\nbearing: 0.0\n",
         ""},
        // Area ne01's rows 0..7 and columns 0..23 on the Mercator through 43N at row 174 and
        // 41.5N at row 891, 71W at column 21 and 69W at column 734.
        {"positionOffTheChartGivesItsBounds",
         {"probe", chart, "--at", "42,-70"},
         1,
         "",
         "the position 42,-70 is off the chart, which covers latitude 43.344 to 43.359, "
         "longitude -71.059 to -70.994\n"},
        {"waypointWithoutTemperatureIsSaid",
         {"waypoints", "--decimal", "Lat=41.00,Lon=-70.00"},
         0,
         "Home location - lat: 0.000°  lon: 0.000°\n\n",
         "thalwise-cli: waypoint 1: Lat=41.00,Lon=-70.00: no Tf= item; left out\n"},
        {"renderRefusesAWaypointWithoutTemperature",
         {"render", chart, out, "--waypoint", "Lat=41.00,Lon=-70.00"},
         2,
         "",
         "render: --waypoint Lat=41.00,Lon=-70.00: no Tf= item\n"},
        {"scaleEndBeyond16Bits",
         {"probe", chart, "--pixel", "5,4", "--min", "99999"},
         2,
         "",
         "--min 99999: out of range (-32768 to 32767)\n"},
        {"unknownOption", {"breaks", chart, out, "--zoom", "2"}, 2, "", "Unknown option 'zoom'"},
        {"optionTwice",
         {"history", "--at", "42,-70", chart, "--at=41,-70"},
         2,
         "",
         "history: --at is given more than once\n"},
        {"noSuchArchiveAction", {"archive", "tidy"}, 2, "", "archive: tidy: no such action\n"},
    });
    EXPECT_FALSE(QFile::exists(out));
}

// Every command explains itself, its usage line first, on stdout.
TEST(Cli, CommandHelp) {
    for (const QStringList& command : {QStringList{"info"},
                                       {"decode"},
                                       {"probe"},
                                       {"range"},
                                       {"annotations"},
                                       {"render"},
                                       {"waypoints"},
                                       {"archive"},
                                       {"archive", "intake"},
                                       {"archive", "purge"},
                                       {"flip"},
                                       {"print"},
                                       {"history"},
                                       {"breaks"},
                                       {"gpx"},
                                       {"export"}}) {
        const CliRun r = run(command + QStringList{"--help"});
        EXPECT_EQ(r.status, 0) << command.join(' ').toStdString();
        EXPECT_EQ(r.err, "") << command.join(' ').toStdString();
        EXPECT_TRUE(r.out.startsWith("usage: thalwise-cli " + command.front() + ' '))
            << r.out.toStdString();
        EXPECT_TRUE(r.out.contains("-h, --help")) << r.out.toStdString();
    }
    const QString probe = run({"probe", "-h"}).out;
    EXPECT_TRUE(probe.startsWith("usage: thalwise-cli probe CHART (--pixel X,Y | --at LAT,LON) "
                                 "[--min F] [--max F]\n\nPosition and water temperature"))
        << probe.toStdString();
    EXPECT_TRUE(probe.contains("--at <LAT,LON>")) << probe.toStdString();
    EXPECT_TRUE(run({"archive", "purge", "--help"}).out.contains("--yes"));
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(Cli, DecodeWritesTheScreenSizedPictureAsPpm) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = dir.filePath("small.ppm");
    const CliRun r = run({"decode", DataDir + "small-frame.gif", out});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();

    TGIFImage image;
    image.LoadFromFile(DataDir + "small-frame.gif");
    const QImage expected = image.bitmap().convertToFormat(QImage::Format_RGB888);
    ASSERT_EQ(expected.size(), QSize(6, 4));
    QByteArray want = "P6\n6 4\n255\n";
    for (int y = 0; y < 4; ++y)
        want.append(reinterpret_cast<const char*>(expected.constScanLine(y)), 18);
    EXPECT_EQ(readFile(out), want);
    // Background index 15 around the frame, frame pixel index 1 at (2, 1).
    const QRgb background = image.header().colorMap.color(15);
    EXPECT_EQ(expected.pixel(0, 0), background);
    EXPECT_EQ(expected.pixel(2, 1), image.header().colorMap.color(1));
}

TEST(Cli, DecodeOfABadFileWritesNothing) {
    QTemporaryDir dir;
    const QString out = dir.filePath("bad.ppm");
    const CliRun r = run({"decode", DataDir + "unknown-extension-label.gif", out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "thalwise-cli: " + DataDir + "unknown-extension-label.gif: Unknown extension type\n");
    EXPECT_FALSE(QFile::exists(out));
}

TEST(Cli, AnnotationsListsWhatTheWindowLoadsAndWritesNothing) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ini = dir.filePath("fl01.ini");
    // No "DataLevel": the window would add it, the command must not. Lines 2, 0 and 3 are
    // listed, so 0, 1 and 2 are looked up: 1 is missing and 3 stays unread.
    const QByteArray content = "[Text]\n0=5,6,a \"quoted\", text\n[Lines]\n2=1,1,2,2\n"
                               "0=1,2,3,4,5,6\n3=7,8,9,10\n[Text]\n1=7,8,shadowed\n";
    {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    const QString usage = "usage: thalwise-cli annotations FILE.ini\n";
    expectRuns({
        {"file",
         {"annotations", ini},
         0,
         "line: 1,2 3,4 5,6\nline: 1,1 2,2\ntext: 5,6 a \"quoted\", text\n",
         ""},
        {"fileWithoutSections", {"annotations", DataDir + "../ini/README.md"}, 0, "", ""},
        {"missingFile", {"annotations", dir.filePath("no-such.ini")}, 1, "", "No such file"},
        {"folder", {"annotations", dir.path()}, 1, "", "No such file"},
        {"noFile", {"annotations"}, 2, "", usage},
        {"twoFiles", {"annotations", ini, ini}, 2, "", usage},
    });
    EXPECT_EQ(readFile(ini), content);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"fl01.ini"}));
}

TEST(Cli, ArchiveIntakeOldChartsTheFlipAndThePurgeAsTheWindowHasThem) {
    QTemporaryDir dir;
    const QString archive = dir.filePath("archive");
    const QString downloads = dir.filePath("downloads");
    ASSERT_TRUE(QDir().mkpath(archive) && QDir().mkpath(downloads));
    const QString chart = QDir(downloads).filePath("area-ne01.gif");
    ASSERT_TRUE(QFile::copy(SampleNe01, chart));

    CliRun r = runCli({"archive", "intake", chart, "--archive", archive});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QString copy = QDir::toNativeSeparators(QDir(archive).filePath("2026-12-01-12ne01.gif"));
    EXPECT_EQ(r.out, "show: " + copy + "\n");
    EXPECT_EQ(QFileInfo(copy).lastModified(), QDateTime(QDate(2026, 12, 1), QTime(12, 0)));
    // The copy itself is shown in place.
    r = runCli({"archive", "intake", copy, "--archive", archive});
    EXPECT_EQ(r.out, "show: " + copy + "\n");
    for (int day = 24; day <= 30; ++day) {
        const QString name = QStringLiteral("2026-11-%1-12ne01.gif").arg(day);
        ASSERT_TRUE(
            QFile::copy(QStringLiteral(THALWISE_SOURCE_DIR "/resources/samples/archive/") + name,
                        archive + "/" + name));
        QFile file(archive + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime(QDate(2026, 11, day), QTime(12, 0)),
                                     QFileDevice::FileModificationTime));
    }
    // A week kept on 3 December: what was written before 26 November 00:00 goes.
    r = runCli(
        {"archive", "old", "--archive", archive, "--days", "7", "--now", "2026-12-03 10:00"});
    EXPECT_EQ(r.out, "2026-11-24-12ne01.gif\n2026-11-25-12ne01.gif\n");
    EXPECT_EQ(runCli({"archive", "old", "--archive", archive, "--days", "x"}).status, 2);

    r = runCli({"flip", "--archive", archive, "--area", "NE01"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList tabs = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(tabs.size(), 8);
    EXPECT_EQ(tabs.first(), "tab: 2026-11-24-12\t2026-11-24-12ne01.gif");
    EXPECT_EQ(tabs.last(), "tab: 2026-12-01-12\t2026-12-01-12ne01.gif");
    EXPECT_EQ(runCli({"flip", "--archive", archive, "--area", "2"}).out, "");
    EXPECT_EQ(runCli({"flip", "--archive", archive, "--area", "zz99"}).status, 2);

    // The scheduled tidy-up: without --yes a list, with it the same charts go to the trash;
    // where no trash can be made (its folder would be under a file) nothing is deleted.
    const QStringList purge = {"archive", "purge", "--archive", archive,
                               "--days",  "7",     "--now",     "2026-12-03 10:00"};
    const QString listed = "2026-11-24-12ne01.gif\n2026-11-25-12ne01.gif\n";
    EXPECT_EQ(runCli(purge).out, listed);
    qputenv("XDG_DATA_HOME", QFile::encodeName(chart + "/share"));
    EXPECT_EQ(runCli(purge + QStringList{"--yes"}).status, 1);
    EXPECT_EQ(runCli(purge).out, listed);
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    const QString trash = QDir::toNativeSeparators(data.path() + "/Trash/files/");
    EXPECT_EQ(runCli(purge + QStringList{"--yes"}).out,
              "trash: 2026-11-24-12ne01.gif -> " + trash + "2026-11-24-12ne01.gif\ntrash: " +
                  "2026-11-25-12ne01.gif -> " + trash + "2026-11-25-12ne01.gif\n");
    EXPECT_EQ(runCli(purge).out, "");
    qunsetenv("XDG_DATA_HOME");
}

} // namespace
