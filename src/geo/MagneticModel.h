#pragma once

// The World Magnetic Model WMM2025: the main geomagnetic field at a position and date, from
// which a chart's magnetic variation (declination) is taken.

#include <QDate>

#include <optional>

namespace geo {

// The span the WMM2025 coefficients are made for, in decimal years.
inline constexpr double MagneticModelEpoch = 2025.0;
inline constexpr double MagneticModelValidUntil = 2030.0;

// The field's components in nanotesla along geodetic north, east and down at the position, and
// the angles derived from them in degrees: declination east of true north (east positive,
// -180 < D <= 180) and inclination below the horizontal (down positive).
struct MagneticField {
    double northNt = 0.0;
    double eastNt = 0.0;
    double downNt = 0.0;
    double declinationDeg = 0.0;
    double inclinationDeg = 0.0;
};

// The field at a geodetic position (degrees on the WGS-84 ellipsoid, north and east positive)
// at a height above the ellipsoid (km) on a decimal year. Nothing when an input is not finite,
// the latitude is at or beyond a pole (where the declination has no meaning), or the date lies
// outside the model's span 2025.0 to 2030.0.
std::optional<MagneticField> magneticField(double latDeg, double lonDeg, double altitudeKm,
                                           double decimalYear);

// The magnetic declination (variation), degrees east positive; nothing as for magneticField.
std::optional<double> magneticDeclination(double latDeg, double lonDeg, double altitudeKm,
                                          double decimalYear);

// A calendar day as a decimal year the way the model counts time: the year plus the days before
// this one over the days in the year (1 January 2026 is 2026.0, 2 July 2026 is 2026.4986).
double decimalYear(const QDate& date);

} // namespace geo
