// The chart as a GeoTIFF in Web Mercator, through libtiff and libgeotiff: the chart's spherical
// Mercator rows map onto EPSG:3857 by a scale and an offset, so the picture goes out pixel for
// pixel with that transform and nothing is resampled.
#include "export/GeoTiffWriter.h"

#include "export/TemporaryOutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <geotiff/geotiff.h>
#include <geotiff/geovalues.h>
#include <geotiff/xtiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace exports {
namespace {

// GDAL's tags: its metadata (an XML text that carries a band's unit and description) and the
// value that marks "no data" in a band, as ASCII text.
constexpr ttag_t GdalMetadataTag = 42112;
constexpr ttag_t GdalNoDataTag = 42113;

// The first error libtiff reports while writing, kept for the message.
int keepTiffError(TIFF*, void* userData, const char*, const char* format, va_list args) {
    auto* message = static_cast<QString*>(userData);
    if (message->isEmpty()) {
        char text[512];
        std::vsnprintf(text, sizeof text, format, args);
        *message = QString::fromLocal8Bit(text);
    }
    return 1; // handled: nothing on stderr
}

// Keeps a TIFF open for writing and closes it in every case.
struct TiffFile {
    TIFF* tif = nullptr;
    TIFFOpenOptions* options = nullptr;
    ~TiffFile() {
        if (tif) XTIFFClose(tif);
        if (options) TIFFOpenOptionsFree(options);
    }
};

// GDAL's metadata for the temperature band: what it holds and in which unit.
QByteArray temperatureBandMetadata(bool celsius) {
    return QByteArrayLiteral("<GDALMetadata>"
                             "<Item name=\"DESCRIPTION\" sample=\"0\" role=\"description\">"
                             "Sea surface temperature</Item>"
                             "<Item name=\"UNITTYPE\" sample=\"0\" role=\"unittype\">") +
           (celsius ? QStringLiteral("\u00B0C") : QStringLiteral("\u00B0F")).toUtf8() +
           QByteArrayLiteral("</Item></GDALMetadata>");
}

bool writeTags(TIFF* tif, const ChartGeoreference& chart, const ExportLayers& layers,
               GeoTiffContent content) {
    bool ok = TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, std::uint32_t(chart.width)) &&
              TIFFSetField(tif, TIFFTAG_IMAGELENGTH, std::uint32_t(chart.height)) &&
              TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
              // Deflate at its fastest: as quick as LZW here, and half the file.
              TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE) &&
              TIFFSetField(tif, TIFFTAG_ZIPQUALITY, 1);
    if (content == GeoTiffContent::Picture) {
        ok = ok && TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8) &&
             TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3) &&
             TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    } else {
        static const TIFFFieldInfo gdalTags[] = {{GdalMetadataTag, -1, -1, TIFF_ASCII, FIELD_CUSTOM,
                                                  true, false, const_cast<char*>("GDALMetadata")},
                                                 {GdalNoDataTag, -1, -1, TIFF_ASCII, FIELD_CUSTOM,
                                                  true, false,
                                                  const_cast<char*>("GDALNoDataValue")}};
        const QByteArray metadata = temperatureBandMetadata(layers.celsius);
        ok = ok && TIFFMergeFieldInfo(tif, gdalTags, 2) == 0 &&
             TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 32) &&
             TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP) &&
             TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1) &&
             TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK) &&
             TIFFSetField(tif, GdalMetadataTag, metadata.constData()) &&
             // The grid holds NaN where the chart shows no water: 0 is a temperature in °C.
             TIFFSetField(tif, GdalNoDataTag, "nan");
    }
    ok = ok && TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    const QByteArray description =
        QStringLiteral("Sea surface temperature chart %1").arg(chart.name).toUtf8();
    ok = ok && TIFFSetField(tif, TIFFTAG_IMAGEDESCRIPTION, description.constData()) &&
         TIFFSetField(tif, TIFFTAG_SOFTWARE, "Thalwise");
    if (chart.chartTime.isValid()) {
        const QByteArray time = chart.chartTime.toUTC().toString(u"yyyy:MM:dd HH:mm:ss").toLatin1();
        ok = ok && TIFFSetField(tif, TIFFTAG_DATETIME, time.constData());
    }

    // The top left corner of the top left pixel, and the size of a pixel, in Web Mercator
    // metres; rows run south.
    double scale[3] = {chart.webMercatorPixelWidth(), chart.webMercatorPixelHeight(), 0.0};
    double tiepoint[6] = {0.0, 0.0, 0.0, webMercatorX(chart.west()), webMercatorY(chart.north()),
                          0.0};
    ok = ok && TIFFSetField(tif, TIFFTAG_GEOPIXELSCALE, 3, scale) &&
         TIFFSetField(tif, TIFFTAG_GEOTIEPOINTS, 6, tiepoint);
    if (!ok) return false;

    GTIF* gtif = GTIFNew(tif);
    if (!gtif) return false;
    ok = GTIFKeySet(gtif, GTModelTypeGeoKey, TYPE_SHORT, 1, ModelTypeProjected) &&
         GTIFKeySet(gtif, GTRasterTypeGeoKey, TYPE_SHORT, 1, RasterPixelIsArea) &&
         GTIFKeySet(gtif, GTCitationGeoKey, TYPE_ASCII, 0, "WGS 84 / Pseudo-Mercator") &&
         GTIFKeySet(gtif, ProjectedCSTypeGeoKey, TYPE_SHORT, 1, 3857) &&
         GTIFKeySet(gtif, ProjLinearUnitsGeoKey, TYPE_SHORT, 1, Linear_Meter) &&
         GTIFWriteKeys(gtif);
    GTIFFree(gtif);
    return ok;
}

bool writeRows(TIFF* tif, const ChartGeoreference& chart, const ExportLayers& layers,
               GeoTiffContent content) {
    if (content == GeoTiffContent::Temperature) {
        std::vector<float> row(std::size_t(chart.width));
        for (int y = 0; y < chart.height; ++y) {
            // libtiff may code the row in place, so it gets a copy.
            std::copy_n(layers.temperature.begin() + std::ptrdiff_t(y) * chart.width, chart.width,
                        row.begin());
            if (TIFFWriteScanline(tif, row.data(), std::uint32_t(y), 0) < 0) return false;
        }
        return true;
    }
    const QImage rgb = layers.picture.convertToFormat(QImage::Format_RGB888);
    std::vector<std::uint8_t> row(std::size_t(chart.width) * 3);
    for (int y = 0; y < chart.height; ++y) {
        std::copy_n(rgb.constScanLine(y), row.size(), row.begin());
        if (TIFFWriteScanline(tif, row.data(), std::uint32_t(y), 0) < 0) return false;
    }
    return true;
}

} // namespace

bool writeGeoTiff(const QString& path, const ChartGeoreference& chart, const ExportLayers& layers,
                  GeoTiffContent content, QString* error) {
    const auto fail = [error](const QString& reason) {
        if (error) *error = reason;
        return false;
    };
    if (content == GeoTiffContent::Picture && !canPlacePicture(chart, layers, error)) return false;
    if (!chart.isValid())
        return fail(QCoreApplication::translate("exports", "The chart's area has no calibration"));
    if (content == GeoTiffContent::Temperature &&
        layers.temperature.size() != std::size_t(chart.width) * std::size_t(chart.height))
        return fail(
            QCoreApplication::translate("exports", "There is no temperature grid of the chart"));

    TemporaryOutput output(path);
    if (!output.open(error)) return false;
    QString tiffError;
    {
        TiffFile file;
        XTIFFInitialize(); // libgeotiff's tags, for the transform
        file.options = TIFFOpenOptionsAlloc();
        if (file.options)
            TIFFOpenOptionsSetErrorHandlerExtR(file.options, keepTiffError, &tiffError);
        file.tif = TIFFOpenExt(QFile::encodeName(output.path()).constData(), "w", file.options);
        const bool written = file.tif && writeTags(file.tif, chart, layers, content) &&
                             writeRows(file.tif, chart, layers, content) &&
                             TIFFFlush(file.tif) == 1;
        if (!written) {
            if (tiffError.isEmpty())
                tiffError = QCoreApplication::translate("exports", "the TIFF could not be made");
            return fail(QCoreApplication::translate("exports", "Cannot write %1: %2")
                            .arg(QDir::toNativeSeparators(path), tiffError));
        }
    }
    if (!tiffError.isEmpty())
        return fail(QCoreApplication::translate("exports", "Cannot write %1: %2")
                        .arg(QDir::toNativeSeparators(path), tiffError));
    return output.commit(error);
}

} // namespace exports
