#include "cli/ChartFiles.h"

#include "app/AnnotatedImage.h"
#include "app/ChartDisplay.h"
#include "app/RegistryVariables.h"
#include "geo/AreaStuff.h"
#include "geo/Palette.h"
#include "geo/TemperatureBreaks.h"
#include "gif/GIFImage.h"
#include "platform/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTextStream>

#include <algorithm>

// The resource's initialiser is declared at global scope, so it is called from there.
static void initProgramResources() {
    Q_INIT_RESOURCE(thalwise);
}

namespace cli {

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

geo::ChartMetadata chartMetadata(const TGIFImage& image) {
    return geo::readChartMetadata(gif::firstFrameCommentTexts(image));
}

geo::TemperatureScale chartScale(const TGIFImage& image, std::optional<int> scaleMin,
                                 std::optional<int> scaleMax) {
    const geo::ScaleRange range =
        geo::chartScaleRange(chartMetadata(image), {geo::ScaleMinInitial, geo::ScaleMaxInitial});
    geo::TemperatureScale scale;
    scale.TempScaleChange(geo::TemperatureScale::BuildScaleBitmap(geo::builtinPaletteText()),
                          scaleMin.value_or(range.min), scaleMax.value_or(range.max));
    return scale;
}

bool isTheChartItself(const QString& output, const QString& chartPath, QTextStream& err) {
    if (app::saveAsRefusal(output, chartPath, QString()) != app::SaveAsRefusal::IsShownChart)
        return false;
    reportError(err, output, QStringLiteral("the chart itself cannot be replaced"));
    return true;
}

bool writeChartPicture(const QImage& picture, const QImage& chart, const TGIFImage& image,
                       const QString& output, QTextStream& err) {
    QString error;
    if (app::writeAnnotatedImage(picture, chart,
                                 app::scaleMetadataLines(gif::firstFrameCommentTexts(image)),
                                 output, &error))
        return true;
    reportError(err, output, error);
    return false;
}

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

void addAnnotationsOption(CommandLine& line) {
    line.addValue(QStringLiteral("annotations"), QStringLiteral("FILE.ini"),
                  QStringLiteral("Draw the lines and texts of this area file."));
}

void addThresholdOption(CommandLine& line) {
    line.addValue(QStringLiteral("threshold"), QStringLiteral("F_PER_NM"),
                  QStringLiteral("The least gradient drawn as a break (default %1 F per NM).")
                      .arg(fixed(geo::DefaultBreakThreshold, 1)));
}

std::optional<double> readThreshold(const QString& text, QString* why) {
    const std::optional<double> value = geo::readBreakThreshold(text);
    if (!value)
        *why = QStringLiteral("%1: the threshold must be a number of %2 to %3 F per NM")
                   .arg(text, fixed(geo::LowestBreakThreshold, 2),
                        fixed(geo::HighestBreakThreshold, 0));
    return value;
}

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
    // The marker icon the window draws, from the program's resources.
    initProgramResources();
    overlays.markerIcon = QImage(QStringLiteral(":/WPT"));
    return display::RepaintChart(chart.convertToFormat(QImage::Format_RGB32), overlays);
}

QString archiveFolderArgument(const QString& folder) {
    QString native = QDir::toNativeSeparators(QDir(folder).absolutePath());
    if (!native.endsWith(QDir::separator())) native += QDir::separator();
    return native;
}

namespace {

// "latitude 41.49 to 43.00, longitude -71.06 to -69.00": the positions of the chart's corner
// pixels, the places a position must lie within to be read on it.
QString chartBounds(const geo::Calibration& calibration, const QImage& chart) {
    float northLat = 0.0f, westLon = 0.0f, southLat = 0.0f, eastLon = 0.0f;
    PixelToGeo(calibration, 0, 0, northLat, westLon);
    PixelToGeo(calibration, chart.width() - 1, chart.height() - 1, southLat, eastLon);
    return QStringLiteral("latitude %1 to %2, longitude %3 to %4")
        .arg(fixed(std::min(northLat, southLat), 3), fixed(std::max(northLat, southLat), 3),
             fixed(std::min(westLon, eastLon), 3), fixed(std::max(westLon, eastLon), 3));
}

} // namespace

std::optional<ChartReading> readChartAt(const QString& path, const ChartPlace& place,
                                        QTextStream& err) {
    TGIFImage image;
    QImage chart;
    if (!loadChart(path, image, chart, err)) return std::nullopt;
    // The window samples its base bitmap, the chart picture as 32-bit RGB.
    chart = chart.convertToFormat(QImage::Format_RGB32);

    const std::optional<geo::Calibration> found = chartCalibration(path, err);
    if (!found) return std::nullopt;
    const geo::Calibration& calibration = *found;

    ChartReading reading;
    // The position as typed, without trailing zeros.
    const QString position = QStringLiteral("%1,%2").arg(
        QLocale::c().toString(double(place.position.latitude), 'g', 7),
        QLocale::c().toString(double(place.position.longitude), 'g', 7));
    if (place.pixel) {
        reading.x = place.pixel->x();
        reading.y = place.pixel->y();
    } else if (!GeoToPixel(calibration, place.position.latitude, place.position.longitude,
                           reading.x, reading.y)) {
        reportError(err, path,
                    QStringLiteral("the position %1 maps to no pixel; the chart covers %2")
                        .arg(position, chartBounds(calibration, chart)));
        return std::nullopt;
    }
    if (reading.x < 0 || reading.y < 0 || reading.x >= chart.width() ||
        reading.y >= chart.height()) {
        QString message = QStringLiteral("pixel %1,%2 is outside the chart (%3 x %4)")
                              .arg(reading.x)
                              .arg(reading.y)
                              .arg(chart.width())
                              .arg(chart.height());
        if (!place.pixel)
            message += QStringLiteral("; the position %1 is off the chart, which covers %2")
                           .arg(position, chartBounds(calibration, chart));
        reportError(err, path, message);
        return std::nullopt;
    }
    // A valid calibration always maps a pixel back.
    PixelToGeo(calibration, reading.x, reading.y, reading.latitude, reading.longitude);

    const geo::TemperatureScale scale = chartScale(image, place.scaleMin, place.scaleMax);
    reading.temperature = scale.TemperatureAtPixel(chart, reading.x, reading.y);
    return reading;
}

QString temperatureText(float temperature) {
    return temperature == 0.0f ? QStringLiteral("none") : fixed(temperature, 1);
}

} // namespace cli
