#include "NetcdfWriter.h"

#include <QFile>
#include <QTemporaryDir>

#include <netcdf.h>

#include <limits>

namespace testsupport {

namespace {

bool ok(int status) {
    return status == NC_NOERR;
}

bool putText(int nc, int var, const char* name, const QString& value) {
    const QByteArray bytes = value.toUtf8();
    return ok(nc_put_att_text(nc, var, name, std::size_t(bytes.size()), bytes.constData()));
}

} // namespace

SyntheticSst ghrsstL4() {
    SyntheticSst d;
    d.format = SyntheticSst::Format::Netcdf4;
    d.latitudeName = QStringLiteral("lat");
    d.longitudeName = QStringLiteral("lon");
    d.units = QStringLiteral("kelvin");
    d.packed = true;
    d.scale = 0.001;
    d.offset = 298.15;
    d.fillValue = -32768;
    d.writeMask = true;
    d.time = 1448960400.0;
    d.timeUnits = QStringLiteral("seconds since 1981-01-01 00:00:00 UTC");
    return d;
}

std::vector<double> cellCentres(double first, double last, double step) {
    std::vector<double> cells;
    const long long n = std::llround((last - first) / step) + 1;
    for (long long i = 0; i < n; ++i)
        cells.push_back(first + double(i) * step);
    return cells;
}

bool writeSstFile(const SyntheticSst& d, const QString& path) {
    const bool nc4 = d.format == SyntheticSst::Format::Netcdf4;
    int nc = -1;
    if (!ok(nc_create(QFile::encodeName(path).constData(),
                      NC_CLOBBER | (nc4 ? NC_NETCDF4 : NC_64BIT_OFFSET), &nc)))
        return false;
    const std::size_t rows = d.latitudes.size(), columns = d.longitudes.size();
    int timeDim = -1, latDim = -1, lonDim = -1, timeVar = -1, latVar = -1, lonVar = -1;
    bool good = true;
    if (d.withTime) {
        good &= ok(nc_def_dim(nc, "time", 1, &timeDim));
        good &= ok(nc_def_var(nc, "time", NC_DOUBLE, 1, &timeDim, &timeVar));
        good &= putText(nc, timeVar, "units", d.timeUnits);
    }
    const QByteArray latName = d.latitudeName.toUtf8(), lonName = d.longitudeName.toUtf8();
    good &= ok(nc_def_dim(nc, latName.constData(), rows, &latDim));
    good &= ok(nc_def_dim(nc, lonName.constData(), columns, &lonDim));
    good &= ok(nc_def_var(nc, latName.constData(), NC_DOUBLE, 1, &latDim, &latVar));
    good &= ok(nc_def_var(nc, lonName.constData(), NC_DOUBLE, 1, &lonDim, &lonVar));
    good &= putText(nc, latVar, "units", QStringLiteral("degrees_north"));
    good &= putText(nc, lonVar, "units", QStringLiteral("degrees_east"));

    std::vector<int> dims;
    if (d.withTime) dims.push_back(timeDim);
    dims.push_back(latDim);
    dims.push_back(lonDim);
    const nc_type type = d.packed ? NC_SHORT : NC_FLOAT;
    int sstVar = -1, maskVar = -1;
    good &= ok(nc_def_var(nc, d.variable.toUtf8().constData(), type, int(dims.size()), dims.data(),
                          &sstVar));
    if (!d.units.isEmpty()) good &= putText(nc, sstVar, "units", d.units);
    if (d.packed) {
        good &= ok(nc_put_att_double(nc, sstVar, "scale_factor", NC_DOUBLE, 1, &d.scale));
        good &= ok(nc_put_att_double(nc, sstVar, "add_offset", NC_DOUBLE, 1, &d.offset));
    }
    if (d.fillValue)
        good &= ok(nc_put_att_double(nc, sstVar, "_FillValue", type, 1, &*d.fillValue));
    if (d.missingValue)
        good &= ok(nc_put_att_double(nc, sstVar, "missing_value", type, 1, &*d.missingValue));
    if (d.writeMask) {
        good &= ok(nc_def_var(nc, "mask", NC_BYTE, int(dims.size()), dims.data(), &maskVar));
        const signed char masks[] = {1, 2, 4, 8, 16};
        good &= ok(nc_put_att_schar(nc, maskVar, "flag_masks", NC_BYTE, 5, masks));
    }
    if (nc4) {
        // Chunked and compressed as GHRSST files are: unwritten chunks take no room.
        std::vector<std::size_t> chunks(dims.size(), 1);
        chunks[dims.size() - 2] = std::min<std::size_t>(rows, 1023);
        chunks[dims.size() - 1] = std::min<std::size_t>(columns, 2047);
        good &= ok(nc_def_var_chunking(nc, sstVar, NC_CHUNKED, chunks.data()));
        good &= ok(nc_def_var_deflate(nc, sstVar, 1, 1, 1));
        if (maskVar >= 0) {
            good &= ok(nc_def_var_chunking(nc, maskVar, NC_CHUNKED, chunks.data()));
            good &= ok(nc_def_var_deflate(nc, maskVar, 1, 1, 1));
        }
    }
    good &= ok(nc_enddef(nc));
    if (d.withTime) good &= ok(nc_put_var_double(nc, timeVar, &d.time));
    good &= ok(nc_put_var_double(nc, latVar, d.latitudes.data()));
    good &= ok(nc_put_var_double(nc, lonVar, d.longitudes.data()));

    const auto [firstRow, rowCount] = d.rowSpan.value_or(std::make_pair(std::size_t(0), rows));
    const auto [firstColumn, columnCount] =
        d.columnSpan.value_or(std::make_pair(std::size_t(0), columns));
    const bool kelvin = d.units.compare(QLatin1String("kelvin"), Qt::CaseInsensitive) == 0 ||
                        d.units == QLatin1String("K");
    std::vector<double> values(rowCount * columnCount);
    std::vector<signed char> mask(values.size());
    for (std::size_t r = 0; r < rowCount; ++r)
        for (std::size_t c = 0; c < columnCount; ++c) {
            const double lat = d.latitudes[firstRow + r], lon = d.longitudes[firstColumn + c];
            const bool isLand = d.land && d.land(lat, lon);
            const double celsius = isLand ? std::nan("") : d.celsius(lat, lon);
            double raw;
            if (std::isnan(celsius)) {
                raw = d.fillValue      ? *d.fillValue
                      : d.missingValue ? *d.missingValue
                                       : std::numeric_limits<double>::quiet_NaN();
            } else {
                const double stored = kelvin ? celsius + 273.15 : celsius;
                raw = d.packed ? std::nearbyint((stored - d.offset) / d.scale) : stored;
            }
            values[r * columnCount + c] = raw;
            mask[r * columnCount + c] = isLand ? 2 : 1;
        }
    std::vector<std::size_t> start, count;
    if (d.withTime) {
        start.push_back(0);
        count.push_back(1);
    }
    start.insert(start.end(), {firstRow, firstColumn});
    count.insert(count.end(), {rowCount, columnCount});
    good &= ok(nc_put_vara_double(nc, sstVar, start.data(), count.data(), values.data()));
    if (maskVar >= 0)
        good &= ok(nc_put_vara_schar(nc, maskVar, start.data(), count.data(), mask.data()));
    good &= ok(nc_close(nc));
    return good;
}

QByteArray sstFileBytes(const SyntheticSst& data) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("data.nc"));
    if (!folder.isValid() || !writeSstFile(data, path)) return {};
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace testsupport
