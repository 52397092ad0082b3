#pragma once

// Sea-surface temperature as a gridded data set gives it: one value per cell of a regular
// latitude/longitude grid, read from a NetCDF file and turned into a chart of an area.

#include <QDateTime>
#include <QString>

#include <cmath>
#include <cstddef>
#include <vector>

namespace geo {

struct SstGrid {
    // Cell centres in degrees. Latitudes come in the file's own order (ascending or descending);
    // longitudes are east positive, -180 to 180, ascending.
    std::vector<double> latitudes;
    std::vector<double> longitudes;
    // latitudes.size() rows of longitudes.size() values, row after row in the order of
    // latitudes; degrees Celsius after the file's scale, offset and unit; NaN where the file has
    // no value (fill, missing value, NaN: cloud or land).
    std::vector<float> celsius;
    // Land as the data set marks it (GHRSST's mask), same layout as celsius; empty when the file
    // has no mask. The chart's own land comes from the coastline either way.
    std::vector<unsigned char> land;
    QDateTime time; // UTC, the time the file gives for its values; invalid when it gives none
    QString source; // the source's name ("mur", "acspo"), empty for a file from elsewhere

    std::size_t rows() const { return latitudes.size(); }
    std::size_t columns() const { return longitudes.size(); }
    float at(std::size_t row, std::size_t column) const { return celsius[row * columns() + column]; }
};

} // namespace geo
