// The chart as raster MBTiles: PNG tiles of the Web Mercator tile pyramid in an SQLite file.
#include "export/MbtilesWriter.h"

#include "export/TemporaryOutput.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace exports {

namespace {

constexpr int TileSize = 256;
// The width of the Web Mercator world in metres; the tile pyramid's zoom z cuts it into 2^z
// tiles each way, the origin at its north-west corner.
constexpr double WorldWidth = 2.0 * std::numbers::pi * WebMercatorRadius;
constexpr int DeepestZoom = 24;

QString translated(const char* text) {
    return QCoreApplication::translate("exports", text);
}

// How the chart's pixels sit on the tile pyramid: its north-west corner in Web Mercator metres
// measured east and south from the world's north-west corner, and its pixel's size.
struct ChartOnWorld {
    double left = 0, top = 0;
    double pixelWidth = 0, pixelHeight = 0;
    int width = 0, height = 0;
};

double tilePixelSize(int zoom) {
    return WorldWidth / (TileSize * std::ldexp(1.0, zoom));
}

// The deepest zoom needed: the first whose tile pixel is no larger than the chart's pixel, so
// that every chart pixel keeps at least one tile pixel of its own.
int maximumZoom(const ChartOnWorld& chart) {
    const double finest = std::min(chart.pixelWidth, chart.pixelHeight);
    int zoom = 0;
    while (zoom < DeepestZoom && tilePixelSize(zoom) > finest)
        ++zoom;
    return zoom;
}

// The shallowest zoom: the deepest at which the whole chart still fits about one tile, and at
// least two levels above the deepest, so that a small chart stays in sight when zoomed out.
int minimumZoom(const ChartOnWorld& chart, int maxZoom) {
    const double extent =
        std::max(chart.width * chart.pixelWidth, chart.height * chart.pixelHeight);
    const int zoom = int(std::floor(std::log2(WorldWidth / extent)));
    return std::clamp(std::min(zoom, maxZoom - 2), 0, maxZoom);
}

// For each of the tile's pixels along one axis, the chart pixel under its centre, or -1 where
// the centre lies off the chart. The chart's pixel grid is a scale and an offset of the tile
// grid, so nearest neighbour is a floor: no colour is ever blended.
void chartPixelsUnder(int tileIndex, double tilePixel, double chartStart, double chartPixel,
                      int chartSize, int* out) {
    for (int i = 0; i < TileSize; ++i) {
        const double metres = (double(tileIndex) * TileSize + i + 0.5) * tilePixel;
        const double c = std::floor((metres - chartStart) / chartPixel);
        out[i] = (c >= 0 && c < chartSize) ? int(c) : -1;
    }
}

QByteArray pngOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

struct Bounds {
    double west, south, east, north;
};

// The chart's bounds widened to whole tile pixels at the deepest zoom. Readers that clip the
// pyramid to the bounds (GDAL) then keep its pixel grid; bounds between tile pixels would shift
// the picture by up to a tile pixel.
Bounds boundsOnTileGrid(const ChartOnWorld& chart, int zoom) {
    const double pixel = tilePixelSize(zoom);
    const double left = std::floor(chart.left / pixel + 1e-6) * pixel;
    const double right =
        std::ceil((chart.left + chart.width * chart.pixelWidth) / pixel - 1e-6) * pixel;
    const double top = std::floor(chart.top / pixel + 1e-6) * pixel;
    const double bottom =
        std::ceil((chart.top + chart.height * chart.pixelHeight) / pixel - 1e-6) * pixel;
    const double toDegrees = 180.0 / std::numbers::pi;
    auto longitude = [&](double x) { return (x - WorldWidth / 2) / WebMercatorRadius * toDegrees; };
    auto latitude = [&](double y) {
        return std::atan(std::sinh((WorldWidth / 2 - y) / WebMercatorRadius)) * toDegrees;
    };
    return {longitude(left), latitude(bottom), longitude(right), latitude(top)};
}

QString degrees(double value) {
    return QString::number(value, 'f', 9);
}

struct Metadata {
    const char* name;
    QString value;
};

// The attribution of the tiles: where the chart comes from and when it was made.
QString attribution(const ChartGeoreference& chart) {
    const QString source = chart.source.isEmpty() ? translated("unknown source") : chart.source;
    const QString name = chart.name.isEmpty() ? translated("Sea surface temperature") : chart.name;
    return chart.chartTime.isValid()
               ? translated("Sea surface temperature chart %1 of %2 UTC from %3")
                     .arg(name,
                          chart.chartTime.toUTC().toString(QStringLiteral("yyyy-MM-dd hh:mm")),
                          source)
               : translated("Sea surface temperature chart %1 from %2").arg(name, source);
}

// Writes the tables and every tile into an open database; false, with *error, when SQLite
// refuses.
bool fillDatabase(QSqlDatabase& db, const ChartGeoreference& chart, const QImage& picture,
                  QString* error) {
    QSqlQuery query(db);
    auto fail = [&](const QSqlError& e) {
        if (error) *error = translated("Cannot write the tiles: %1").arg(e.text());
        return false;
    };
    for (const char* statement : {
             "CREATE TABLE metadata (name text, value text)",
             "CREATE UNIQUE INDEX name ON metadata (name)",
             "CREATE TABLE tiles (zoom_level integer, tile_column integer, tile_row integer, "
             "tile_data blob)",
             "CREATE UNIQUE INDEX tile_index ON tiles (zoom_level, tile_column, tile_row)",
         }) {
        if (!query.exec(QLatin1String(statement))) return fail(query.lastError());
    }

    ChartOnWorld world;
    world.width = chart.width;
    world.height = chart.height;
    world.pixelWidth = chart.webMercatorPixelWidth();
    world.pixelHeight = chart.webMercatorPixelHeight();
    world.left = webMercatorX(chart.west()) + WorldWidth / 2;
    world.top = WorldWidth / 2 - webMercatorY(chart.north());
    const int maxZoom = maximumZoom(world);
    const int minZoom = minimumZoom(world, maxZoom);
    const Bounds bounds = boundsOnTileGrid(world, maxZoom);

    const QString name = chart.name.isEmpty() ? translated("Sea surface temperature") : chart.name;
    QString description =
        chart.chartTime.isValid()
            ? translated("Sea surface temperature chart %1 of %2 UTC")
                  .arg(name, chart.chartTime.toUTC().toString(QStringLiteral("yyyy-MM-dd hh:mm")))
            : translated("Sea surface temperature chart %1").arg(name);
    if (!chart.areaName.isEmpty()) description += QStringLiteral(", ") + chart.areaName;
    const Metadata metadata[] = {
        {"name", name},
        {"format", QStringLiteral("png")},
        {"bounds", QStringList{degrees(bounds.west), degrees(bounds.south), degrees(bounds.east),
                               degrees(bounds.north)}
                       .join(QLatin1Char(','))},
        {"center", QStringList{degrees((chart.west() + chart.east()) / 2),
                               degrees(chart.position(0.0, chart.height / 2.0)->lat),
                               QString::number(std::min(maxZoom, minZoom + 2))}
                       .join(QLatin1Char(','))},
        {"minzoom", QString::number(minZoom)},
        {"maxzoom", QString::number(maxZoom)},
        {"type", QStringLiteral("overlay")},
        {"version", QStringLiteral("1")},
        {"description", description},
        // The chart's source, which a map viewer shows in its corner.
        {"attribution", attribution(chart)},
    };
    if (!query.prepare(QStringLiteral("INSERT INTO metadata (name, value) VALUES (?, ?)")))
        return fail(query.lastError());
    for (const Metadata& m : metadata) {
        query.addBindValue(QLatin1String(m.name));
        query.addBindValue(m.value);
        if (!query.exec()) return fail(query.lastError());
    }

    if (!query.prepare(QStringLiteral("INSERT INTO tiles (zoom_level, tile_column, tile_row, "
                                      "tile_data) VALUES (?, ?, ?, ?)")))
        return fail(query.lastError());
    QImage tile(TileSize, TileSize, QImage::Format_ARGB32);
    int columns[TileSize], rows[TileSize];
    for (int zoom = minZoom; zoom <= maxZoom; ++zoom) {
        const double pixel = tilePixelSize(zoom);
        const double span = TileSize * pixel;
        const int tiles = 1 << zoom;
        const int firstColumn = std::max(0, int(std::floor(world.left / span)));
        const int lastColumn = std::min(
            tiles - 1, int(std::ceil((world.left + world.width * world.pixelWidth) / span)) - 1);
        const int firstRow = std::max(0, int(std::floor(world.top / span)));
        const int lastRow = std::min(
            tiles - 1, int(std::ceil((world.top + world.height * world.pixelHeight) / span)) - 1);
        for (int ty = firstRow; ty <= lastRow; ++ty) {
            chartPixelsUnder(ty, pixel, world.top, world.pixelHeight, world.height, rows);
            for (int tx = firstColumn; tx <= lastColumn; ++tx) {
                chartPixelsUnder(tx, pixel, world.left, world.pixelWidth, world.width, columns);
                bool any = false;
                for (int j = 0; j < TileSize; ++j) {
                    auto* out = reinterpret_cast<QRgb*>(tile.scanLine(j));
                    if (rows[j] < 0) {
                        std::fill(out, out + TileSize, QRgb(0));
                        continue;
                    }
                    const auto* in = reinterpret_cast<const QRgb*>(picture.constScanLine(rows[j]));
                    for (int i = 0; i < TileSize; ++i) {
                        out[i] = columns[i] < 0 ? QRgb(0) : in[columns[i]];
                        any = any || columns[i] >= 0;
                    }
                }
                if (!any) continue;
                query.addBindValue(zoom);
                query.addBindValue(tx);
                query.addBindValue(tiles - 1 - ty); // rows count from the south
                query.addBindValue(pngOf(tile));
                if (!query.exec()) return fail(query.lastError());
            }
        }
    }
    return true;
}

} // namespace

bool writeMbtiles(const QString& path, const ChartGeoreference& chart, const ExportLayers& layers,
                  QString* error) {
    if (!canPlacePicture(chart, layers, error)) return false;
    TemporaryOutput output(path);
    if (!output.open(error)) return false;

    const QImage picture = layers.picture.convertToFormat(QImage::Format_ARGB32);
    const QString connection =
        QStringLiteral("thalwise-mbtiles-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool written = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(output.path());
        if (!db.open()) {
            if (error)
                *error = translated("Cannot write %1: %2")
                             .arg(QDir::toNativeSeparators(path), db.lastError().text());
        } else {
            // The file is private until it is complete, so its rollback journal can stay in
            // memory; the commit still reaches the disk before the file replaces the target.
            QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=MEMORY"));
            db.transaction();
            if (fillDatabase(db, chart, picture, error)) {
                written = db.commit();
                if (!written && error)
                    *error = translated("Cannot write the tiles: %1").arg(db.lastError().text());
            } else {
                db.rollback();
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return written && output.commit(error);
}

} // namespace exports
