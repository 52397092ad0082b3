#include "geo/MagneticModel.h"

#include <array>
#include <cmath>

namespace {

// The Gauss coefficients of WMM2025 (public domain, NOAA NCEI and the British Geological Survey
// for NGA and DGC): degree n, order m, g and h at the epoch 2025.0 in nT, their yearly change in
// nT per year.
struct Coefficient {
    int n, m;
    double g, h, gDot, hDot;
};
constexpr Coefficient Wmm2025[] = {
    {1, 0, -29351.8, 0.0, 12.0, 0.0},    {1, 1, -1410.8, 4545.4, 9.7, -21.5},
    {2, 0, -2556.6, 0.0, -11.6, 0.0},    {2, 1, 2951.1, -3133.6, -5.2, -27.7},
    {2, 2, 1649.3, -815.1, -8.0, -12.1}, {3, 0, 1361.0, 0.0, -1.3, 0.0},
    {3, 1, -2404.1, -56.6, -4.2, 4.0},   {3, 2, 1243.8, 237.5, 0.4, -0.3},
    {3, 3, 453.6, -549.5, -15.6, -4.1},  {4, 0, 895.0, 0.0, -1.6, 0.0},
    {4, 1, 799.5, 278.6, -2.4, -1.1},    {4, 2, 55.7, -133.9, -6.0, 4.1},
    {4, 3, -281.1, 212.0, 5.6, 1.6},     {4, 4, 12.1, -375.6, -7.0, -4.4},
    {5, 0, -233.2, 0.0, 0.6, 0.0},       {5, 1, 368.9, 45.4, 1.4, -0.5},
    {5, 2, 187.2, 220.2, 0.0, 2.2},      {5, 3, -138.7, -122.9, 0.6, 0.4},
    {5, 4, -142.0, 43.0, 2.2, 1.7},      {5, 5, 20.9, 106.1, 0.9, 1.9},
    {6, 0, 64.4, 0.0, -0.2, 0.0},        {6, 1, 63.8, -18.4, -0.4, 0.3},
    {6, 2, 76.9, 16.8, 0.9, -1.6},       {6, 3, -115.7, 48.8, 1.2, -0.4},
    {6, 4, -40.9, -59.8, -0.9, 0.9},     {6, 5, 14.9, 10.9, 0.3, 0.7},
    {6, 6, -60.7, 72.7, 0.9, 0.9},       {7, 0, 79.5, 0.0, 0.0, 0.0},
    {7, 1, -77.0, -48.9, -0.1, 0.6},     {7, 2, -8.8, -14.4, -0.1, 0.5},
    {7, 3, 59.3, -1.0, 0.5, -0.8},       {7, 4, 15.8, 23.4, -0.1, 0.0},
    {7, 5, 2.5, -7.4, -0.8, -1.0},       {7, 6, -11.1, -25.1, -0.8, 0.6},
    {7, 7, 14.2, -2.3, 0.8, -0.2},       {8, 0, 23.2, 0.0, -0.1, 0.0},
    {8, 1, 10.8, 7.1, 0.2, -0.2},        {8, 2, -17.5, -12.6, 0.0, 0.5},
    {8, 3, 2.0, 11.4, 0.5, -0.4},        {8, 4, -21.7, -9.7, -0.1, 0.4},
    {8, 5, 16.9, 12.7, 0.3, -0.5},       {8, 6, 15.0, 0.7, 0.2, -0.6},
    {8, 7, -16.8, -5.2, 0.0, 0.3},       {8, 8, 0.9, 3.9, 0.2, 0.2},
    {9, 0, 4.6, 0.0, 0.0, 0.0},          {9, 1, 7.8, -24.8, -0.1, -0.3},
    {9, 2, 3.0, 12.2, 0.1, 0.3},         {9, 3, -0.2, 8.3, 0.3, -0.3},
    {9, 4, -2.5, -3.3, -0.3, 0.3},       {9, 5, -13.1, -5.2, 0.0, 0.2},
    {9, 6, 2.4, 7.2, 0.3, -0.1},         {9, 7, 8.6, -0.6, -0.1, -0.2},
    {9, 8, -8.7, 0.8, 0.1, 0.4},         {9, 9, -12.9, 10.0, -0.1, 0.1},
    {10, 0, -1.3, 0.0, 0.1, 0.0},        {10, 1, -6.4, 3.3, 0.0, 0.0},
    {10, 2, 0.2, 0.0, 0.1, 0.0},         {10, 3, 2.0, 2.4, 0.1, -0.2},
    {10, 4, -1.0, 5.3, 0.0, 0.1},        {10, 5, -0.6, -9.1, -0.3, -0.1},
    {10, 6, -0.9, 0.4, 0.0, 0.1},        {10, 7, 1.5, -4.2, -0.1, 0.0},
    {10, 8, 0.9, -3.8, -0.1, -0.1},      {10, 9, -2.7, 0.9, 0.0, 0.2},
    {10, 10, -3.9, -9.1, 0.0, 0.0},      {11, 0, 2.9, 0.0, 0.0, 0.0},
    {11, 1, -1.5, 0.0, 0.0, 0.0},        {11, 2, -2.5, 2.9, 0.0, 0.1},
    {11, 3, 2.4, -0.6, 0.0, 0.0},        {11, 4, -0.6, 0.2, 0.0, 0.1},
    {11, 5, -0.1, 0.5, -0.1, 0.0},       {11, 6, -0.6, -0.3, 0.0, 0.0},
    {11, 7, -0.1, -1.2, 0.0, 0.1},       {11, 8, 1.1, -1.7, -0.1, 0.0},
    {11, 9, -1.0, -2.9, -0.1, 0.0},      {11, 10, -0.2, -1.8, -0.1, 0.0},
    {11, 11, 2.6, -2.3, -0.1, 0.0},      {12, 0, -2.0, 0.0, 0.0, 0.0},
    {12, 1, -0.2, -1.3, 0.0, 0.0},       {12, 2, 0.3, 0.7, 0.0, 0.0},
    {12, 3, 1.2, 1.0, 0.0, -0.1},        {12, 4, -1.3, -1.4, 0.0, 0.1},
    {12, 5, 0.6, 0.0, 0.0, 0.0},         {12, 6, 0.6, 0.6, 0.1, 0.0},
    {12, 7, 0.5, -0.1, 0.0, 0.0},        {12, 8, -0.1, 0.8, 0.0, 0.0},
    {12, 9, -0.4, 0.1, 0.0, 0.0},        {12, 10, -0.2, -1.0, -0.1, 0.0},
    {12, 11, -1.3, 0.1, 0.0, 0.0},       {12, 12, -0.7, 0.2, -0.1, -0.1},
};

constexpr int MaxDegree = 12;
constexpr double ReferenceRadiusKm = 6371.2; // the geomagnetic reference sphere
// WGS-84, in km.
constexpr double SemiMajorKm = 6378.137;
constexpr double Flattening = 1.0 / 298.257223563;
constexpr double DegToRad = 0.017453292519943295;

using Table = std::array<std::array<double, MaxDegree + 1>, MaxDegree + 1>;

} // namespace

namespace geo {

std::optional<MagneticField> magneticField(double latDeg, double lonDeg, double altitudeKm,
                                           double decimalYear) {
    if (!std::isfinite(latDeg) || !std::isfinite(lonDeg) || !std::isfinite(altitudeKm) ||
        !std::isfinite(decimalYear))
        return std::nullopt;
    if (!(std::fabs(latDeg) < 90.0)) return std::nullopt;
    if (decimalYear < MagneticModelEpoch || decimalYear > MagneticModelValidUntil)
        return std::nullopt;

    // Geodetic to geocentric spherical coordinates as the WMM technical report does.
    const double phi = latDeg * DegToRad, lambda = lonDeg * DegToRad;
    const double e2 = Flattening * (2.0 - Flattening);
    const double sinPhi = std::sin(phi), cosPhi = std::cos(phi);
    const double primeVertical = SemiMajorKm / std::sqrt(1.0 - e2 * sinPhi * sinPhi);
    const double p = (primeVertical + altitudeKm) * cosPhi;
    const double z = (primeVertical * (1.0 - e2) + altitudeKm) * sinPhi;
    const double r = std::hypot(p, z);
    if (!(r > 0.0)) return std::nullopt;
    const double phiPrime = std::asin(z / r);
    // Colatitude of the sphere: the recursions below run in theta = 90 degrees - phi'.
    const double cosTheta = std::sin(phiPrime), sinTheta = std::cos(phiPrime);

    // Gauss-normalised associated Legendre functions P[n][m](cos theta) and their derivatives
    // in theta, by the classic recursions; the Schmidt semi-normalisation goes into the
    // coefficients below.
    Table P{}, dP{};
    P[0][0] = 1.0;
    for (int n = 1; n <= MaxDegree; ++n)
        for (int m = 0; m <= n; ++m) {
            if (m == n) {
                P[n][n] = sinTheta * P[n - 1][n - 1];
                dP[n][n] = sinTheta * dP[n - 1][n - 1] + cosTheta * P[n - 1][n - 1];
            } else {
                const double k =
                    n == 1 ? 0.0
                           : double((n - 1) * (n - 1) - m * m) / double((2 * n - 1) * (2 * n - 3));
                const double p2 = n >= 2 ? P[n - 2][m] : 0.0;
                const double dp2 = n >= 2 ? dP[n - 2][m] : 0.0;
                P[n][m] = cosTheta * P[n - 1][m] - k * p2;
                dP[n][m] = cosTheta * dP[n - 1][m] - sinTheta * P[n - 1][m] - k * dp2;
            }
        }
    // Schmidt factors S[n][m]: Gauss-normalised P times S is the Schmidt semi-normalised one.
    Table S{};
    S[0][0] = 1.0;
    for (int n = 1; n <= MaxDegree; ++n) {
        S[n][0] = S[n - 1][0] * double(2 * n - 1) / double(n);
        for (int m = 1; m <= n; ++m)
            S[n][m] =
                S[n][m - 1] * std::sqrt(double((n - m + 1) * (m == 1 ? 2 : 1)) / double(n + m));
    }

    // The field on the sphere (the report's synthesis): north X', east Y', down Z'; dP/dphi' is
    // -dP/dtheta.
    const double dt = decimalYear - MagneticModelEpoch;
    double xPrime = 0.0, yPrime = 0.0, zPrime = 0.0;
    for (const Coefficient& c : Wmm2025) {
        const double g = (c.g + dt * c.gDot) * S[c.n][c.m];
        const double h = (c.h + dt * c.hDot) * S[c.n][c.m];
        const double ratio = std::pow(ReferenceRadiusKm / r, c.n + 2);
        const double cosM = std::cos(c.m * lambda), sinM = std::sin(c.m * lambda);
        xPrime += ratio * (g * cosM + h * sinM) * dP[c.n][c.m];
        yPrime += ratio * c.m * (g * sinM - h * cosM) * P[c.n][c.m];
        zPrime -= ratio * (c.n + 1) * (g * cosM + h * sinM) * P[c.n][c.m];
    }
    yPrime /= sinTheta;

    // Rotated back to the ellipsoid's north and down.
    const double tilt = phiPrime - phi;
    MagneticField f;
    f.northNt = xPrime * std::cos(tilt) - zPrime * std::sin(tilt);
    f.eastNt = yPrime;
    f.downNt = xPrime * std::sin(tilt) + zPrime * std::cos(tilt);
    f.declinationDeg = std::atan2(f.eastNt, f.northNt) / DegToRad;
    f.inclinationDeg = std::atan2(f.downNt, std::hypot(f.northNt, f.eastNt)) / DegToRad;
    return f;
}

std::optional<double> magneticDeclination(double latDeg, double lonDeg, double altitudeKm,
                                          double decimalYear) {
    const std::optional<MagneticField> f = magneticField(latDeg, lonDeg, altitudeKm, decimalYear);
    if (!f) return std::nullopt;
    return f->declinationDeg;
}

double decimalYear(const QDate& date) {
    return date.year() + double(date.dayOfYear() - 1) / double(date.daysInYear());
}

} // namespace geo
