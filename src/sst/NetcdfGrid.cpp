#include "sst/NetcdfGrid.h"

#include "sst/ResponseCheck.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <netcdf.h>
#include <netcdf_mem.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <mutex>
#include <numeric>

namespace sst {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("sst", text);
}

// netCDF-C (and HDF5 below it) keep global state: one file is decoded at a time.
std::mutex& netcdfLock() {
    static std::mutex lock;
    return lock;
}

// Cells read from the file in one call: bounds the buffer of raw values (8 MB).
constexpr std::size_t CellsPerRead = 1024 * 1024;

// Quirk "no-sea-water-beyond": a value that converts to water colder than -5 °C or warmer than
// 50 °C is no sea-surface reading (an undeclared fill value, a wrong unit) and counts as missing.
constexpr double ColdestWater = -5.0;
constexpr double WarmestWater = 50.0;

enum class TemperatureUnit { Kelvin, Celsius, Fahrenheit, Unknown };

TemperatureUnit temperatureUnit(QString units) {
    units = units.trimmed().toLower();
    units.replace(u' ', u'_');
    units.remove(u'°');
    static const QStringList kelvin = {QStringLiteral("k"),
                                       QStringLiteral("kelvin"),
                                       QStringLiteral("kelvins"),
                                       QStringLiteral("degree_k"),
                                       QStringLiteral("degrees_k"),
                                       QStringLiteral("degk"),
                                       QStringLiteral("deg_k"),
                                       QStringLiteral("degree_kelvin"),
                                       QStringLiteral("degrees_kelvin")};
    static const QStringList celsius = {QStringLiteral("c"),
                                        QStringLiteral("celsius"),
                                        QStringLiteral("degree_c"),
                                        QStringLiteral("degrees_c"),
                                        QStringLiteral("degc"),
                                        QStringLiteral("deg_c"),
                                        QStringLiteral("degree_celsius"),
                                        QStringLiteral("degrees_celsius"),
                                        QStringLiteral("degreec"),
                                        QStringLiteral("degreesc")};
    static const QStringList fahrenheit = {QStringLiteral("f"),
                                           QStringLiteral("fahrenheit"),
                                           QStringLiteral("degree_f"),
                                           QStringLiteral("degrees_f"),
                                           QStringLiteral("degf"),
                                           QStringLiteral("deg_f"),
                                           QStringLiteral("degree_fahrenheit"),
                                           QStringLiteral("degrees_fahrenheit")};
    if (kelvin.contains(units)) return TemperatureUnit::Kelvin;
    if (celsius.contains(units)) return TemperatureUnit::Celsius;
    if (fahrenheit.contains(units)) return TemperatureUnit::Fahrenheit;
    return TemperatureUnit::Unknown;
}

bool isLatitudeName(const QString& name) {
    const QString n = name.toLower();
    return n == QLatin1String("lat") || n == QLatin1String("latitude");
}

bool isLongitudeName(const QString& name) {
    const QString n = name.toLower();
    return n == QLatin1String("lon") || n == QLatin1String("longitude");
}

// A span of one coordinate's indices.
struct IndexRange {
    std::size_t first = 0;
    std::size_t count = 0;
};

// One open file and what has gone wrong with it.
class Reader {
public:
    explicit Reader(int ncid) : m_ncid(ncid) {}
    ~Reader() { nc_close(m_ncid); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    std::optional<geo::SstGrid> read(const GridRequest& request);
    // Whether every variable's last value can be read: a download cut short loses them first.
    bool isWhole();
    const QString& error() const { return m_error; }

private:
    bool fail(const QString& message) {
        if (m_error.isEmpty()) m_error = message;
        return false;
    }
    bool check(int status) {
        if (status == NC_NOERR) return true;
        return fail(tr("The data file is damaged or cut short (%1).")
                        .arg(QString::fromUtf8(nc_strerror(status))));
    }
    QString name(int varid) const;
    QString dimensionName(int dimid) const;
    // A text attribute; nothing when absent or not text. Fails for an absurd length.
    std::optional<QString> text(int varid, const char* attribute);
    // A numeric attribute's values; nothing when absent or text. Fails for an absurd length.
    std::optional<std::vector<double>> numbers(int varid, const char* attribute);
    bool isGridVariable(int varid, bool needTemperatureUnits);
    int findVariable(const QString& preferred);
    bool readCoordinate(int dimid, std::vector<double>& values);
    std::optional<IndexRange> rangeWithin(const std::vector<double>& values, double low,
                                          double high);
    bool readValues(int varid, const std::vector<std::size_t>& leading, IndexRange rows,
                    IndexRange columns, const std::function<void(std::size_t, double)>& take);

    int m_ncid;
    QString m_error;
};

QString Reader::name(int varid) const {
    char buffer[NC_MAX_NAME + 1] = {};
    if (nc_inq_varname(m_ncid, varid, buffer) != NC_NOERR) return {};
    return QString::fromUtf8(buffer);
}

QString Reader::dimensionName(int dimid) const {
    char buffer[NC_MAX_NAME + 1] = {};
    if (nc_inq_dimname(m_ncid, dimid, buffer) != NC_NOERR) return {};
    return QString::fromUtf8(buffer);
}

std::optional<QString> Reader::text(int varid, const char* attribute) {
    nc_type type = NC_NAT;
    std::size_t length = 0;
    if (nc_inq_att(m_ncid, varid, attribute, &type, &length) != NC_NOERR) return std::nullopt;
    if (type != NC_CHAR) return std::nullopt;
    if (length > std::size_t(MaxAttributeLength)) {
        fail(tr("The data file has an attribute \"%1\" of absurd length.")
                 .arg(QString::fromLatin1(attribute)));
        return std::nullopt;
    }
    std::string value(length, '\0');
    if (length > 0 && nc_get_att_text(m_ncid, varid, attribute, value.data()) != NC_NOERR)
        return std::nullopt;
    return QString::fromUtf8(value.c_str()); // stops at a NUL, as C strings in files often end
}

std::optional<std::vector<double>> Reader::numbers(int varid, const char* attribute) {
    nc_type type = NC_NAT;
    std::size_t length = 0;
    if (nc_inq_att(m_ncid, varid, attribute, &type, &length) != NC_NOERR) return std::nullopt;
    if (type == NC_CHAR || type == NC_STRING || type > NC_STRING || length == 0)
        return std::nullopt;
    if (length > std::size_t(MaxAttributeLength)) {
        fail(tr("The data file has an attribute \"%1\" of absurd length.")
                 .arg(QString::fromLatin1(attribute)));
        return std::nullopt;
    }
    std::vector<double> values(length);
    if (nc_get_att_double(m_ncid, varid, attribute, values.data()) != NC_NOERR) return std::nullopt;
    return values;
}

bool Reader::isGridVariable(int varid, bool needTemperatureUnits) {
    int dimensions = 0;
    nc_type type = NC_NAT;
    if (nc_inq_varndims(m_ncid, varid, &dimensions) != NC_NOERR || dimensions < 2 || dimensions > 4)
        return false;
    if (nc_inq_vartype(m_ncid, varid, &type) != NC_NOERR || type == NC_CHAR || type >= NC_STRING)
        return false;
    int ids[NC_MAX_VAR_DIMS] = {};
    if (nc_inq_vardimid(m_ncid, varid, ids) != NC_NOERR) return false;
    if (!isLatitudeName(dimensionName(ids[dimensions - 2])) ||
        !isLongitudeName(dimensionName(ids[dimensions - 1])))
        return false;
    if (!needTemperatureUnits) return true;
    const std::optional<QString> units = text(varid, "units");
    return units && temperatureUnit(*units) != TemperatureUnit::Unknown;
}

int Reader::findVariable(const QString& preferred) {
    QStringList names;
    if (!preferred.isEmpty()) names << preferred;
    names << QStringLiteral("analysed_sst") << QStringLiteral("sea_surface_temperature")
          << QStringLiteral("sst");
    for (const QString& candidate : names) {
        int varid = -1;
        if (nc_inq_varid(m_ncid, candidate.toUtf8().constData(), &varid) == NC_NOERR &&
            isGridVariable(varid, false))
            return varid;
    }
    int count = 0;
    if (nc_inq_nvars(m_ncid, &count) != NC_NOERR) return -1;
    for (int varid = 0; varid < count; ++varid)
        if (isGridVariable(varid, true)) return varid;
    return -1;
}

bool Reader::readCoordinate(int dimid, std::vector<double>& values) {
    const QString dimension = dimensionName(dimid);
    std::size_t length = 0;
    if (!check(nc_inq_dimlen(m_ncid, dimid, &length))) return false;
    if (length == 0) return fail(tr("The data file has no cells along %1.").arg(dimension));
    if (length > std::size_t(MaxCoordinateLength))
        return fail(tr("The data file has an absurd number of cells along %1.").arg(dimension));
    int varid = -1, dimensions = 0, id = -1;
    if (nc_inq_varid(m_ncid, dimension.toUtf8().constData(), &varid) != NC_NOERR ||
        nc_inq_varndims(m_ncid, varid, &dimensions) != NC_NOERR || dimensions != 1 ||
        nc_inq_vardimid(m_ncid, varid, &id) != NC_NOERR || id != dimid)
        return fail(tr("The data file does not say where its cells lie along %1.").arg(dimension));
    values.assign(length, 0.0);
    if (!check(nc_get_var_double(m_ncid, varid, values.data()))) return false;
    const bool ascending = length < 2 || values[1] > values[0];
    for (std::size_t i = 0; i < length; ++i) {
        if (!std::isfinite(values[i]) || std::abs(values[i]) > 360.0)
            return fail(tr("The data file's %1 values are not positions.").arg(dimension));
        if (i > 0 && (ascending ? values[i] <= values[i - 1] : values[i] >= values[i - 1]))
            return fail(tr("The data file's %1 values are out of order.").arg(dimension));
    }
    return true;
}

std::optional<IndexRange> Reader::rangeWithin(const std::vector<double>& values, double low,
                                              double high) {
    const std::size_t n = values.size();
    const bool ascending = n < 2 || values[1] > values[0];
    // j counts cells from the smallest value up.
    const auto at = [&](std::size_t j) { return values[ascending ? j : n - 1 - j]; };
    if (at(n - 1) < low || at(0) > high) return std::nullopt;
    // The cells from the last one at or below low to the first one at or above high: every
    // position of the box then has its nearest cell inside.
    std::size_t first = 0, last = n - 1;
    for (std::size_t step = n; step > 0; step /= 2) // bisection on the sorted order
        while (first + step < n && at(first + step) <= low)
            first += step;
    for (std::size_t step = n; step > 0; step /= 2)
        while (last >= step && at(last - step) >= high)
            last -= step;
    if (last < first) std::swap(first, last);
    if (!ascending) {
        const std::size_t f = n - 1 - last;
        last = n - 1 - first;
        first = f;
    }
    return IndexRange{first, last - first + 1};
}

bool Reader::readValues(int varid, const std::vector<std::size_t>& leading, IndexRange rows,
                        IndexRange columns, const std::function<void(std::size_t, double)>& take) {
    const std::size_t dimensions = leading.size() + 2;
    std::vector<std::size_t> start(leading), count(leading.size(), 1);
    start.push_back(0);
    start.push_back(columns.first);
    count.push_back(0);
    count.push_back(columns.count);
    const std::size_t rowsPerRead = std::max<std::size_t>(1, CellsPerRead / columns.count);
    std::vector<double> buffer(std::min(rows.count, rowsPerRead) * columns.count);
    for (std::size_t row = 0; row < rows.count; row += rowsPerRead) {
        const std::size_t band = std::min(rowsPerRead, rows.count - row);
        start[dimensions - 2] = rows.first + row;
        count[dimensions - 2] = band;
        if (!check(nc_get_vara_double(m_ncid, varid, start.data(), count.data(), buffer.data())))
            return false;
        for (std::size_t i = 0; i < band * columns.count; ++i)
            take(row * columns.count + i, buffer[i]);
    }
    return true;
}

// How a variable's stored numbers become temperatures: CF's packing and missing values.
struct Unpacking {
    double scale = 1.0;
    double offset = 0.0;
    std::vector<double> missing; // raw values that mean "no value"
    double validLow = -std::numeric_limits<double>::infinity();
    double validHigh = std::numeric_limits<double>::infinity();
    double unsignedWrap = 0.0; // 2^bits for a signed type the file marks _Unsigned
    TemperatureUnit unit = TemperatureUnit::Unknown;

    float celsius(double raw) const {
        if (std::isnan(raw)) return std::numeric_limits<float>::quiet_NaN();
        if (raw < 0 && unsignedWrap > 0) raw += unsignedWrap;
        for (double m : missing)
            if (raw == m) return std::numeric_limits<float>::quiet_NaN();
        if (raw < validLow || raw > validHigh) return std::numeric_limits<float>::quiet_NaN();
        double value = raw * scale + offset;
        if (unit == TemperatureUnit::Kelvin) value -= 273.15;
        if (unit == TemperatureUnit::Fahrenheit) value = (value - 32.0) * 5.0 / 9.0;
        if (!(value >= ColdestWater && value <= WarmestWater))
            return std::numeric_limits<float>::quiet_NaN();
        return float(value);
    }
};

// netCDF's default fill value of a type: what unwritten cells hold when a file declares none.
double defaultFill(nc_type type) {
    switch (type) {
    case NC_BYTE:
        return NC_FILL_BYTE;
    case NC_UBYTE:
        return NC_FILL_UBYTE;
    case NC_SHORT:
        return NC_FILL_SHORT;
    case NC_USHORT:
        return NC_FILL_USHORT;
    case NC_INT:
        return NC_FILL_INT;
    case NC_UINT:
        return NC_FILL_UINT;
    case NC_INT64:
        return double(NC_FILL_INT64);
    case NC_FLOAT:
        return double(NC_FILL_FLOAT);
    default:
        return NC_FILL_DOUBLE;
    }
}

double unsignedWrapOf(nc_type type) {
    switch (type) {
    case NC_BYTE:
        return 256.0;
    case NC_SHORT:
        return 65536.0;
    case NC_INT:
        return 4294967296.0;
    default:
        return 0.0;
    }
}

bool Reader::isWhole() {
    int count = 0;
    if (!check(nc_inq_nvars(m_ncid, &count))) return false;
    for (int varid = 0; varid < count && varid < MaxVariables; ++varid) {
        int dimensions = 0;
        int ids[NC_MAX_VAR_DIMS] = {};
        nc_type type = NC_NAT;
        if (!check(nc_inq_varndims(m_ncid, varid, &dimensions)) ||
            !check(nc_inq_vardimid(m_ncid, varid, ids)) ||
            !check(nc_inq_vartype(m_ncid, varid, &type)))
            return false;
        if (type == NC_STRING || type > NC_STRING || dimensions > NC_MAX_VAR_DIMS) continue;
        std::size_t last[NC_MAX_VAR_DIMS] = {};
        bool empty = false;
        for (int d = 0; d < dimensions; ++d) {
            std::size_t length = 0;
            if (!check(nc_inq_dimlen(m_ncid, ids[d], &length))) return false;
            empty |= length == 0;
            last[d] = length > 0 ? length - 1 : 0;
        }
        if (empty) continue;
        char text = 0;
        double value = 0;
        const int status = type == NC_CHAR ? nc_get_var1_text(m_ncid, varid, last, &text)
                                           : nc_get_var1_double(m_ncid, varid, last, &value);
        // A value out of the double's range is there all the same.
        if (status != NC_NOERR && status != NC_ERANGE)
            return fail(
                tr("The data file is cut short (%1).").arg(QString::fromUtf8(nc_strerror(status))));
    }
    return true;
}

std::optional<geo::SstGrid> Reader::read(const GridRequest& request) {
    int dimensionCount = 0, variableCount = 0;
    if (!check(nc_inq_ndims(m_ncid, &dimensionCount)) ||
        !check(nc_inq_nvars(m_ncid, &variableCount)))
        return std::nullopt;
    if (dimensionCount > MaxVariables || variableCount > MaxVariables) {
        fail(tr("The data file has an absurd number of variables."));
        return std::nullopt;
    }
    const int varid = findVariable(request.variable);
    if (varid < 0) {
        if (m_error.isEmpty())
            fail(tr("The data file holds no sea-surface temperature over latitude and "
                    "longitude."));
        return std::nullopt;
    }
    const QString variable = name(varid);
    int dimensions = 0;
    int ids[NC_MAX_VAR_DIMS] = {};
    nc_type type = NC_NAT;
    if (!check(nc_inq_varndims(m_ncid, varid, &dimensions)) ||
        !check(nc_inq_vardimid(m_ncid, varid, ids)) || !check(nc_inq_vartype(m_ncid, varid, &type)))
        return std::nullopt;

    Unpacking unpacking;
    const std::optional<QString> units = text(varid, "units");
    unpacking.unit = units ? temperatureUnit(*units) : TemperatureUnit::Unknown;
    if (unpacking.unit == TemperatureUnit::Unknown) {
        fail(units ? tr("The data file gives %1 in \"%2\", which is no temperature unit this "
                        "program knows.")
                         .arg(variable, *units)
                   : tr("The data file does not say in which unit %1 is given.").arg(variable));
        return std::nullopt;
    }
    if (const auto scale = numbers(varid, "scale_factor")) unpacking.scale = scale->front();
    if (const auto offset = numbers(varid, "add_offset")) unpacking.offset = offset->front();
    const std::optional<std::vector<double>> fill = numbers(varid, "_FillValue");
    // CF: without a declared fill value, cells never written hold netCDF's default one.
    unpacking.missing.push_back(fill ? fill->front() : defaultFill(type));
    if (const auto missing = numbers(varid, "missing_value"))
        unpacking.missing.insert(unpacking.missing.end(), missing->begin(), missing->end());
    if (const auto range = numbers(varid, "valid_range"); range && range->size() == 2) {
        unpacking.validLow = (*range)[0];
        unpacking.validHigh = (*range)[1];
    }
    if (const auto low = numbers(varid, "valid_min")) unpacking.validLow = low->front();
    if (const auto high = numbers(varid, "valid_max")) unpacking.validHigh = high->front();
    if (const auto isUnsigned = text(varid, "_Unsigned");
        isUnsigned && isUnsigned->compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        unpacking.unsignedWrap = unsignedWrapOf(type);
    if (!std::isfinite(unpacking.scale) || !std::isfinite(unpacking.offset) ||
        unpacking.scale == 0.0) {
        fail(tr("The data file's scale or offset of %1 is no number.").arg(variable));
        return std::nullopt;
    }
    if (!m_error.isEmpty()) return std::nullopt;

    const int latDim = ids[dimensions - 2], lonDim = ids[dimensions - 1];
    geo::SstGrid grid;
    grid.source = request.source;
    if (!readCoordinate(latDim, grid.latitudes) || !readCoordinate(lonDim, grid.longitudes))
        return std::nullopt;

    // The time step and any level: the latest time the file holds, the first level.
    std::vector<std::size_t> leading;
    int timeDim = -1;
    for (int d = 0; d < dimensions - 2; ++d) {
        std::size_t length = 0;
        if (!check(nc_inq_dimlen(m_ncid, ids[d], &length))) return std::nullopt;
        if (length == 0) {
            fail(tr("The data file holds no values of %1.").arg(variable));
            return std::nullopt;
        }
        const bool isTime =
            dimensionName(ids[d]).compare(QLatin1String("time"), Qt::CaseInsensitive) == 0;
        if (isTime) timeDim = d;
        leading.push_back(isTime ? length - 1 : 0);
    }

    // The cells to read.
    IndexRange rows{0, grid.latitudes.size()}, columns{0, grid.longitudes.size()};
    const bool zeroTo360 =
        *std::max_element(grid.longitudes.begin(), grid.longitudes.end()) > 180.0;
    if (request.box) {
        GeoBox box = *request.box;
        if (zeroTo360 && box.west < 0.0 && box.east < 0.0) {
            box.west += 360.0;
            box.east += 360.0;
        }
        const std::optional<IndexRange> r = rangeWithin(grid.latitudes, box.south, box.north);
        const std::optional<IndexRange> c = rangeWithin(grid.longitudes, box.west, box.east);
        if (!r || !c) {
            fail(tr("The data file holds no data for this area."));
            return std::nullopt;
        }
        rows = *r;
        columns = *c;
    }
    if (qint64(rows.count) * qint64(columns.count) > MaxCellsRead) {
        fail(tr("The data file's grid is too large to read whole; choose an area."));
        return std::nullopt;
    }
    grid.latitudes =
        std::vector<double>(grid.latitudes.begin() + qsizetype(rows.first),
                            grid.latitudes.begin() + qsizetype(rows.first + rows.count));
    grid.longitudes =
        std::vector<double>(grid.longitudes.begin() + qsizetype(columns.first),
                            grid.longitudes.begin() + qsizetype(columns.first + columns.count));
    for (double& lat : grid.latitudes)
        if (std::abs(lat) > 90.0) {
            fail(tr("The data file's latitudes are not positions."));
            return std::nullopt;
        }

    grid.celsius.assign(rows.count * columns.count, 0.0f);
    if (!readValues(varid, leading, rows, columns,
                    [&](std::size_t i, double raw) { grid.celsius[i] = unpacking.celsius(raw); }))
        return std::nullopt;

    // GHRSST's mask: bit 2 (value 2) marks land.
    int maskId = -1, maskDimensions = 0;
    int maskIds[NC_MAX_VAR_DIMS] = {};
    if (nc_inq_varid(m_ncid, "mask", &maskId) == NC_NOERR &&
        nc_inq_varndims(m_ncid, maskId, &maskDimensions) == NC_NOERR &&
        maskDimensions == dimensions && nc_inq_vardimid(m_ncid, maskId, maskIds) == NC_NOERR &&
        std::equal(ids, ids + dimensions, maskIds)) {
        const std::optional<std::vector<double>> maskFill = numbers(maskId, "_FillValue");
        grid.land.assign(grid.celsius.size(), 0);
        if (!readValues(maskId, leading, rows, columns, [&](std::size_t i, double raw) {
                const bool filled = std::isnan(raw) || (maskFill && raw == maskFill->front());
                grid.land[i] = !filled && (std::int64_t(raw) & 2) != 0;
            }))
            return std::nullopt;
    }

    // The time of the values.
    int timeVar = -1;
    if (nc_inq_varid(m_ncid, "time", &timeVar) == NC_NOERR) {
        int timeDimensions = 0;
        std::size_t index = 0;
        if (nc_inq_varndims(m_ncid, timeVar, &timeDimensions) == NC_NOERR && timeDimensions <= 1) {
            if (timeDimensions == 1) {
                int id = -1;
                nc_inq_vardimid(m_ncid, timeVar, &id);
                std::size_t length = 0;
                nc_inq_dimlen(m_ncid, id, &length);
                index = timeDim >= 0 && id == ids[timeDim] ? leading[std::size_t(timeDim)]
                                                           : (length > 0 ? length - 1 : 0);
            }
            double value = 0.0;
            const std::optional<QString> timeUnits = text(timeVar, "units");
            if (timeUnits && nc_get_var1_double(m_ncid, timeVar, timeDimensions ? &index : nullptr,
                                                &value) == NC_NOERR)
                grid.time = timeFromUnits(value, *timeUnits);
        }
    }
    m_error.clear(); // an unreadable time or mask attribute leaves the grid without them

    // Longitudes east positive from -180 to 180, ascending.
    bool ordered = true;
    for (double& lon : grid.longitudes)
        if (lon > 180.0) lon -= 360.0;
    for (std::size_t i = 1; i < grid.longitudes.size(); ++i)
        ordered &= grid.longitudes[i] > grid.longitudes[i - 1];
    if (!ordered) {
        const std::size_t width = grid.longitudes.size();
        std::vector<std::size_t> order(width);
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return grid.longitudes[a] < grid.longitudes[b];
        });
        const auto reorder = [&](auto& values) {
            if (values.empty()) return;
            auto row = values;
            for (std::size_t r = 0; r < grid.latitudes.size(); ++r)
                for (std::size_t c = 0; c < width; ++c)
                    values[r * width + c] = row[r * width + order[c]];
        };
        reorder(grid.celsius);
        reorder(grid.land);
        std::vector<double> sorted(width);
        for (std::size_t c = 0; c < width; ++c)
            sorted[c] = grid.longitudes[order[c]];
        grid.longitudes = std::move(sorted);
    }
    return grid;
}

// The header of a classic NetCDF file (CDF-1, CDF-2 and CDF-5), walked before netCDF-C reads
// it: netCDF-C allocates what a header declares before finding that the file cannot hold it,
// so a few bytes that claim millions of dimensions cost seconds and hundreds of megabytes.
class ClassicHeader {
public:
    explicit ClassicHeader(const QByteArray& bytes) : m_bytes(bytes) {}

    // True when every count, name, attribute and variable of the header fits in the file, and
    // every variable that is not a record variable lies within it.
    bool isSound() {
        if (m_bytes.size() < 8 || !m_bytes.startsWith("CDF")) return false;
        const char version = m_bytes[3];
        if (version != 1 && version != 2 && version != 5) return false;
        m_wide = version == 5;
        m_at = 4;
        std::uint64_t records = 0;
        if (!count(records)) return false;
        std::uint64_t dimensions = 0;
        if (!list(0x0A, dimensions, 8)) return false;
        std::vector<std::uint64_t> lengths;
        for (std::uint64_t d = 0; d < dimensions; ++d) {
            std::uint64_t length = 0;
            if (!name() || !count(length)) return false;
            lengths.push_back(length);
        }
        if (!attributes()) return false;
        std::uint64_t variables = 0;
        if (!list(0x0B, variables, 24)) return false;
        for (std::uint64_t v = 0; v < variables; ++v) {
            std::uint64_t rank = 0;
            if (!name() || !count(rank) || rank > NC_MAX_VAR_DIMS) return false;
            bool isRecord = false;
            std::vector<std::uint64_t> shape;
            for (std::uint64_t i = 0; i < rank; ++i) {
                std::uint64_t id = 0;
                if (!count(id) || id >= dimensions) return false;
                isRecord |= i == 0 && lengths[std::size_t(id)] == 0;
                shape.push_back(lengths[std::size_t(id)]);
            }
            std::uint32_t type = 0;
            std::uint64_t size = 0, begin = 0;
            if (!attributes() || !word(type) || typeSize(type) == 0 || !count(size) ||
                !(version == 1 ? narrow(begin) : wide(begin)))
                return false;
            if (isRecord) continue; // its records lie after every other variable
            // The variable's values, by its own shape (its stored size saturates at 4 GiB).
            const std::uint64_t fileSize = std::uint64_t(m_bytes.size());
            std::uint64_t bytes = typeSize(type);
            for (std::uint64_t length : shape) {
                if (length != 0 && bytes > fileSize / length) return false;
                bytes *= length;
            }
            if (begin > fileSize || bytes > fileSize - begin) return false;
        }
        return true;
    }

private:
    std::uint64_t left() const { return std::uint64_t(m_bytes.size() - m_at); }
    bool word(std::uint32_t& value) {
        if (left() < 4) return false;
        value = 0;
        for (int i = 0; i < 4; ++i)
            value = (value << 8) | std::uint8_t(m_bytes[m_at++]);
        return true;
    }
    bool narrow(std::uint64_t& value) {
        std::uint32_t w = 0;
        if (!word(w)) return false;
        value = w;
        return true;
    }
    bool wide(std::uint64_t& value) {
        std::uint32_t high = 0, low = 0;
        if (!word(high) || !word(low)) return false;
        value = (std::uint64_t(high) << 32) | low;
        return true;
    }
    bool count(std::uint64_t& value) { return m_wide ? wide(value) : narrow(value); }
    static std::uint64_t typeSize(std::uint32_t type) {
        switch (type) {
        case NC_BYTE:
        case NC_CHAR:
        case NC_UBYTE:
            return 1;
        case NC_SHORT:
        case NC_USHORT:
            return 2;
        case NC_INT:
        case NC_FLOAT:
        case NC_UINT:
            return 4;
        case NC_DOUBLE:
        case NC_INT64:
        case NC_UINT64:
            return 8;
        default:
            return 0;
        }
    }
    // A list's tag and element count (ABSENT is two zeros); each element takes at least
    // smallest bytes, so a count the rest of the file cannot hold is refused.
    bool list(std::uint32_t tag, std::uint64_t& elements, std::uint64_t smallest) {
        std::uint32_t t = 0;
        if (!word(t) || !count(elements)) return false;
        if (t == 0) return elements == 0;
        return t == tag && elements <= std::uint64_t(MaxVariables) && elements <= left() / smallest;
    }
    bool name() {
        std::uint64_t length = 0;
        if (!count(length) || length == 0 || length > NC_MAX_NAME) return false;
        const std::uint64_t padded = (length + 3) / 4 * 4;
        if (padded > left()) return false;
        m_at += qsizetype(padded);
        return true;
    }
    bool attributes() {
        std::uint64_t n = 0;
        if (!list(0x0C, n, 12)) return false;
        for (std::uint64_t a = 0; a < n; ++a) {
            std::uint32_t type = 0;
            std::uint64_t values = 0;
            if (!name() || !word(type) || !count(values)) return false;
            const std::uint64_t size = typeSize(type);
            if (size == 0 || values > left() / size) return false;
            const std::uint64_t padded = (values * size + 3) / 4 * 4;
            if (padded > left()) return false;
            m_at += qsizetype(padded);
        }
        return true;
    }

    const QByteArray& m_bytes;
    qsizetype m_at = 0;
    bool m_wide = false;
};

QString openError(int status) {
    return tr("This is not a NetCDF file this program can read (%1).")
        .arg(QString::fromUtf8(nc_strerror(status)));
}

void setError(QString* error, const QString& message) {
    if (error) *error = message;
}

} // namespace

QDateTime timeFromUnits(double value, const QString& units) {
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(seconds?|secs?|s|minutes?|mins?|hours?|hrs?|h|days?|d)\\s+since\\s+"
                       "(\\d{1,4})-(\\d{1,2})-(\\d{1,2})"
                       "(?:[ T](\\d{1,2}):(\\d{1,2})(?::(\\d{1,2})(?:\\.\\d*)?)?)?"
                       "\\s*(?:Z|UTC|GMT|[+-]00:?00)?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(units);
    if (!match.hasMatch() || !std::isfinite(value)) return {};
    const QString unit = match.captured(1).toLower();
    double seconds = 1.0;
    if (unit.startsWith(u'm'))
        seconds = 60.0;
    else if (unit.startsWith(u'h'))
        seconds = 3600.0;
    else if (unit.startsWith(u'd'))
        seconds = 86400.0;
    const QDate date(match.captured(2).toInt(), match.captured(3).toInt(),
                     match.captured(4).toInt());
    const QTime time(match.captured(5).toInt(), match.captured(6).toInt(),
                     match.captured(7).toInt());
    if (!date.isValid() || !time.isValid()) return {};
    const double offset = value * seconds;
    // Beyond a few centuries either way the value is no time of a chart.
    if (std::abs(offset) > 500.0 * 366 * 86400) return {};
    const QDateTime epoch(date, time, Qt::UTC);
    const QDateTime result = epoch.addMSecs(qint64(std::llround(offset * 1000.0)));
    if (result.date().year() < 1800 || result.date().year() > 2300) return {};
    return result;
}

std::optional<geo::SstGrid> decodeSstGrid(const QByteArray& bytes, const GridRequest& request,
                                          QString* error) {
    if (bytes.isEmpty()) {
        setError(error, tr("The data file is empty."));
        return std::nullopt;
    }
    // Quirk "no-hdf5-from-the-network": a NetCDF-4 file is HDF5, and Debian's HDF5 reads a
    // malformed file past its buffers. ERDDAP answers ".nc" in NetCDF-3, so a download in
    // NetCDF-4 is refused; NetCDF-4 is read only from a file the user chose.
    if (bytes.startsWith(QByteArray("\x89HDF\r\n\x1a\n", 8))) {
        setError(error, tr("The answer is a NetCDF-4 file, which this program reads only from "
                           "a file you choose, never from a download."));
        return std::nullopt;
    }
    if (!ClassicHeader(bytes).isSound()) {
        setError(error, hasNetcdfSignature(bytes)
                            ? tr("The data file is cut short or its header is damaged.")
                            : tr("This is not a NetCDF file."));
        return std::nullopt;
    }
    const std::lock_guard<std::mutex> guard(netcdfLock());
    // netCDF-C reads the buffer without writing to it when the file is opened read-only.
    int ncid = -1;
    const int status = nc_open_mem("download.nc", NC_NOWRITE, std::size_t(bytes.size()),
                                   const_cast<char*>(bytes.constData()), &ncid);
    if (status != NC_NOERR) {
        setError(error, openError(status));
        return std::nullopt;
    }
    Reader reader(ncid);
    if (!reader.isWhole()) {
        setError(error, reader.error());
        return std::nullopt;
    }
    std::optional<geo::SstGrid> grid = reader.read(request);
    if (!grid) setError(error, reader.error());
    return grid;
}

std::optional<geo::SstGrid> readSstGridFile(const QString& path, const GridRequest& request,
                                            QString* error) {
    const QFileInfo info(path);
    if (!info.isFile()) {
        setError(error, tr("There is no file %1.").arg(path));
        return std::nullopt;
    }
    const std::lock_guard<std::mutex> guard(netcdfLock());
    // An absolute path never reads as an address: netCDF-C would fetch "http://..." itself.
    int ncid = -1;
    const int status =
        nc_open(QFile::encodeName(info.absoluteFilePath()).constData(), NC_NOWRITE, &ncid);
    if (status != NC_NOERR) {
        setError(error, openError(status));
        return std::nullopt;
    }
    Reader reader(ncid);
    std::optional<geo::SstGrid> grid = reader.read(request);
    if (!grid) setError(error, reader.error());
    return grid;
}

} // namespace sst
