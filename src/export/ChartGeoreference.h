#pragma once
// One description of a chart for every exporter: its size, its area's calibration, where its
// pixels lie on the earth, its name and date; and the layers that go out with it. Each format
// has one writer (writeKap, writeGeoTiff, writeMbtiles, writeKmz, geo::gpxTracksDocument) that
// takes these, so that the export dialog and thalwise-cli only choose.

#include "geo/AreaStuff.h"
#include "geo/GpxTracks.h"
#include "geo/Waypoint.h"

#include <QDateTime>
#include <QImage>
#include <QString>

#include <optional>
#include <vector>

namespace exports {

// Spherical Mercator as Web Mercator (EPSG:3857) writes it: metres on a sphere of this radius.
inline constexpr double WebMercatorRadius = 6378137.0;
double webMercatorX(double longitude); // metres east of Greenwich
double webMercatorY(double latitude);  // metres north of the equator

struct ChartGeoreference {
    int width = 0;
    int height = 0;
    geo::Calibration calibration;
    QString name;        // the chart's base name, "AREA-NE01"
    QString areaName;    // the area's name as the window shows it
    QDateTime chartTime; // the chart's date (UTC); invalid when the chart carries none
    QString source;      // who made the chart, for an attribution ("Brinecast"); may be empty

    // Whether the writers can place this chart: a size and a valid Mercator calibration.
    bool isValid() const;

    // The position of a point in chart pixel coordinates: pixel (x, y) covers x..x+1, y..y+1,
    // and its centre (x + 0.5, y + 0.5) lies where PixelToGeo puts pixel (x, y). Longitude east
    // positive, degrees, double precision. Nothing when not valid.
    std::optional<geo::TrackPoint> position(double x, double y) const;

    // The picture's outer edges in degrees: north at y = 0, south at y = height, west at x = 0,
    // east at x = width. Only for a valid chart.
    double north() const { return position(0.0, 0.0)->lat; }
    double south() const { return position(0.0, height)->lat; }
    double west() const { return position(0.0, 0.0)->lon; }
    double east() const { return position(width, 0.0)->lon; }

    // The size of one pixel in Web Mercator metres, east-west and north-south: the chart's
    // spherical Mercator maps onto Web Mercator by scaling alone, so both are constant.
    double webMercatorPixelWidth() const;
    double webMercatorPixelHeight() const;
};

// The description of a chart of this size in an area (the area index as RecogniseArea gives
// it); name and date are left to the caller.
ChartGeoreference chartGeoreference(int area, int width, int height);

// What goes out with the chart. Each writer takes the parts its format carries.
struct ExportLayers {
    // The chart as it is to be seen, with the chosen layers (breaks, isotherms, marks) drawn in,
    // of the chart's size.
    QImage picture;
    // The water temperature of every pixel (waterTemperatureAt), row by row, NaN where the
    // chart shows no water; °F, or °C when celsius. Empty when not asked for.
    std::vector<float> temperature;
    bool celsius = false;
    // Breaks and isotherms as lines in chart pixel coordinates.
    std::vector<geo::TrackLine> lines;
    // Waypoints and home, when chosen.
    std::vector<Waypoint> waypoints;
    std::optional<geo::TrackPoint> home;
};

// Whether a writer can place the chart's picture: a valid chart and a picture of its size.
// False, with a one-line reason in *error, otherwise.
bool canPlacePicture(const ChartGeoreference& chart, const ExportLayers& layers, QString* error);

} // namespace exports
