#pragma once
// Sea-surface temperature read from a NetCDF file, from memory (a download) or from disk (a file
// the user has), into a data set's grid: ERDDAP's NetCDF-3 answers and NetCDF-4 GHRSST files
// alike. Units, scale, offset, fill values and the land mask are taken from the file; latitudes
// may run either way, longitudes from -180 to 180 or from 0 to 360.

#include "geo/SstGrid.h"
#include "sst/GriddapRequest.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace sst {

// Limits that keep a hostile or mistaken file from costing unbounded time or memory.
inline constexpr qint64 MaxCoordinateLength = 1'000'000; // cells along latitude or longitude
inline constexpr qint64 MaxCellsRead = 16 * 1024 * 1024; // cells of the grid kept (64 MB)
inline constexpr qint64 MaxAttributeLength = 4096;       // characters or values of an attribute
inline constexpr int MaxVariables = 8192;                // variables (and dimensions) of a file

struct GridRequest {
    // The temperature variable to read; empty, or absent from the file, finds one: the first of
    // analysed_sst, sea_surface_temperature, sst, then the first 2-D to 4-D variable over
    // latitude and longitude whose units are a temperature.
    QString variable;
    // Read only the cells within this box and one more cell around it (a global file is never
    // read whole); without a box the whole grid, up to MaxCellsRead cells.
    std::optional<GeoBox> box;
    // The source's name, kept in the grid ("mur"); empty for a file from elsewhere.
    QString source;
};

// Decodes a NetCDF-3 file held in memory (a download: ERDDAP answers in NetCDF-3). Nothing, and
// *error (if given) says why in plain words, when the bytes are no NetCDF-3 file (NetCDF-4 is
// HDF5, which is read only from files the user chooses), hold no temperature grid, exceed the
// limits above, or are cut short.
std::optional<geo::SstGrid> decodeSstGrid(const QByteArray& bytes, const GridRequest& request,
                                          QString* error = nullptr);

// The same for a file on disk (only the requested box is read from it).
std::optional<geo::SstGrid> readSstGridFile(const QString& path, const GridRequest& request,
                                            QString* error = nullptr);

// The UTC time of a value of a CF time variable with the given units ("seconds since
// 1981-01-01 00:00:00", "days since 1970-01-01T00:00:00Z", minutes, hours); invalid for units it
// cannot read or a time beyond the years 1800 to 2300.
QDateTime timeFromUnits(double value, const QString& units);

} // namespace sst
