#pragma once
// Writes sea-surface temperature files with netCDF-C as the servers and archives publish them:
// ERDDAP's NetCDF-3 answers and NetCDF-4 GHRSST files, with the units, packing, fill values,
// gaps and land mask a test chooses. The values come from a function of position, so a test
// knows what every cell holds.

#include <QByteArray>
#include <QString>

#include <cmath>
#include <functional>
#include <optional>
#include <vector>

namespace testsupport {

struct SyntheticSst {
    enum class Format { Classic, Netcdf4 };
    Format format = Format::Classic;
    QString variable = QStringLiteral("analysed_sst");
    QString latitudeName = QStringLiteral("latitude"); // dimension and coordinate variable
    QString longitudeName = QStringLiteral("longitude");
    std::vector<double> latitudes;  // in file order: ascending or descending
    std::vector<double> longitudes; // in file order, -180..180 or 0..360

    bool withTime = true; // a time dimension of one step before latitude and longitude
    double time = 1385856000.0;
    QString timeUnits = QStringLiteral("seconds since 1970-01-01T00:00:00Z");

    QString units = QStringLiteral("degree_C"); // "kelvin" stores celsius + 273.15
    bool packed = false;                        // int16 with scale_factor and add_offset
    double scale = 0.001;
    double offset = 25.0;
    std::optional<double> fillValue;    // _FillValue, raw (stored) value
    std::optional<double> missingValue; // missing_value, raw value
    bool writeMask = false;             // a GHRSST "mask": 1 water, 2 land

    // Water temperature in °C at a cell centre; NaN for a gap (a cloud), written as the fill
    // value, else the missing value, else NaN.
    std::function<double(double lat, double lon)> celsius;
    // Land at a cell centre: written as a gap, and as 2 in the mask.
    std::function<bool(double lat, double lon)> land;

    // Only these cells are written (NetCDF-4 leaves the rest unstored); all when not set.
    std::optional<std::pair<std::size_t, std::size_t>> rowSpan;    // first, count
    std::optional<std::pair<std::size_t, std::size_t>> columnSpan; // first, count
};

// The layout of a GHRSST L4 file as distributed for MUR: NetCDF-4, "lat", "lon" and "time"
// (seconds since 1981), analysed_sst as int16 kelvin with scale 0.001 and offset 298.15, fill
// -32768, a mask. Dated 1 December 2026, 09:00 UTC. The cells and values are the caller's.
SyntheticSst ghrsstL4();

// Cell centres from first to last (inclusive) by step (negative for a descending axis).
std::vector<double> cellCentres(double first, double last, double step);

// Writes the file; false when netCDF-C refuses.
bool writeSstFile(const SyntheticSst& data, const QString& path);

// The file's bytes, as a server would send them; empty on failure.
QByteArray sstFileBytes(const SyntheticSst& data);

} // namespace testsupport
