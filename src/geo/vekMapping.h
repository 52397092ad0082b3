#pragma once
#include "geo/AreaStuff.h"

// Latitude (degrees) to its Mercator ordinate (degrees), single precision. Where the
// computation fails (a latitude at or beyond a pole), the result is the latitude itself.
float MercatorY(float latitude);

// Mercator ordinate (degrees) back to a latitude (degrees), single precision. Where the
// computation fails (an ordinate too large for the exponential), the result is the ordinate.
float InverseMercatorY(float ordinate);

// Chart pixel of a position under a calibration, each coordinate rounded to nearest with halves
// to even. False, with x and y untouched, when the calibration is not valid or the pixel lies
// beyond what an int can hold.
bool GeoToPixel(const geo::Calibration& calibration, float latitude, float longitude, int& x,
                int& y);

// The same chart pixel before rounding, in fractions (a whole number is that pixel's centre):
// columns linear in longitude, rows linear in the Mercator ordinate of the latitude taken in
// single precision (or in the latitude for a plain calibration). For outlines drawn or filled
// through the mapping. False, with x and y untouched, when the calibration is not valid or the
// result is not finite.
bool GeoToPixelPoint(const geo::Calibration& calibration, double latitude, double longitude,
                     double& x, double& y);

// Position (degrees, single precision) of a chart pixel under a calibration. False, with the
// outputs untouched, when the calibration is not valid.
bool PixelToGeo(const geo::Calibration& calibration, int x, int y, float& latitude,
                float& longitude);
bool PixelToGeo(const geo::Calibration& calibration, int x, int y, GeoPosition& position);

// The same mapping in double precision at any point between pixels: x and y count pixels as
// PixelToGeo does (a whole number is that pixel), fractions lie between them. For lines drawn
// between pixel centres. False, with the outputs untouched, when the calibration is not valid or
// the point or the result is not finite.
bool PixelPointToGeo(const geo::Calibration& calibration, double x, double y, double& latitude,
                     double& longitude);

// Great-circle distance in km (sphere of radius 6378.135 km) and initial bearing in degrees
// (0 <= bearing < 360, from true north) from point 1 to point 2; inputs in degrees. False, with
// the outputs untouched, when the computation meets a floating-point fault (nearly antipodal
// points, or a non-finite input).
bool RangeAndBearing(float lon1, float lat1, float lon2, float lat2, float& distanceKm,
                     float& bearingDeg);
