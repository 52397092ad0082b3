// Makes realistic sample charts: 1024 x 1024 GIFs with a smooth sea-surface temperature field
// (a warm current with eddies) coloured by the program's temperature palette, the area's real
// land in grey with a black coastline, a few white cloud patches, and the keyed comment the chart
// publisher writes (TIMESTAMP, TMIN, TMAX, VARIATION).
//
// usage: make_sample_charts PALETTE.txt OUTDIR
// The land comes from the coastlines built into the program (geo/Coastline.h). Writes
// OUTDIR/area-<code>.gif for a few areas (dated 2026-12-01) and, for flipping,
// OUTDIR/archive/<timestamp>.gif for the week before of area ne01: the same land every day,
// the front and the eddies a little further on each day, the clouds anywhere.

#include "geo/AreaStuff.h"
#include "geo/Coastline.h"
#include "gif/GIFEncoder.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRgb>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

namespace {

constexpr int kSize = 1024;
// Palette lines 0 to 4 are the neutral colours; the ramp runs from line 5 (cold) to 255 (hot).
constexpr std::uint8_t kLand = 0;  // 100 100 100
constexpr std::uint8_t kCloud = 3; // 255 255 255
constexpr std::uint8_t kCoast = 4; // 0 0 0
constexpr int kFirstRampLine = 6;  // line 5 reads like the black row below the scale
constexpr int kLastRampLine = 254; // line 255 has hue 0 and reads nothing

struct SampleArea {
    const char* code;  // area code, e.g. "ne01"
    int tmin, tmax;    // temperature range of the colour scale, F
    double variation;  // magnetic variation, degrees east positive
    double coastAngle; // direction of the shore, radians (0 = west, pi/2 = north, pi = east)
    double warmth;     // 0..1: how far the warm current reaches into the chart
    unsigned seed;
};

// One chart: an area on a day of the sample's own clock (day 0 is 24 November 2026).
struct SampleChart {
    SampleArea area;
    int day;
};

// Smooth value noise on a lattice, cosine-interpolated; deterministic per seed.
class Noise {
public:
    explicit Noise(unsigned seed) {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> u(-1.0, 1.0);
        for (double& v : m_lattice)
            v = u(rng);
    }
    double at(double x, double y) const {
        const int xi = int(std::floor(x)), yi = int(std::floor(y));
        const double fx = x - xi, fy = y - yi;
        const double sx = (1 - std::cos(fx * M_PI)) / 2, sy = (1 - std::cos(fy * M_PI)) / 2;
        const double a = v(xi, yi), b = v(xi + 1, yi), c = v(xi, yi + 1), d = v(xi + 1, yi + 1);
        return (a * (1 - sx) + b * sx) * (1 - sy) + (c * (1 - sx) + d * sx) * sy;
    }
    double fractal(double x, double y, int octaves) const {
        double sum = 0, amp = 1, norm = 0;
        for (int o = 0; o < octaves; ++o) {
            sum += amp * at(x, y);
            norm += amp;
            x *= 2.03;
            y *= 2.03;
            amp *= 0.5;
        }
        return sum / norm;
    }

private:
    double v(int x, int y) const {
        return m_lattice[(unsigned(x) * 73856093u ^ unsigned(y) * 19349663u) % 4096];
    }
    double m_lattice[4096];
};

QVector<QRgb> readPalette(const QString& path) {
    QVector<QRgb> table;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return table;
    QTextStream in(&f);
    while (!in.atEnd()) {
        const QStringList words = in.readLine().split(u' ', Qt::SkipEmptyParts);
        if (words.size() == 3) table << qRgb(words[0].toInt(), words[1].toInt(), words[2].toInt());
    }
    return table;
}

std::vector<std::uint8_t> makeChart(const SampleChart& s, const std::vector<std::uint8_t>& land) {
    const SampleArea& a = s.area;
    const double day = s.day;
    const Noise seaNoise(a.seed * 7 + 2), cloudNoise(a.seed * 7 + 3 + 101 * unsigned(s.day));
    std::vector<std::uint8_t> idx(size_t(kSize) * kSize);
    const double cx = std::cos(a.coastAngle), cy = std::sin(a.coastAngle);
    // Eddies: a few warm and cold rings beside the current, drifting 5 to 12 pixels (a mile or
    // two) a day.
    struct Eddy {
        double x, y, r, dt;
    };
    std::mt19937 rng(a.seed);
    std::uniform_real_distribution<double> u01(0, 1);
    std::vector<Eddy> eddies;
    for (int i = 0; i < 5; ++i) {
        const double x = u01(rng) * kSize, y = u01(rng) * kSize, r = 40 + 70 * u01(rng);
        const double heading = u01(rng) * 2 * M_PI, speed = 5 + 7 * u01(rng);
        eddies.push_back({x + speed * day * std::cos(heading), y + speed * day * std::sin(heading),
                          r, (i % 2 ? 6.0 : -5.0)});
    }
    // The front moves offshore and back by a few miles over the week, its meanders travel
    // along it.
    const double frontShift = 0.03 * std::sin(day * 0.45);
    const double meanderPhase = a.seed + 0.25 * day;
    const double span = a.tmax - a.tmin;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const size_t i = size_t(y) * kSize + x;
            if (land[i]) {
                idx[i] = kLand;
                continue;
            }
            // Distance from the shore side: cold shelf water near land, the warm current offshore.
            const double off = ((x - kSize / 2.0) * cx + (y - kSize / 2.0) * cy) / kSize + 0.5;
            const double meander =
                0.12 * std::sin(y * 0.006 + x * 0.002 + meanderPhase) +
                0.08 * seaNoise.fractal((x + 4 * day) / 260.0, (y - 3 * day) / 260.0, 3);
            const double current =
                std::exp(-std::pow((off - (1.0 - a.warmth) - frontShift - meander) / 0.16, 2));
            double t = a.tmin + span * (0.18 + 0.22 * off + 0.5 * current);
            for (const Eddy& e : eddies) {
                const double d2 = (std::pow(x - e.x, 2) + std::pow(y - e.y, 2)) / (e.r * e.r);
                t += e.dt * std::exp(-d2);
            }
            t += span * 0.05 * seaNoise.fractal((x + 6 * day) / 90.0, (y + 2 * day) / 90.0, 4);
            // Temperature to palette line: the hottest ramp line is tmax, the coldest tmin.
            const double f = std::clamp((t - a.tmin) / span, 0.0, 1.0);
            idx[i] =
                std::uint8_t(std::lround(kFirstRampLine + f * (kLastRampLine - kFirstRampLine)));
        }
    // Coastline: a sea pixel next to land becomes black.
    const std::vector<std::uint8_t> coast = geo::coastPixels(land, kSize, kSize);
    for (size_t i = 0; i < coast.size(); ++i)
        if (coast[i]) idx[i] = kCoast;
    // Clouds: white where a coarse noise field of the day peaks, over sea and land alike.
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            if (cloudNoise.fractal(x / 120.0, y / 120.0, 5) > 0.45)
                idx[size_t(y) * kSize + x] = kCloud;
    return idx;
}

bool writeChart(const QString& path, const SampleChart& s, const std::vector<std::uint8_t>& land,
                const QVector<QRgb>& palette) {
    gif::EncoderInput in;
    in.screenWidth = kSize;
    in.screenHeight = kSize;
    in.globalTable = palette;
    gif::EncoderFrame frame;
    frame.width = kSize;
    frame.height = kSize;
    frame.indices = makeChart(s, land);
    in.frames.push_back(std::move(frame));
    const QDate date = QDate(2026, 11, 24).addDays(s.day);
    const QString timestamp = date.toString(QStringLiteral("yyyy-MM-dd-12")) + s.area.code;
    const QString comment = QStringLiteral("TIMESTAMP=%1\r\nTMIN=%2\r\nTMAX=%3\r\nVARIATION=%4")
                                .arg(timestamp)
                                .arg(s.area.tmin)
                                .arg(s.area.tmax)
                                .arg(s.area.variation, 0, 'f', 1);
    in.comments.push_back(comment.toLatin1());
    QString error;
    if (!gif::writeGifFile(path, in, &error)) {
        std::fprintf(stderr, "make_sample_charts: %s: %s\n", qPrintable(path), qPrintable(error));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_sample_charts PALETTE.txt OUTDIR\n");
        return 2;
    }
    const QVector<QRgb> palette = readPalette(QString::fromLocal8Bit(argv[1]));
    if (palette.size() != 256) {
        std::fprintf(stderr, "make_sample_charts: the palette must have 256 lines\n");
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[2]));
    out.mkpath(QStringLiteral("archive"));
    const SampleArea areas[] = {
        {"ne01", 38, 62, -15.0, 0.6, 0.55, 11}, {"ne07", 40, 72, -14.0, 0.8, 0.70, 12},
        {"ma05", 50, 80, -9.5, 0.8, 0.45, 13},  {"fl01", 60, 82, -6.0, 0.0, 0.50, 14},
        {"fl10", 64, 84, -3.5, 3.14, 0.6, 15},
    };
    constexpr int LatestDay = 7; // 1 December 2026
    bool ok = true;
    for (const SampleArea& a : areas) {
        const QString code = QString::fromLatin1(a.code);
        const int area = RecogniseArea(code);
        const std::vector<std::uint8_t> land = geo::landMask(area, kSize, kSize);
        if (land.empty()) {
            std::fprintf(stderr, "make_sample_charts: %s: no calibration\n", a.code);
            return 1;
        }
        ok &= writeChart(out.filePath("area-" + code + ".gif"), {a, LatestDay}, land, palette);
        // The week before of one area, named as the archive names them, for flipping.
        if (code != QLatin1String("ne01")) continue;
        for (int day = 0; day < LatestDay; ++day) {
            const QString name = QDate(2026, 11, 24).addDays(day).toString("yyyy-MM-dd-12") + code +
                                 QStringLiteral(".gif");
            ok &= writeChart(out.filePath("archive/" + name), {a, day}, land, palette);
        }
    }
    return ok ? 0 : 1;
}
