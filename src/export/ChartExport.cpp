#include "export/ChartExport.h"

#include "app/AnnotatedImage.h"
#include "app/ChartDisplay.h"
#include "archive/ChartIntake.h"
#include "export/GeoTiffWriter.h"
#include "export/KapWriter.h"
#include "export/KmzWriter.h"
#include "export/MbtilesWriter.h"
#include "geo/BreakLines.h"
#include "geo/ChartTemperatures.h"
#include "geo/Gpx.h"
#include "geo/Isotherms.h"
#include "geo/TemperatureScale.h"
#include "geo/ThalwiseUtils.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cmath>
#include <filesystem>
#include <limits>
#include <system_error>

namespace exports {

namespace {

const QString& Gpx11 = geo::Gpx11Namespace;

struct FormatRow {
    ExportFormat format;
    const char* suffixes[2];
    const char* description;
};

const FormatRow Formats[] = {
    {ExportFormat::Gpx,
     {"gpx", nullptr},
     QT_TRANSLATE_NOOP("ChartExport", "GPX tracks for a chart plotter")},
    {ExportFormat::Kap, {"kap", nullptr}, QT_TRANSLATE_NOOP("ChartExport", "KAP raster chart")},
    {ExportFormat::Mbtiles,
     {"mbtiles", nullptr},
     QT_TRANSLATE_NOOP("ChartExport", "MBTiles raster tiles")},
    {ExportFormat::GeoTiff, {"tif", "tiff"}, QT_TRANSLATE_NOOP("ChartExport", "GeoTIFF picture")},
    {ExportFormat::Kmz, {"kmz", nullptr}, QT_TRANSLATE_NOOP("ChartExport", "KMZ for Google Earth")},
};

const FormatRow& rowOf(ExportFormat format) {
    for (const FormatRow& row : Formats)
        if (row.format == format) return row;
    return Formats[0];
}

std::filesystem::path fileSystemPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// Whether two names reach the same file or folder as the file system sees it (links followed,
// its own letter-case rule, hard links). False when either does not exist.
bool sameOnDisk(const QString& a, const QString& b) {
    std::error_code failed;
    const bool same = std::filesystem::equivalent(fileSystemPath(a), fileSystemPath(b), failed);
    return same && !failed;
}

// Whether a name lies in the folder as the file system sees it: one of the folders above the
// name that exist is the folder itself.
bool liesInOnDisk(const QString& output, const QString& folder) {
    QString above = QFileInfo(QDir::cleanPath(QDir::fromNativeSeparators(output))).absolutePath();
    for (;;) {
        if (sameOnDisk(above, folder)) return true;
        const QString parent = QFileInfo(above).absolutePath();
        if (parent == above) return false;
        above = parent;
    }
}

// The temperature as a plotter shows it: whole degrees when whole, else one decimal.
QString degreesText(float fahrenheit) {
    const double rounded = std::nearbyint(fahrenheit * 10.0) / 10.0; // halves to even
    const int decimals = rounded == std::nearbyint(rounded) ? 0 : 1;
    return geo::formatFixed(rounded == 0.0 ? 0.0 : rounded, decimals, QLocale::c());
}

// ", chart of 2026-12-01 12:00 UTC", or nothing for a chart without a date.
QString chartDateText(const ChartGeoreference& chart) {
    if (!chart.chartTime.isValid()) return QString();
    return QStringLiteral(", chart of ") +
           chart.chartTime.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm")) +
           QStringLiteral(" UTC");
}

// The name a plotter shows, at most length characters, never cut within a surrogate pair.
QString cutName(const QString& name, int length) {
    if (name.size() <= length) return name;
    qsizetype end = std::max(length, 0);
    if (end > 0 && name.at(end - 1).isHighSurrogate()) --end;
    return name.left(end);
}

// Copies the elements named element among the root's children of a GPX 1.1 document into xml,
// names within maxNameLength when that is not negative. The whitespace between elements is left
// to xml's own formatting.
void copyGpxChildren(QXmlStreamWriter& xml, const QByteArray& document, QLatin1String element,
                     int maxNameLength) {
    QXmlStreamReader reader(document);
    int depth = 0;
    bool copying = false;
    while (!reader.atEnd() && !reader.hasError()) {
        reader.readNext();
        if (reader.isStartElement()) {
            ++depth;
            if (depth == 2) copying = reader.name() == element;
            if (!copying) continue;
            if (depth == 3 && maxNameLength >= 0 && reader.name() == QLatin1String("name")) {
                const QString name = reader.readElementText(); // leaves the reader on its end
                --depth;
                xml.writeTextElement(Gpx11, QStringLiteral("name"), cutName(name, maxNameLength));
                continue;
            }
            xml.writeCurrentToken(reader);
        } else if (reader.isEndElement()) {
            if (copying) xml.writeCurrentToken(reader);
            if (depth == 2) copying = false;
            --depth;
        } else if (copying && reader.isCharacters() && !reader.isWhitespace()) {
            xml.writeCurrentToken(reader);
        }
    }
}

bool isPictureFormat(ExportFormat format) {
    return format == ExportFormat::Kap || format == ExportFormat::Mbtiles ||
           format == ExportFormat::GeoTiff;
}

} // namespace

std::optional<ExportFormat> exportFormatOf(const QString& output) {
    const QString suffix = QFileInfo(output).suffix();
    for (const FormatRow& row : Formats)
        for (const char* known : row.suffixes)
            if (known && suffix.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)
                return row.format;
    return std::nullopt;
}

QString unknownFormatText() {
    return QCoreApplication::translate(
        "ChartExport",
        "The file name names no export format: it must end in .gpx, .kap, .mbtiles, .tif, "
        ".tiff or .kmz.");
}

QString formatFilter(ExportFormat format) {
    const FormatRow& row = rowOf(format);
    QStringList masks;
    for (const char* suffix : row.suffixes)
        if (suffix) masks.append(QStringLiteral("*.") + QLatin1String(suffix));
    return QCoreApplication::translate("ChartExport", row.description) + QStringLiteral(" (") +
           masks.join(u' ') + QStringLiteral(")|") + masks.join(u';') + QStringLiteral("|") +
           QCoreApplication::translate("ChartExport", "All files (*.*)") + QStringLiteral("|*.*");
}

QString formatSuffix(ExportFormat format) {
    return QLatin1String(rowOf(format).suffixes[0]);
}

std::optional<QString> refusedOutput(const QString& output, const QString& chartPath,
                                     const QString& archiveFolder) {
    const app::SaveAsRefusal byName = app::saveAsRefusal(output, chartPath, archiveFolder);
    // Quirk "export-chart-by-identity": the chart is recognised as the file it is, not only by
    // its name: on a folder that ignores letter case another spelling is the chart, and a hard
    // link is the chart under another name.
    if (byName == app::SaveAsRefusal::IsShownChart ||
        (!chartPath.isEmpty() && sameOnDisk(output, chartPath)))
        return QCoreApplication::translate(
            "ChartExport",
            "The chart itself cannot be replaced by an export. Choose another file name.");
    if (byName == app::SaveAsRefusal::InArchiveFolder ||
        (!archiveFolder.isEmpty() && liesInOnDisk(output, archiveFolder)))
        return QCoreApplication::translate(
            "ChartExport",
            "Exports cannot be written in the chart archive, where nothing but charts "
            "belongs. Choose another folder.");
    return std::nullopt;
}

const std::vector<PlotterProfile>& plotterProfiles() {
    // Points per track, points in all and name lengths are those of the older models of each
    // make, so that the newer ones take the file too. Track counts: the Garmin GPSMAP 172 and
    // 182 owner's manuals give 15 saved tracks of up to 500 points each; the count of 50 for
    // today's plotters of every make is a guess (their manuals were not at hand): a plotter
    // that holds more takes the file all the same. Chart software takes any number; the 1000
    // only keeps the file to a size a phone opens.
    static const std::vector<PlotterProfile> profiles = {
        {"garmin", QT_TRANSLATE_NOOP("ChartExport", "Garmin"), 50, 500, 10000, 14},
        {"garmin-older", QT_TRANSLATE_NOOP("ChartExport", "Garmin, older models (15 tracks)"), 15,
         500, 7500, 14},
        {"lowrance", QT_TRANSLATE_NOOP("ChartExport", "Lowrance, Simrad, B&G"), 50, 3000, 30000,
         15},
        {"raymarine", QT_TRANSLATE_NOOP("ChartExport", "Raymarine"), 50, 1000, 15000, 16},
        {"humminbird", QT_TRANSLATE_NOOP("ChartExport", "Humminbird"), 50, 2000, 20000, 8},
        {"software", QT_TRANSLATE_NOOP("ChartExport", "Chart software or phone app"), 1000, 20000,
         200000, 40},
    };
    return profiles;
}

std::optional<int> plotterProfileOf(const QString& key) {
    const std::vector<PlotterProfile>& profiles = plotterProfiles();
    for (std::size_t i = 0; i < profiles.size(); ++i)
        if (key.compare(QLatin1String(profiles[i].key), Qt::CaseInsensitive) == 0) return int(i);
    return std::nullopt;
}

ChartGeoreference chartDescription(const ChartSource& source) {
    ChartGeoreference chart =
        chartGeoreference(source.area, source.bitmap.width(), source.bitmap.height());
    chart.name = QFileInfo(source.path).completeBaseName().toUpper();
    chart.source = source.source;
    // The time stamp reads as local time, as the chart's age in the window does.
    if (const std::optional<QDateTime> time = archive::chartTimeOf(source.timestamp))
        chart.chartTime = time->toUTC();
    return chart;
}

QString breakTrackName(float strength) {
    return QStringLiteral("Break ") + geo::formatFixed(strength, 1, QLocale::c()) +
           QStringLiteral("F/NM");
}

QString isothermTrackName(float temperature) {
    return degreesText(temperature) + QStringLiteral("F");
}

std::optional<float> waterTemperatureAt(const geo::TemperatureScale& scale, const QImage& chart,
                                        const geo::TemperatureField& field, int x, int y) {
    if (x < 0 || y < 0 || x >= chart.width() || y >= chart.height()) return std::nullopt;
    const QRgb colour = chart.pixel(x, y);
    if (!geo::countsTowardsTemperature(qRed(colour), qGreen(colour), qBlue(colour)))
        return std::nullopt;
    const std::size_t area = std::size_t(chart.width()) * std::size_t(chart.height());
    const std::size_t i = std::size_t(y) * std::size_t(chart.width()) + std::size_t(x);
    const bool sameSize = field.width == chart.width() && field.height == chart.height() &&
                          field.values.size() == area && field.clean.size() == area;
    if (sameSize && field.clean[i] && field.values[i] != 0.0f) return field.values[i];
    const float own = scale.TemperatureOfAverage(qRed(colour), qGreen(colour), qBlue(colour));
    if (own == 0.0f) return std::nullopt; // hue 0: the scale reads no temperature
    return own;
}

std::vector<float> waterTemperatureGrid(const geo::TemperatureScale& scale, const QImage& chart,
                                        const geo::TemperatureField& field, bool celsius) {
    const QImage rgb = chart.convertToFormat(QImage::Format_RGB32);
    std::vector<float> grid(std::size_t(rgb.width()) * std::size_t(rgb.height()),
                            std::numeric_limits<float>::quiet_NaN());
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            if (const std::optional<float> t = waterTemperatureAt(scale, rgb, field, x, y))
                grid[std::size_t(y) * std::size_t(rgb.width()) + std::size_t(x)] =
                    celsius ? float(geo::celsiusFromFahrenheit(*t)) : *t;
    return grid;
}

ExportLayers exportLayers(const ChartSource& source, const ChartGeoreference& chart,
                          const ExportContents& contents, ExportFormat format) {
    ExportLayers layers;
    // The pointer reads the chart as 32-bit RGB.
    const QImage base = source.bitmap.convertToFormat(QImage::Format_RGB32);
    const bool needsField =
        source.temperatures &&
        (contents.breaks || !contents.isotherms.empty() || contents.temperatureGrid);
    geo::TemperatureField field;
    if (needsField) field = source.temperatures->field();

    std::vector<geo::BreakLine> breaks;
    std::vector<geo::Isotherm> isotherms;
    if (needsField && contents.breaks)
        breaks = geo::findBreakLines(field, chart.calibration, contents.breakThreshold);
    if (needsField && !contents.isotherms.empty())
        isotherms = geo::findIsotherms(field, contents.isotherms);

    const QString date = chartDateText(chart);
    for (const geo::BreakLine& line : breaks) {
        if (line.points.size() < 2) continue;
        layers.lines.push_back({breakTrackName(line.strength),
                                QStringLiteral("Temperature break ") +
                                    geo::formatFixed(line.strength, 1, QLocale::c()) +
                                    QStringLiteral(" \u00B0F/NM") + date,
                                {line.points},
                                geo::TrackKind::Break,
                                line.strength});
    }
    // One track per temperature, a piece per line of it: a plotter lists "55F" once.
    for (const geo::Isotherm& isotherm : isotherms) {
        geo::TrackLine track{isothermTrackName(isotherm.temperature),
                             QStringLiteral("Isotherm ") + degreesText(isotherm.temperature) +
                                 QStringLiteral(" \u00B0F") + date,
                             {},
                             geo::TrackKind::Isotherm,
                             isotherm.temperature};
        for (const geo::IsothermLine& line : isotherm.lines)
            if (line.points.size() >= 2) track.pieces.push_back(line.points);
        if (!track.pieces.empty()) layers.lines.push_back(std::move(track));
    }

    if (contents.picture && format != ExportFormat::Gpx) {
        // The lines and the isotherms' labels as the window draws them: one pixel wide, never
        // blended into a water colour, isotherms in their own colour over the breaks.
        display::Overlays overlays;
        overlays.breakLines = &breaks;
        overlays.isotherms = &isotherms;
        const std::vector<display::IsothermLabel> labels = display::isothermLabels(isotherms);
        overlays.isothermLabels = &labels;
        overlays.celsius = contents.celsius;
        QImage picture = display::RepaintChart(base, overlays);
        // Formats without points of their own show the waypoints as the window marks them.
        const bool markers = contents.waypoints && isPictureFormat(format);
        if (source.drawMarks && (contents.marks || markers))
            picture = source.drawMarks(picture, contents.marks, markers);
        layers.picture = picture;
    }
    if (contents.temperatureGrid && source.temperatures) {
        // A chart made from data knows which pixels are water: those with a value of their own.
        if (source.temperatures->fromData()) {
            layers.temperature.assign(field.values.size(), std::numeric_limits<float>::quiet_NaN());
            for (std::size_t i = 0; i < field.values.size() && i < field.clean.size(); ++i)
                if (field.clean[i])
                    layers.temperature[i] =
                        contents.celsius ? float(geo::celsiusFromFahrenheit(field.values[i]))
                                         : field.values[i];
        } else {
            layers.temperature = waterTemperatureGrid(source.temperatures->scale(), base, field,
                                                      contents.celsius);
        }
        layers.celsius = contents.celsius;
    }
    if (contents.waypoints) {
        layers.waypoints = source.waypoints;
        layers.home = source.home;
    }
    return layers;
}

namespace {

// What fitting the lines to a plotter cost, in the user's words.
ExportReport gpxTrackReportText(const geo::GpxTrackReport& cost, const PlotterProfile& profile) {
    ExportReport report;
    if (cost.tracks == 0) return report;
    const QLocale c = QLocale::c();
    const QString metres = c.toString(std::nearbyint(cost.largestShiftMetres), 'f', 0);
    const QString pixels = c.toString(cost.largestShiftPixels, 'f', 1);
    const QString plotter = QCoreApplication::translate("ChartExport", profile.name);
    report.summary =
        QCoreApplication::translate("ChartExport", "%1 tracks for %2; thinning to its points moved "
                                                   "the lines by up to %3 m (%4 chart pixels).")
            .arg(cost.tracks)
            .arg(plotter, metres, pixels);
    // A line the plotter draws more than a pixel off the chart's line is no longer the line
    // the user saw.
    if (cost.largestShiftPixels > 1.0)
        report.warnings.append(
            QCoreApplication::translate(
                "ChartExport",
                "Thinning the lines to the %1's points moved them by up to %2 m, %3 chart "
                "pixels, off the lines on the chart. Fewer isotherms, or chart software, keep "
                "them in place.")
                .arg(plotter, metres, pixels));
    if (cost.breaksLeftOut > 0)
        report.warnings.append(
            QCoreApplication::translate("ChartExport",
                                        "Break lines left out to fit the %1's %2 tracks: %3, "
                                        "the weakest (%4 \u00B0F/NM and below).")
                .arg(plotter)
                .arg(profile.maxTracks)
                .arg(cost.breaksLeftOut)
                .arg(geo::formatFixed(cost.strongestLeftOut, 1, c)));
    if (cost.piecesLeftOut > 0)
        report.warnings.append(
            QCoreApplication::translate("ChartExport",
                                        "Pieces of lines left out to stay within the %1's "
                                        "points: %2, each shorter than %3 m.")
                .arg(plotter)
                .arg(cost.piecesLeftOut)
                .arg(c.toString(std::nearbyint(cost.tolerance), 'f', 0)));
    return report;
}

} // namespace

std::optional<QByteArray> gpxExportDocument(const ChartGeoreference& chart,
                                            const ExportLayers& layers,
                                            const PlotterProfile& profile, QString* error,
                                            ExportReport* report) {
    geo::GpxTrackOptions options;
    options.maxTracks = profile.maxTracks;
    options.maxPointsPerTrack = profile.maxPointsPerTrack;
    options.maxPointsInAll = profile.maxPointsInAll;
    options.maxNameLength = profile.maxNameLength;
    options.chartTime = chart.chartTime;
    geo::GpxTrackReport cost;
    const std::optional<QByteArray> tracks =
        geo::gpxTracksDocument(chart.calibration, layers.lines, options, error, &cost);
    if (!tracks) return std::nullopt;
    if (report) *report = gpxTrackReportText(cost, profile);
    if (layers.waypoints.empty() && !layers.home) return tracks;

    // The waypoints as the waypoint export writes them (home first, "WPT01", ...), their route
    // left out: the plotter gets the points, the trip is the user's to plan.
    QStringList waypointTexts;
    for (const Waypoint& waypoint : layers.waypoints)
        waypointTexts.append(WaypointText(waypoint, WaypointPrecision::Given));
    const QByteArray points = geo::gpxDocument(waypointTexts, layers.home ? layers.home->lat : 0.0,
                                               layers.home ? layers.home->lon : 0.0);

    // GPX 1.1 keeps this order: metadata, wpt, rte, trk.
    QByteArray document;
    QXmlStreamWriter xml(&document);
    geo::startGpx11Document(xml, true);
    copyGpxChildren(xml, *tracks, QLatin1String("metadata"), -1);
    copyGpxChildren(xml, points, QLatin1String("wpt"), profile.maxNameLength);
    copyGpxChildren(xml, *tracks, QLatin1String("trk"), -1);
    xml.writeEndElement();
    xml.writeEndDocument();
    return document;
}

bool writeGpxTracks(const QString& path, const ChartGeoreference& chart, const ExportLayers& layers,
                    const PlotterProfile& profile, QString* error, ExportReport* report) {
    const std::optional<QByteArray> document =
        gpxExportDocument(chart, layers, profile, error, report);
    return document && geo::writeGpxDocument(path, *document, error);
}

bool exportChart(const QString& output, const ChartSource& source, const ExportContents& contents,
                 QString* error, ExportReport* report) {
    auto fail = [error](const QString& reason) {
        if (error) *error = reason;
        return false;
    };
    if (const std::optional<QString> refusal =
            refusedOutput(output, source.path, source.archiveFolder))
        return fail(*refusal);
    const std::optional<ExportFormat> format = exportFormatOf(output);
    if (!format) return fail(unknownFormatText());
    if (contents.temperatureGrid && *format != ExportFormat::GeoTiff)
        return fail(QCoreApplication::translate(
            "ChartExport", "The temperature grid goes only into a GeoTIFF (.tif)."));
    if ((contents.temperatureGrid || contents.breaks || !contents.isotherms.empty()) &&
        !source.temperatures)
        return fail(
            QCoreApplication::translate("ChartExport", "The chart's temperatures cannot be read."));
    if (*format == ExportFormat::Gpx && !contents.breaks && contents.isotherms.empty() &&
        !contents.waypoints)
        return fail(QCoreApplication::translate(
            "ChartExport",
            "Nothing to put in the GPX file: choose breaks, isotherms or waypoints."));
    if (*format != ExportFormat::Gpx && !contents.temperatureGrid && !contents.picture)
        return fail(QCoreApplication::translate(
            "ChartExport",
            "A KAP, MBTiles, GeoTIFF or KMZ file is the chart picture and cannot leave it out."));
    const ChartGeoreference chart = chartDescription(source);
    if (!chart.isValid())
        return fail(QCoreApplication::translate(
            "ChartExport", "The chart's area has no calibration, so the chart has no place on the "
                           "earth."));

    const ExportLayers layers = exportLayers(source, chart, contents, *format);
    const std::vector<PlotterProfile>& profiles = plotterProfiles();
    const bool knownProfile =
        contents.plotterProfile >= 0 && contents.plotterProfile < int(profiles.size());
    switch (*format) {
    case ExportFormat::Gpx:
        return writeGpxTracks(output, chart, layers,
                              profiles[knownProfile ? contents.plotterProfile : 0], error, report);
    case ExportFormat::Kap:
        return writeKap(output, chart, layers, error);
    case ExportFormat::Mbtiles:
        return writeMbtiles(output, chart, layers, error);
    case ExportFormat::GeoTiff:
        return writeGeoTiff(output, chart, layers,
                            contents.temperatureGrid ? GeoTiffContent::Temperature
                                                     : GeoTiffContent::Picture,
                            error);
    case ExportFormat::Kmz:
        return writeKmz(output, chart, layers, error);
    }
    return false;
}

} // namespace exports
