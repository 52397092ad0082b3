#include "geo/vekMapping.h"

#include <cmath>
#include <limits>

namespace {

constexpr double PiOver360 = 0.008726646259971648;
constexpr double PiOver4 = 0.7853981633974483;
constexpr double RadToDeg = 57.29577951308232;
constexpr double PiOver180 = 0.017453292519943295;
constexpr double ThreeSixtyOverPi = 114.59155902616465;
// The range and bearing work in extended precision with these constants: pi/180, 180/pi, 2 pi,
// 1 - e^2 of the WGS-72 ellipsoid (the bearing is taken on geodetic-corrected latitudes) and the
// WGS-72 equatorial radius in km.
constexpr long double DegToRadX = 0.017453292519943295L;
constexpr long double RadToDegX = 57.29577951308232L;
constexpr long double TwoPiX = 6.283185307179586L;
constexpr long double OneMinusE2X = 0.99330568222173332L;
constexpr long double EarthRadiusKmX = 6378.135L;

// A double that a float can hold without overflowing to infinity.
bool fitsFloat(double v) {
    return std::isfinite(v) && std::fabs(v) <= double(std::numeric_limits<float>::max());
}

// Nearest integer, halves to even (std::nearbyint in the default rounding mode); false when the
// value is not finite or does not fit an int.
bool roundToInt(double v, int& out) {
    const double r = std::nearbyint(v);
    if (!(r >= double(std::numeric_limits<int>::min()) &&
          r <= double(std::numeric_limits<int>::max())))
        return false;
    out = int(r);
    return true;
}

} // namespace

float MercatorY(float latitude) {
    const double d = latitude;
    if (d == 0.0) return 0.0f;
    if (!(d > 0.0) && !(d < 0.0)) return latitude; // not a number
    const double t =
        d > 0.0 ? std::tan(PiOver4 + d * PiOver360) : std::tan(PiOver4 - d * PiOver360);
    // The logarithm of a non-positive tangent (latitude beyond a pole) is an arithmetic error.
    if (!(t > 0.0) || !std::isfinite(t)) return latitude;
    const double y = (d > 0.0 ? std::log(t) : -std::log(t)) * RadToDeg;
    if (!fitsFloat(y)) return latitude;
    return float(y);
}

float InverseMercatorY(float ordinate) {
    const double y = ordinate;
    if (y == 0.0) return 0.0f;
    if (!(y > 0.0) && !(y < 0.0)) return ordinate; // not a number
    const double e = std::exp((y > 0.0 ? y : -y) * PiOver180);
    if (!std::isfinite(e)) return ordinate; // the exponential overflowed
    const double lat = y > 0.0 ? (std::atan(e) - PiOver4) * ThreeSixtyOverPi
                               : (PiOver4 - std::atan(e)) * ThreeSixtyOverPi;
    return float(lat);
}

bool GeoToPixelPoint(const geo::Calibration& c, double latitude, double longitude, double& x,
                     double& y) {
    if (!c.Valid) return false;
    const double px =
        (longitude + c.LonWest1) * double(c.Col2 - c.Col1) / (double(c.LonWest1) - c.LonWest2) +
        c.Col1;
    double py;
    if (c.Mercator)
        py = (double(MercatorY(float(latitude))) - c.MercY1) * double(c.Row2 - c.Row1) /
                 (double(c.MercY2) - c.MercY1) +
             c.Row1;
    else
        py = (latitude - c.Lat1) * double(c.Row2 - c.Row1) / (double(c.Lat2) - c.Lat1) + c.Row1;
    if (!std::isfinite(px) || !std::isfinite(py)) return false;
    x = px;
    y = py;
    return true;
}

bool GeoToPixel(const geo::Calibration& c, float latitude, float longitude, int& x, int& y) {
    double px, py;
    if (!GeoToPixelPoint(c, latitude, longitude, px, py)) return false;
    int ix, iy;
    if (!roundToInt(px, ix) || !roundToInt(py, iy)) return false;
    x = ix;
    y = iy;
    return true;
}

bool PixelToGeo(const geo::Calibration& c, int x, int y, float& latitude, float& longitude) {
    if (!c.Valid) return false;
    const float lon =
        float((double(c.LonWest1) - c.LonWest2) * (double(x) - c.Col1) / double(c.Col2 - c.Col1) -
              c.LonWest1);
    float lat;
    if (c.Mercator) {
        const float m =
            float(double(c.MercY1) +
                  (double(c.MercY2) - c.MercY1) * (double(y) - c.Row1) / double(c.Row2 - c.Row1));
        lat = InverseMercatorY(m);
    } else {
        lat = float(double(c.Lat1) +
                    (double(c.Lat2) - c.Lat1) * (double(y) - c.Row1) / double(c.Row2 - c.Row1));
    }
    latitude = lat;
    longitude = lon;
    return true;
}

bool PixelToGeo(const geo::Calibration& calibration, int x, int y, GeoPosition& position) {
    return PixelToGeo(calibration, x, y, position.Latitude, position.Longitude);
}

bool PixelPointToGeo(const geo::Calibration& c, double x, double y, double& latitude,
                     double& longitude) {
    if (!c.Valid || !std::isfinite(x) || !std::isfinite(y)) return false;
    const double lon =
        (double(c.LonWest1) - c.LonWest2) * (x - c.Col1) / double(c.Col2 - c.Col1) - c.LonWest1;
    double lat;
    if (c.Mercator) {
        const double m = double(c.MercY1) +
                         (double(c.MercY2) - c.MercY1) * (y - c.Row1) / double(c.Row2 - c.Row1);
        lat = std::atan(std::exp(m * PiOver180)) * ThreeSixtyOverPi - 90.0;
    } else {
        lat = double(c.Lat1) + (double(c.Lat2) - c.Lat1) * (y - c.Row1) / double(c.Row2 - c.Row1);
    }
    if (!std::isfinite(lat) || !std::isfinite(lon)) return false;
    latitude = lat;
    longitude = lon;
    return true;
}

bool RangeAndBearing(float lon1, float lat1, float lon2, float lat2, float& distanceKm,
                     float& bearingDeg) {
    if (!std::isfinite(lon1) || !std::isfinite(lat1) || !std::isfinite(lon2) ||
        !std::isfinite(lat2))
        return false;
    // Intermediate values are extended precision (long double); the radians, the central angle,
    // the corrected latitudes, the angle and both results are stored as singles where named.
    using Extended = long double;
    const float rLon1 = float(lon1 * DegToRadX);
    float rLat1 = float(lat1 * DegToRadX);
    const float rLon2 = float(lon2 * DegToRadX);
    float rLat2 = float(lat2 * DegToRadX);

    // Haversine on the sphere.
    const Extended sinHalfLat = std::sin((Extended(rLat1) - rLat2) / 2);
    const Extended sinHalfLon = std::sin((Extended(rLon1) - rLon2) / 2);
    const Extended a = sinHalfLat * sinHalfLat + std::cos(Extended(rLat1)) *
                                                     std::cos(Extended(rLat2)) * sinHalfLon *
                                                     sinHalfLon;
    // arcsin(s) as arctan2(s, sqrt(1 - s^2)): both square roots must have non-negative
    // arguments, which rounding can break for nearly antipodal points.
    if (!(a >= 0)) return false;
    const Extended s = std::sqrt(a);
    const Extended rest = 1 - s * s;
    if (!(rest >= 0)) return false;
    const float c = float(2 * std::atan2(s, std::sqrt(rest)));

    float theta;
    if (std::cos(Extended(rLat1)) < 0.00001L) {
        theta = rLat1 > 0.0f ? float(3.141592653589793) : 0.0f; // point 1 at a pole
    } else {
        rLat1 = float(std::atan(std::tan(Extended(rLat1)) / OneMinusE2X));
        rLat2 = float(std::atan(std::tan(Extended(rLat2)) / OneMinusE2X));
        const Extended delta = Extended(rLon2) - rLon1;
        const Extended by = std::sin(delta) * std::cos(Extended(rLat2));
        const Extended bx = std::cos(Extended(rLat1)) * std::sin(Extended(rLat2)) -
                            std::sin(Extended(rLat1)) * std::cos(Extended(rLat2)) * std::cos(delta);
        theta = float(std::atan2(by, bx));
        if (theta < 0.0f) theta = float(theta + TwoPiX);
    }
    float bearing = float(theta * RadToDegX);
    // A bearing a hair below zero can round up to exactly 360 in single precision.
    if (bearing >= 360.0f) bearing -= 360.0f;
    const float distance = float(c * EarthRadiusKmX);
    if (!std::isfinite(bearing) || !std::isfinite(distance)) return false;
    distanceKm = distance;
    bearingDeg = bearing;
    return true;
}
