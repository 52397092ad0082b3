#include "cli/Commands.h"

#include "app/AnnotatedImage.h"
#include "app/ChartDisplay.h"
#include "app/ProgramFolders.h"
#include "app/RegistryVariables.h"
#include "archive/ArchiveTidyUp.h"
#include "archive/ChartDecoding.h"
#include "archive/ChartFlipping.h"
#include "archive/ChartIntake.h"
#include "export/ChartExport.h"
#include "geo/AnnotationFile.h"
#include "geo/AreaStuff.h"
#include "geo/ChartMetadata.h"
#include "geo/ChartTemperatures.h"
#include "geo/Gpx.h"
#include "geo/Isotherms.h"
#include "geo/Palette.h"
#include "geo/TemperatureBreaks.h"
#include "geo/TemperatureScale.h"
#include "geo/ThalwiseUtils.h"
#include "geo/Waypoint.h"
#include "geo/WaypointTable.h"
#include "geo/vekMapping.h"
#include "gif/GIFImage.h"
#include "platform/LocalFileSystem.h"
#include "platform/ProfileFile.h"
#include "platform/QtDesktop.h"
#include "platform/QtPrintJob.h"
#include "printing/BitmapPage.h"

#include "ThalwiseVersion.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <QImage>
#include <QLocale>
#include <QMap>
#include <QPrinter>
#include <QSaveFile>
#include <QTextStream>

#include <cmath>
#include <new>
#include <optional>

// The resource's initialiser is declared at global scope, so it is called from there.
static void initProgramResources() {
    Q_INIT_RESOURCE(thalwise);
}

namespace cli {

namespace {

constexpr char ProgramName[] = "thalwise-cli";

void reportError(QTextStream& err, const QString& subject, const QString& message) {
    err << ProgramName << ": " << subject << ": " << message << Qt::endl;
}

// The list of commands: on err for a wrong command line, on out when asked for.
int usage(QTextStream& err) {
    err << "usage:" << Qt::endl;
    for (const Command& command : commands())
        err << "  " << ProgramName << ' ' << command.name << ' ' << command.usage << Qt::endl;
    err << "probe --pixel X,Y reports that chart pixel's lat/lon; probe --at LAT,LON reports the "
           "pixel the position maps to and that pixel's lat/lon mapped back."
        << Qt::endl;
    err << "Positions are decimal degrees, negative south and west; temperatures degrees F; "
           "--min and --max take whole degrees (default: the chart's own range, else 30..80)."
        << Qt::endl;
    err << "--help (-h) prints this list, --version the program's version." << Qt::endl;
    return 2;
}

// One line naming the command's arguments, for a command called the wrong way.
int usage(QTextStream& err, const char* name) {
    for (const Command& command : commands())
        if (qstrcmp(command.name, name) == 0)
            err << "usage: " << ProgramName << ' ' << command.name << ' ' << command.usage
                << Qt::endl;
    return 2;
}

// Numbers the user reads and types use the period as decimal mark, whatever the locale.
QString fixed(double value, int decimals) {
    // Without this a negative zero would read "-0.0".
    return geo::formatFixed(value == 0.0 ? 0.0 : value, decimals, QLocale::c());
}

// The variation as the chart gives it: at least one decimal, and as many more as the value
// needs to read back unchanged (3.25 stays 3.25, -15 reads -15.0), never in exponent form.
QString variationText(float variation) {
    for (int decimals = 1; decimals < 9; ++decimals) {
        const QString candidate = fixed(variation, decimals);
        if (QLocale::c().toFloat(candidate) == variation) return candidate;
    }
    return fixed(variation, 9);
}

bool readInteger(const QString& text, int& value) {
    bool ok = false;
    const int v = QLocale::c().toInt(text, &ok);
    if (ok) value = v;
    return ok;
}

// "X,Y": two integers.
bool readPixel(const QString& text, int& x, int& y) {
    const QStringList parts = text.split(u',');
    return parts.size() == 2 && readInteger(parts[0], x) && readInteger(parts[1], y);
}

// "LAT,LON" in decimal degrees, latitude -90..90 and longitude -180..180.
bool readPosition(const QString& text, float& latitude, float& longitude) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 2) return false;
    bool latitudeOk = false;
    bool longitudeOk = false;
    const double lat = QLocale::c().toDouble(parts[0], &latitudeOk);
    const double lon = QLocale::c().toDouble(parts[1], &longitudeOk);
    if (!latitudeOk || !longitudeOk || !std::isfinite(lat) || !std::isfinite(lon)) return false;
    if (std::fabs(lat) > 90.0 || std::fabs(lon) > 180.0) return false;
    latitude = float(lat);
    longitude = float(lon);
    return true;
}

// Decodes a chart file into image and its whole picture. False, with the reason written to err,
// when the file does not decode or holds no picture.
bool loadChart(const QString& path, TGIFImage& image, QImage& picture, QTextStream& err) {
    try {
        image.LoadFromFile(path);
        picture = image.bitmap();
    } catch (const GIFException& e) {
        reportError(err, path, e.message());
        return false;
    }
    if (picture.isNull()) {
        reportError(err, path, QStringLiteral("no image data"));
        return false;
    }
    return true;
}

// The chart's metadata as the window reads it when it opens the chart.
geo::ChartMetadata chartMetadata(const TGIFImage& image) {
    return geo::readChartMetadata(gif::firstFrameCommentTexts(image));
}

struct ProbeRequest {
    QString chart;
    bool byPixel = false;
    int x = 0;
    int y = 0;
    float latitude = 0.0f;
    float longitude = 0.0f;
    std::optional<int> scaleMin;
    std::optional<int> scaleMax;
};

// The probe's arguments in any order; nothing for a missing, repeated or malformed one.
std::optional<ProbeRequest> readProbeRequest(const QStringList& args) {
    ProbeRequest request;
    bool havePoint = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& option = args[i];
        const bool isPoint = option == QLatin1String("--pixel") || option == QLatin1String("--at");
        const bool isMin = option == QLatin1String("--min");
        const bool isMax = option == QLatin1String("--max");
        if (!isPoint && !isMin && !isMax) {
            if (option.startsWith(QLatin1String("--")) || !request.chart.isEmpty()) return {};
            request.chart = option;
            continue;
        }
        if (i + 1 >= args.size()) return {};
        const QString& value = args[++i];
        if (isPoint) {
            if (havePoint) return {};
            havePoint = true;
            request.byPixel = option == QLatin1String("--pixel");
            const bool ok = request.byPixel
                                ? readPixel(value, request.x, request.y)
                                : readPosition(value, request.latitude, request.longitude);
            if (!ok) return {};
            continue;
        }
        std::optional<int>& end = isMin ? request.scaleMin : request.scaleMax;
        int fahrenheit = 0;
        if (end || !readInteger(value, fahrenheit)) return {};
        // The window's up-downs hold 16-bit positions.
        if (fahrenheit < geo::ScaleValueLowest || fahrenheit > geo::ScaleValueHighest) return {};
        end = fahrenheit;
    }
    if (request.chart.isEmpty() || !havePoint) return {};
    return request;
}

} // namespace

namespace {

struct WaypointsRequest {
    geo::WaypointListOptions options;
    bool grid = false;
    QString gpxPath; // empty: no GPX file
    QStringList waypoints;
};

std::optional<WaypointsRequest> readWaypointsRequest(const QStringList& args) {
    WaypointsRequest request;
    bool haveHome = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& option = args[i];
        if (option == QLatin1String("--decimal")) {
            request.options.decimalDegrees = true;
        } else if (option == QLatin1String("--grid")) {
            request.grid = true;
        } else if (option == QLatin1String("--home") || option == QLatin1String("--magnetic") ||
                   option == QLatin1String("--gpx")) {
            if (i + 1 >= args.size()) return std::nullopt;
            const QString& value = args[++i];
            if (option == QLatin1String("--gpx")) {
                if (!request.gpxPath.isEmpty() || value.isEmpty()) return std::nullopt;
                request.gpxPath = value;
            } else if (option == QLatin1String("--home")) {
                float lat = 0.0f;
                float lon = 0.0f;
                if (haveHome || !readPosition(value, lat, lon)) return std::nullopt;
                haveHome = true;
                request.options.homeLat = lat;
                request.options.homeLon = lon;
            } else {
                bool ok = false;
                const float variation = QLocale::c().toFloat(value, &ok);
                if (!ok || !std::isfinite(variation) || request.options.magneticReadout)
                    return std::nullopt;
                request.options.magneticReadout = true;
                request.options.magneticVariation = variation;
            }
        } else if (option.startsWith(QLatin1String("--"))) {
            return std::nullopt;
        } else {
            // Taken as given: an entry that does not parse is treated as the list treats it.
            request.waypoints.append(option);
        }
    }
    return request;
}

} // namespace

int waypoints(const QStringList& args, QTextStream& out, QTextStream& err) {
    const std::optional<WaypointsRequest> request = readWaypointsRequest(args);
    if (!request) return usage(err, "waypoints");
    // The numbers read as the user types them, with a period.
    const QLocale locale = QLocale::c();
    if (request->grid) {
        const geo::WaypointGrid grid =
            geo::waypointGrid(request->waypoints, request->options, locale);
        for (const QStringList& row : grid.rows)
            out << row.join(u'\t').replace(u'\r', u'|') << '\n';
    } else {
        for (const QString& line :
             geo::printedWaypointList(request->waypoints, request->options, locale))
            out << line << '\n';
    }
    out.flush();
    QString error;
    if (!request->gpxPath.isEmpty() &&
        !geo::writeGpxFile(request->gpxPath, request->waypoints, request->options.homeLat,
                           request->options.homeLon, &error)) {
        reportError(err, request->gpxPath, error);
        return 1;
    }
    return 0;
}

int gpx(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.size() != 1) return usage(err, "gpx");
    QString error;
    const std::optional<geo::GpxWaypoints> read = geo::readGpxFile(args[0], &error);
    if (!read) {
        reportError(err, args[0], error);
        return 1;
    }
    const geo::ImportedTrip trip = geo::importWaypoints({}, 0.0, 0.0, *read, true);
    for (const QString& text : trip.waypointList)
        out << text << '\n';
    // Home as the file gives it, with as few decimals as read back the same.
    if (read->home)
        out << "home: " << variationText(float(trip.homeLat)) << ','
            << variationText(float(trip.homeLon)) << '\n';
    if (trip.leftOut > 0) out << "left out: " << trip.leftOut << '\n';
    out.flush();
    return 0;
}

namespace {

// The value after an option, or nothing when it is missing or given twice.
struct Options {
    QMap<QString, QString> values;
    QStringList positional;
};

std::optional<Options> readOptions(const QStringList& args, const QStringList& known) {
    Options options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!arg.startsWith(QLatin1String("--"))) {
            options.positional.append(arg);
            continue;
        }
        if (!known.contains(arg) || i + 1 >= args.size() || options.values.contains(arg))
            return std::nullopt;
        options.values.insert(arg, args[++i]);
    }
    return options;
}

// An archive folder as the window holds it: native separators and a trailing separator.
QString archiveFolderArgument(const QString& folder) {
    QString native = QDir::toNativeSeparators(QDir(folder).absolutePath());
    if (!native.endsWith(QDir::separator())) native += QDir::separator();
    return native;
}

} // namespace

int archive(const QStringList& args, QTextStream& out, QTextStream& err) {
    const QString what = args.value(0);
    platform::LocalFileSystem fileSystem;
    if (what == QLatin1String("intake")) {
        const std::optional<Options> options =
            readOptions(args.mid(1), {QStringLiteral("--archive")});
        if (!options || options->positional.size() != 1 ||
            !options->values.contains(QStringLiteral("--archive")))
            return usage(err, "archive");
        const QString chart = options->positional.first();
        TGIFImage image;
        QStringList warnings;
        try {
            warnings = archive::loadChartFile(image, chart);
        } catch (const GIFException& error) {
            reportError(err, chart, error.message());
            return 1;
        }
        for (const QString& warning : warnings)
            reportError(err, chart, warning);
        const QString timestamp =
            geo::readChartMetadata(gif::firstFrameCommentTexts(image)).timestamp;
        const std::optional<QString> shown = archive::archiveIntake(
            fileSystem, QDir::toNativeSeparators(QFileInfo(chart).absoluteFilePath()), timestamp,
            archiveFolderArgument(options->values.value(QStringLiteral("--archive"))),
            archive::leavesPixelsUnset(image, warnings) ? archive::ChartPicture::EndsEarly
                                                        : archive::ChartPicture::Whole);
        if (!shown) {
            reportError(err, chart, QStringLiteral("could not be copied into the archive"));
            return 1;
        }
        out << "show: " << *shown << Qt::endl;
        return 0;
    }
    if (what == QLatin1String("old") || what == QLatin1String("purge")) {
        // purge takes "--yes" alone, the confirmation a scheduled job gives in advance.
        QStringList rest = args.mid(1);
        const qsizetype yes =
            what == QLatin1String("purge") ? rest.removeAll(QStringLiteral("--yes")) : 0;
        const bool confirmed = yes == 1;
        const std::optional<Options> options = readOptions(
            rest, {QStringLiteral("--archive"), QStringLiteral("--days"), QStringLiteral("--now")});
        bool daysRead = false;
        const int days =
            options ? options->values.value(QStringLiteral("--days")).toInt(&daysRead) : 0;
        if (!options || !options->positional.isEmpty() || !daysRead ||
            !options->values.contains(QStringLiteral("--archive")) || yes > 1)
            return usage(err, "archive");
        QDateTime now = QDateTime::currentDateTime();
        if (options->values.contains(QStringLiteral("--now"))) {
            now = QDateTime::fromString(options->values.value(QStringLiteral("--now")),
                                        QStringLiteral("yyyy-MM-dd HH:mm"));
            if (!now.isValid()) return usage(err, "archive");
        }
        const QStringList old = archive::oldCharts(
            fileSystem, archiveFolderArgument(options->values.value(QStringLiteral("--archive"))),
            days, now);
        if (!confirmed) {
            for (const QString& name : archive::chartNames(old))
                out << name << Qt::endl;
            return 0;
        }
        // "--yes" agreed to the trash, not to deleting: a chart no trash takes stays.
        int status = 0;
        for (const QString& chart : old) {
            if (const std::optional<QString> trashed = fileSystem.moveToTrash(chart)) {
                out << "trash: " << QFileInfo(chart).fileName() << " -> " << *trashed << Qt::endl;
            } else {
                reportError(err, chart, QStringLiteral("could not be moved to the trash; kept"));
                status = 1;
            }
        }
        return status;
    }
    return usage(err, "archive");
}

int flip(const QStringList& args, QTextStream& out, QTextStream& err) {
    const std::optional<Options> options =
        readOptions(args, {QStringLiteral("--archive"), QStringLiteral("--area")});
    if (!options || !options->positional.isEmpty() ||
        !options->values.contains(QStringLiteral("--archive")) ||
        !options->values.contains(QStringLiteral("--area")))
        return usage(err, "flip");
    // The area by number (1..30) or by code ("ne01"); flipping needs an area.
    const QString given = options->values.value(QStringLiteral("--area"));
    bool isNumber = false;
    int area = given.toInt(&isNumber);
    if (!isNumber)
        for (int index = 1; index <= 30 && !isNumber; ++index)
            if (geo::areaCode(index).compare(given, Qt::CaseInsensitive) == 0) {
                area = index;
                isNumber = true;
            }
    if (!isNumber || !geo::isCalibratedArea(area)) {
        reportError(err, given, QStringLiteral("no such area"));
        return 2;
    }
    platform::LocalFileSystem fileSystem;
    const QStringList charts = archive::latestChartsOfArea(
        fileSystem, archiveFolderArgument(options->values.value(QStringLiteral("--archive"))),
        geo::areaCode(area));
    for (const QString& chart : charts)
        if (const std::optional<QString> caption = archive::flipTabCaption(chart))
            out << "tab: " << *caption << '\t' << QFileInfo(chart).fileName() << Qt::endl;
    return 0;
}

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"info", "FILE...", &info},
        {"decode", "FILE OUT.ppm", &decode},
        {"probe", "CHART (--pixel X,Y | --at LAT,LON) [--min F] [--max F]", &probe},
        {"range", "LAT1,LON1 LAT2,LON2", &range},
        {"annotations", "FILE.ini", &annotations},
        {"render",
         "CHART OUT.png|OUT.gif [--annotations FILE.ini] [--home LAT,LON] [--waypoint TEXT]...",
         &render},
        {"waypoints",
         "[--home LAT,LON] [--decimal] [--magnetic VARIATION] [--grid] [--gpx OUT.gpx] "
         "TEXT...",
         &waypoints},
        {"archive",
         "intake CHART --archive DIR | old --archive DIR --days N [--now \"YYYY-MM-DD HH:MM\"] | "
         "purge --archive DIR --days N [--now \"YYYY-MM-DD HH:MM\"] [--yes]",
         &archive},
        {"flip", "--archive DIR --area N|CODE", &flip},
        {"print", "CHART --pdf OUT.pdf [--selection X1,Y1,X2,Y2] [--annotations FILE.ini]", &print},
        {"history", "--at LAT,LON CHART...", &history},
        {"breaks", "CHART OUT.png [--threshold F_PER_NM]", &breaks},
        {"gpx", "FILE.gpx", &gpx},
        {"export",
         "CHART OUT.gpx|OUT.kap|OUT.mbtiles|OUT.tif|OUT.kmz [--temperature] [--breaks] "
         "[--threshold F_PER_NM] [--isotherms LIST] [--annotations FILE.ini]",
         &exportChart},
    };
    return table;
}

int run(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.isEmpty()) return usage(err);
    if (args.front() == QLatin1String("--help") || args.front() == QLatin1String("-h")) {
        usage(out);
        return 0;
    }
    if (args.front() == QLatin1String("--version")) {
        out << ProgramName << ' ' << THALWISE_VERSION << Qt::endl;
        return 0;
    }
    for (const Command& command : commands()) {
        if (args.front() != QLatin1String(command.name)) continue;
        // A command that runs out of memory fails like any other error, never by an abort.
        try {
            return command.run(args.mid(1), out, err);
        } catch (const std::bad_alloc&) {
            out.flush();
            reportError(err, QLatin1String(command.name), QStringLiteral("out of memory"));
            return 1;
        }
    }
    err << ProgramName << ": unknown command " << args.front() << Qt::endl;
    return usage(err);
}

QStringList commentLines(const TGIFImage& image) {
    QStringList lines;
    if (image.imageCount() == 0) return lines;
    for (const QString& line : geo::commentLines(gif::commentText(image.image(0)))) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty()) lines.append(trimmed);
    }
    return lines;
}

int info(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.isEmpty()) return usage(err, "info");
    int status = 0;
    bool first = true;
    for (const QString& path : args) {
        TGIFImage image;
        try {
            image.LoadFromFile(path);
        } catch (const GIFException& e) {
            reportError(err, path, e.message());
            status = 1;
            continue;
        }
        if (!first) out << '\n';
        first = false;
        out << "file: " << path << '\n';
        out << "width: " << image.width() << '\n';
        out << "height: " << image.height() << '\n';
        out << "frames: " << image.imageCount() << '\n';
        for (const QString& line : commentLines(image))
            out << "comment: " << line << '\n';
        const int area = geo::chartAreaOfFile(path);
        out << "area: " << area;
        if (area != geo::NoArea) out << ' ' << geo::areaCode(area);
        out << '\n';
        const geo::ChartMetadata metadata = chartMetadata(image);
        if (!metadata.timestamp.isEmpty()) out << "timestamp: " << metadata.timestamp << '\n';
        if (metadata.hasRange) {
            out << "tmin: " << metadata.scaleMin << '\n';
            out << "tmax: " << metadata.scaleMax << '\n';
        }
        if (metadata.hasVariation)
            out << "variation: " << variationText(metadata.magneticVariation) << '\n';
        out.flush();
    }
    return status;
}

bool writePpm(const QImage& image, const QString& path, QString* error) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    file.write(QStringLiteral("P6\n%1 %2\n255\n").arg(rgb.width()).arg(rgb.height()).toLatin1());
    for (int y = 0; y < rgb.height(); ++y)
        file.write(reinterpret_cast<const char*>(rgb.constScanLine(y)), qint64(rgb.width()) * 3);
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

int decode(const QStringList& args, QTextStream& /*out*/, QTextStream& err) {
    if (args.size() != 2) return usage(err, "decode");
    TGIFImage image;
    QImage bitmap;
    if (!loadChart(args[0], image, bitmap, err)) return 1;
    QString error;
    if (!writePpm(bitmap, args[1], &error)) {
        reportError(err, args[1], error);
        return 1;
    }
    return 0;
}

// The scale as the window has it after opening a chart: the chart's own range, or the
// up-downs' initial values; scaleMin and scaleMax override either end.
geo::TemperatureScale chartScale(const TGIFImage& image, std::optional<int> scaleMin = std::nullopt,
                                 std::optional<int> scaleMax = std::nullopt) {
    const geo::ScaleRange range = geo::chartScaleRange(
        chartMetadata(image), {geo::ScaleMinInitial, geo::ScaleMaxInitial});
    geo::TemperatureScale scale;
    scale.TempScaleChange(geo::TemperatureScale::BuildScaleBitmap(geo::builtinPaletteText()),
                          scaleMin.value_or(range.min), scaleMax.value_or(range.max));
    return scale;
}

// What the window reads on a chart: its own data when it carries any, else its colours under
// chartScale.
geo::ChartTemperatures chartTemperatures(const TGIFImage& image, const QImage& chart,
                                         std::optional<int> scaleMin = std::nullopt,
                                         std::optional<int> scaleMax = std::nullopt) {
    return geo::ChartTemperatures(chart, chartScale(image, scaleMin, scaleMax),
                                  archive::chartPixelTemperatures(image));
}

// The calibration of the area a chart's file name names; nothing, with the reason on err, for
// an unrecognised area or one without a calibration.
std::optional<geo::Calibration> chartCalibration(const QString& path, QTextStream& err) {
    const int area = geo::chartAreaOfFile(path);
    const geo::Calibration calibration = geo::Calibration::forArea(area);
    if (calibration.Valid) return calibration;
    reportError(err, path,
                area == geo::NoArea
                    ? QStringLiteral("unrecognised area - no geographic mapping")
                    : QStringLiteral("area %1 has no calibration").arg(geo::areaCode(area)));
    return std::nullopt;
}

// What the window reads at one place of a chart: the pixel, its position, and the water
// temperature (0 where there is none) under the scale the window has after opening it.
struct ChartReading {
    int x = 0;
    int y = 0;
    float latitude = 0.0f;
    float longitude = 0.0f;
    float temperature = 0.0f;
    int decimals = 1; // two for a chart's data
};

// Reads the chart at the request's pixel or position; nothing, with the reason on err, when
// the chart cannot be read, has no mapping, or the place lies off it.
std::optional<ChartReading> readChartAt(const ProbeRequest& request, QTextStream& err) {
    const QString& path = request.chart;
    TGIFImage image;
    QImage chart;
    if (!loadChart(path, image, chart, err)) return std::nullopt;
    // The window samples its base bitmap, the chart picture as 32-bit RGB.
    chart = chart.convertToFormat(QImage::Format_RGB32);

    const std::optional<geo::Calibration> found = chartCalibration(path, err);
    if (!found) return std::nullopt;
    const geo::Calibration& calibration = *found;

    ChartReading reading;
    reading.x = request.x;
    reading.y = request.y;
    if (!request.byPixel &&
        !GeoToPixel(calibration, request.latitude, request.longitude, reading.x, reading.y)) {
        reportError(err, path, QStringLiteral("the position maps to no pixel"));
        return std::nullopt;
    }
    if (reading.x < 0 || reading.y < 0 || reading.x >= chart.width() ||
        reading.y >= chart.height()) {
        reportError(err, path,
                    QStringLiteral("pixel %1,%2 is outside the chart (%3 x %4)")
                        .arg(reading.x)
                        .arg(reading.y)
                        .arg(chart.width())
                        .arg(chart.height()));
        return std::nullopt;
    }
    // A valid calibration always maps a pixel back.
    PixelToGeo(calibration, reading.x, reading.y, reading.latitude, reading.longitude);

    const geo::ChartTemperatures temperatures =
        chartTemperatures(image, chart, request.scaleMin, request.scaleMax);
    reading.temperature = temperatures.at(reading.x, reading.y);
    reading.decimals = temperatures.readoutDecimals();
    return reading;
}

// 0 is how the lookup says "no temperature here".
QString temperatureText(float temperature, int decimals) {
    return temperature == 0.0f ? QStringLiteral("none") : fixed(temperature, decimals);
}

int probe(const QStringList& args, QTextStream& out, QTextStream& err) {
    const std::optional<ProbeRequest> request = readProbeRequest(args);
    if (!request) return usage(err, "probe");
    const std::optional<ChartReading> reading = readChartAt(*request, err);
    if (!reading) return 1;
    out << "pixel: " << reading->x << ',' << reading->y << '\n';
    out << "lat: " << fixed(reading->latitude, 5) << '\n';
    out << "lon: " << fixed(reading->longitude, 5) << '\n';
    out << "temperature: " << temperatureText(reading->temperature, reading->decimals) << '\n';
    out.flush();
    return 0;
}

// The water at one position on every chart given, in name order, each read under its own
// range: "NAME: TEMP". A chart the position lies off, or that cannot be read, says why on err
// and makes the status 1; the others are still listed.
int history(const QStringList& args, QTextStream& out, QTextStream& err) {
    ProbeRequest request;
    QStringList charts;
    bool havePosition = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--at")) {
            if (havePosition || i + 1 >= args.size() ||
                !readPosition(args[i + 1], request.latitude, request.longitude))
                return usage(err, "history");
            havePosition = true;
            ++i;
        } else if (args[i].startsWith(QLatin1String("--"))) {
            return usage(err, "history");
        } else {
            charts.append(args[i]);
        }
    }
    if (!havePosition || charts.isEmpty()) return usage(err, "history");
    std::sort(charts.begin(), charts.end(), [](const QString& a, const QString& b) {
        const int byName = QString::compare(QFileInfo(a).fileName(), QFileInfo(b).fileName(),
                                            Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a < b;
    });
    int status = 0;
    for (const QString& chart : charts) {
        request.chart = chart;
        const std::optional<ChartReading> reading = readChartAt(request, err);
        if (!reading) {
            status = 1;
            continue;
        }
        out << QFileInfo(chart).fileName() << ": "
            << temperatureText(reading->temperature, reading->decimals) << '\n';
    }
    out.flush();
    return status;
}

int breaks(const QStringList& args, QTextStream& out, QTextStream& err) {
    QStringList files;
    double threshold = geo::DefaultBreakThreshold;
    bool haveThreshold = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--threshold")) {
            if (haveThreshold || i + 1 >= args.size()) return usage(err, "breaks");
            const std::optional<double> value = geo::readBreakThreshold(args[i + 1]);
            if (!value) {
                reportError(err, args[i + 1],
                            QStringLiteral("the threshold must be a number of %1 to %2 F per NM")
                                .arg(fixed(geo::LowestBreakThreshold, 2),
                                     fixed(geo::HighestBreakThreshold, 0)));
                return 2;
            }
            threshold = *value;
            haveThreshold = true;
            ++i;
        } else if (args[i].startsWith(QLatin1String("--"))) {
            return usage(err, "breaks");
        } else {
            files.append(args[i]);
        }
    }
    if (files.size() != 2) return usage(err, "breaks");
    const QString& path = files[0];
    const QString& output = files[1];

    TGIFImage image;
    QImage chart;
    if (!loadChart(path, image, chart, err)) return 1;
    if (app::saveAsRefusal(output, path, QString()) == app::SaveAsRefusal::IsShownChart) {
        reportError(err, output, QStringLiteral("the chart itself cannot be replaced"));
        return 1;
    }
    const std::optional<geo::Calibration> calibration = chartCalibration(path, err);
    if (!calibration) return 1;
    chart = chart.convertToFormat(QImage::Format_RGB32);
    const geo::BreakLayer layer = geo::findTemperatureBreaks(
        chartTemperatures(image, chart).field(), *calibration, threshold);
    QImage drawn = chart;
    geo::drawBreaks(drawn, layer);
    QString error;
    if (!app::writeAnnotatedImage(drawn, chart,
                                  app::scaleMetadataLines(gif::firstFrameCommentTexts(image)),
                                  output, &error)) {
        reportError(err, output, error);
        return 1;
    }
    out << "threshold: " << fixed(threshold, 2) << " F/NM\n";
    out << "break pixels: " << layer.markCount << '\n';
    out.flush();
    return 0;
}

int range(const QStringList& args, QTextStream& out, QTextStream& err) {
    float lat1 = 0.0f;
    float lon1 = 0.0f;
    float lat2 = 0.0f;
    float lon2 = 0.0f;
    if (args.size() != 2 || !readPosition(args[0], lat1, lon1) ||
        !readPosition(args[1], lat2, lon2))
        return usage(err, "range");
    float kilometres = 0.0f;
    float bearing = 0.0f;
    if (!RangeAndBearing(lon1, lat1, lon2, lat2, kilometres, bearing)) {
        reportError(
            err, QStringLiteral("range"),
            QStringLiteral("cannot compute the range between %1 and %2").arg(args[0], args[1]));
        return 1;
    }
    out << "range_nm: " << fixed(geo::nauticalMiles(kilometres), 1) << '\n';
    out << "range_km: " << fixed(kilometres, 1) << '\n';
    out << "bearing: " << fixed(bearing, 1) << '\n';
    out.flush();
    return 0;
}

namespace {

// The marks an annotation file holds, read without writing it. The profile file takes a missing
// or unreadable file for an empty one; a command says so instead of showing no marks.
bool readAnnotationFile(const QString& path, geo::Annotations& annotations, QTextStream& err) {
    if (!QFileInfo(path).isFile()) {
        reportError(err, path, QStringLiteral("No such file"));
        return false;
    }
    if (QFile file(path); !file.open(QIODevice::ReadOnly)) {
        reportError(err, path, file.errorString());
        return false;
    }
    annotations = geo::readAnnotations(platform::ProfileFile(path));
    return true;
}

} // namespace

int annotations(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.size() != 1) return usage(err, "annotations");
    geo::Annotations loaded;
    if (!readAnnotationFile(args[0], loaded, err)) return 1;
    for (const AnnotationLine& line : loaded.lines) {
        out << "line:";
        for (const QPoint& point : line.points)
            out << ' ' << point.x() << ',' << point.y();
        out << '\n';
    }
    for (const AnnotationText& text : loaded.texts)
        out << "text: " << text.centre.x() << ',' << text.centre.y() << ' ' << text.text << '\n';
    out.flush();
    return 0;
}

namespace {

struct RenderRequest {
    QString chart;
    QString output;
    QString annotationFile;    // empty: no annotations
    float homeLatitude = 0.0f; // 0, 0: no home
    float homeLongitude = 0.0f;
    QStringList waypoints; // stored waypoint texts, each one that parses
};

// The render's arguments in any order; nothing for a missing, repeated or malformed one. A
// waypoint that does not parse is refused rather than left out, so that a typing error does not
// go unnoticed.
std::optional<RenderRequest> readRenderRequest(const QStringList& args) {
    RenderRequest request;
    QStringList files;
    bool haveAnnotations = false;
    bool haveHome = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& option = args[i];
        if (!option.startsWith(QLatin1String("--"))) {
            files.append(option);
            continue;
        }
        if (i + 1 >= args.size()) return {};
        const QString& value = args[++i];
        if (option == QLatin1String("--annotations")) {
            if (haveAnnotations || value.isEmpty()) return {};
            haveAnnotations = true;
            request.annotationFile = value;
        } else if (option == QLatin1String("--home")) {
            if (haveHome || !readPosition(value, request.homeLatitude, request.homeLongitude))
                return {};
            haveHome = true;
        } else if (option == QLatin1String("--waypoint")) {
            if (!ParseWaypoint(value)) return {};
            request.waypoints.append(value);
        } else {
            return {};
        }
    }
    if (files.size() != 2) return {};
    request.chart = files[0];
    request.output = files[1];
    return request;
}

// The marker icon the window draws, from the program's resources.
QImage waypointIcon() {
    initProgramResources();
    return QImage(QStringLiteral(":/WPT"));
}

// The picture as the window shows this chart with no settings stored: the default annotation
// font, no outline, the area recognised from the chart's file name.
QImage composedChart(const QString& path, const QImage& chart, const geo::Annotations& annotations,
                     double homeLatitude, double homeLongitude, const QStringList& waypoints) {
    const StoredFont font;
    display::Overlays overlays;
    overlays.lines = &annotations.lines;
    overlays.texts = &annotations.texts;
    overlays.font = toQFont(font);
    overlays.fontColour = colourOf(font);
    overlays.outlined = settingDefaults::FontOutlined;
    overlays.homeLat = homeLatitude;
    overlays.homeLon = homeLongitude;
    overlays.waypoints = &waypoints;
    const geo::Calibration calibration = geo::Calibration::forArea(geo::chartAreaOfFile(path));
    if (calibration.Valid) {
        overlays.geoToPixel = [calibration](float lat, float lon, int& x, int& y) {
            return GeoToPixel(calibration, lat, lon, x, y);
        };
    }
    overlays.markerIcon = waypointIcon();
    return display::RepaintChart(chart.convertToFormat(QImage::Format_RGB32), overlays);
}

} // namespace

bool needsFonts(const QStringList& args) {
    return !args.isEmpty() &&
           (args.front() == QLatin1String("render") || args.front() == QLatin1String("print") ||
            args.front() == QLatin1String("export"));
}

int print(const QStringList& args, QTextStream& out, QTextStream& err) {
    QString chartPath, pdf, annotationFile;
    std::optional<QRect> selection;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!arg.startsWith(QLatin1String("--"))) {
            if (!chartPath.isEmpty()) return usage(err, "print");
            chartPath = arg;
            continue;
        }
        if (i + 1 >= args.size()) return usage(err, "print");
        const QString value = args[++i];
        if (arg == QLatin1String("--pdf")) {
            pdf = value;
        } else if (arg == QLatin1String("--annotations")) {
            annotationFile = value;
        } else if (arg == QLatin1String("--selection")) {
            const QStringList corners = value.split(u',');
            bool ok = corners.size() == 4;
            int c[4] = {};
            for (int k = 0; ok && k < 4; ++k)
                c[k] = corners[k].toInt(&ok);
            if (!ok || c[2] <= c[0] || c[3] <= c[1]) return usage(err, "print");
            selection = QRect(c[0], c[1], c[2] - c[0], c[3] - c[1]);
        } else {
            return usage(err, "print");
        }
    }
    if (chartPath.isEmpty() || pdf.isEmpty()) return usage(err, "print");

    TGIFImage image;
    QImage chart;
    if (!loadChart(chartPath, image, chart, err)) return 1;
    geo::Annotations annotations;
    if (!annotationFile.isEmpty() && !readAnnotationFile(annotationFile, annotations, err))
        return 1;
    const QImage composed = composedChart(chartPath, chart, annotations, 0.0, 0.0, {});

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    platform::QtPrintJob job(printer);
    // A PDF file keeps the picture as it is sent: once, at its own pixels.
    printing::PageOptions options;
    options.wholePicture = true;
    const printing::PageJobResult result = PrintBitmapPage(job, composed, selection, {}, options);
    if (result.status != printing::PageJobStatus::Printed) {
        reportError(err, pdf,
                    result.message.isEmpty() ? QStringLiteral("the page could not be printed")
                                             : result.message);
        return 1;
    }
    const QRect area = result.placement.page.area;
    const QRect placed = result.placement.image;
    out << "orientation: "
        << (result.orientation == platform::PageOrientation::Landscape ? "landscape" : "portrait")
        << Qt::endl;
    out << "area: " << area.width() << " x " << area.height() << " at " << area.left() << ','
        << area.top() << Qt::endl;
    out << "image: " << placed.width() << " x " << placed.height() << " at " << placed.left() << ','
        << placed.top() << Qt::endl;
    out << "bands: " << result.placement.bands << Qt::endl;
    return 0;
}

int render(const QStringList& args, QTextStream& /*out*/, QTextStream& err) {
    const std::optional<RenderRequest> request = readRenderRequest(args);
    if (!request) return usage(err, "render");

    TGIFImage image;
    QImage chart;
    if (!loadChart(request->chart, image, chart, err)) return 1;
    if (app::saveAsRefusal(request->output, request->chart, QString()) ==
        app::SaveAsRefusal::IsShownChart) {
        reportError(err, request->output, QStringLiteral("the chart itself cannot be replaced"));
        return 1;
    }
    geo::Annotations annotations;
    if (!request->annotationFile.isEmpty() &&
        !readAnnotationFile(request->annotationFile, annotations, err))
        return 1;

    const QImage composed = composedChart(request->chart, chart, annotations, request->homeLatitude,
                                          request->homeLongitude, request->waypoints);

    QString error;
    if (!app::writeAnnotatedImage(composed, chart,
                                  app::scaleMetadataLines(gif::firstFrameCommentTexts(image)),
                                  request->output, &error)) {
        reportError(err, request->output, error);
        return 1;
    }
    return 0;
}

namespace {

struct ExportRequest {
    QString chart;
    QString output;
    exports::ExportContents contents;
    QString isotherms;      // the list as given; empty: none
    QString annotationFile; // empty: no marks
};

// The export's arguments in any order; nothing for a missing, repeated or unknown one.
std::optional<ExportRequest> readExportRequest(const QStringList& args) {
    ExportRequest request;
    request.contents.picture = true;
    QStringList files;
    bool haveThreshold = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& option = args[i];
        if (!option.startsWith(QLatin1String("--"))) {
            files.append(option);
        } else if (option == QLatin1String("--temperature")) {
            if (request.contents.temperatureGrid) return {};
            request.contents.temperatureGrid = true;
        } else if (option == QLatin1String("--breaks")) {
            if (request.contents.breaks) return {};
            request.contents.breaks = true;
        } else {
            if (i + 1 >= args.size()) return {};
            const QString& value = args[++i];
            if (option == QLatin1String("--threshold") && !haveThreshold) {
                const std::optional<double> threshold = geo::readBreakThreshold(value);
                if (!threshold) return {};
                request.contents.breakThreshold = *threshold;
                haveThreshold = true;
            } else if (option == QLatin1String("--isotherms") && request.isotherms.isEmpty() &&
                       !value.isEmpty()) {
                request.isotherms = value;
            } else if (option == QLatin1String("--annotations") &&
                       request.annotationFile.isEmpty() && !value.isEmpty()) {
                request.annotationFile = value;
                request.contents.marks = true;
            } else {
                return {};
            }
        }
    }
    if (files.size() != 2) return {};
    request.chart = files[0];
    request.output = files[1];
    return request;
}

} // namespace

int exportChart(const QStringList& args, QTextStream& /*out*/, QTextStream& err) {
    std::optional<ExportRequest> request = readExportRequest(args);
    if (!request) return usage(err, "export");
    const std::optional<exports::ExportFormat> format = exports::exportFormatOf(request->output);
    if (!format) {
        reportError(err, request->output, exports::unknownFormatText());
        return 2;
    }
    if (request->contents.temperatureGrid && *format != exports::ExportFormat::GeoTiff) {
        reportError(err, request->output, QStringLiteral("--temperature is only for a .tif"));
        return 2;
    }

    TGIFImage image;
    exports::ChartSource source;
    source.path = request->chart;
    if (!loadChart(source.path, image, source.bitmap, err)) return 1;
    if (!chartCalibration(source.path, err)) return 1;
    const geo::ChartMetadata metadata = chartMetadata(image);
    const geo::ScaleRange range =
        geo::chartScaleRange(metadata, {geo::ScaleMinInitial, geo::ScaleMaxInitial});
    if (!request->isotherms.isEmpty()) {
        request->contents.isotherms =
            geo::isothermTemperatures(request->isotherms, range.min, range.max);
        if (request->contents.isotherms.empty()) {
            reportError(err, request->isotherms,
                        QStringLiteral("the isotherms must be temperatures within %1 to %2 F, "
                                       "such as \"68,70,72\" or \"every 2\"")
                            .arg(range.min)
                            .arg(range.max));
            return 2;
        }
    }
    geo::Annotations annotations;
    if (!request->annotationFile.isEmpty() &&
        !readAnnotationFile(request->annotationFile, annotations, err))
        return 1;

    const geo::ChartTemperatures temperatures = chartTemperatures(image, source.bitmap);
    source.area = geo::chartAreaOfFile(source.path);
    source.timestamp = metadata.timestamp;
    source.temperatures = &temperatures;
    source.archiveFolder = app::archiveFolderFor(platform::QtDesktop().documentsFolder());
    source.drawMarks = [&](const QImage& picture, bool withAnnotations, bool /*markers*/) {
        return composedChart(source.path, picture,
                             withAnnotations ? annotations : geo::Annotations(), 0.0, 0.0, {});
    };
    QString error;
    if (!exports::exportChart(request->output, source, request->contents, &error)) {
        reportError(err, request->output, error);
        return 1;
    }
    return 0;
}

} // namespace cli
