// Makes realistic sample charts: 1024 x 1024 GIFs with a smooth sea-surface temperature field
// (a warm current with eddies) coloured by the program's temperature palette, grey land on the
// coast side with a black coastline, a few white cloud patches, and the keyed comment the chart
// publisher writes (TIMESTAMP, TMIN, TMAX, VARIATION).
//
// usage: make_sample_charts PALETTE.txt OUTDIR
// Writes OUTDIR/area-<code>.gif for a few areas (dated 2026-12-01) and, for flipping,
// OUTDIR/archive/<timestamp>.gif for several days of area ne01.

#include "gif/GIFEncoder.h"

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

struct SampleChart {
    QString code;      // area code, e.g. "ne01"
    int day;           // day of December 2026
    int tmin, tmax;    // temperature range of the colour scale, F
    double variation;  // magnetic variation, degrees east positive
    double coastAngle; // direction of the land side, radians (0 = west)
    double warmth;     // 0..1: how far the warm current reaches into the chart
    unsigned seed;
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

std::vector<std::uint8_t> makeChart(const SampleChart& s) {
    const Noise coastNoise(s.seed * 7 + 1), seaNoise(s.seed * 7 + 2), cloudNoise(s.seed * 7 + 3);
    std::vector<std::uint8_t> idx(size_t(kSize) * kSize);
    std::vector<std::uint8_t> land(size_t(kSize) * kSize);
    const double cx = std::cos(s.coastAngle), cy = std::sin(s.coastAngle);
    // Land: the side of a wavy line facing coastAngle, about a fifth of the chart.
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const double u =
                (x - kSize / 2.0) * -cx + (y - kSize / 2.0) * -cy; // along the land side
            const double wave = 90 * coastNoise.fractal(x / 180.0, y / 180.0, 4);
            land[size_t(y) * kSize + x] = (u + wave > kSize * 0.30) ? 1 : 0;
        }
    // Eddies: a few warm and cold rings beside the current.
    struct Eddy {
        double x, y, r, dt;
    };
    std::mt19937 rng(s.seed);
    std::uniform_real_distribution<double> u01(0, 1);
    std::vector<Eddy> eddies;
    for (int i = 0; i < 5; ++i)
        eddies.push_back(
            {u01(rng) * kSize, u01(rng) * kSize, 40 + 70 * u01(rng), (i % 2 ? 6.0 : -5.0)});

    const double span = s.tmax - s.tmin;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const size_t i = size_t(y) * kSize + x;
            if (land[i]) {
                idx[i] = kLand;
                continue;
            }
            // Distance from the coast side: cold shelf water near land, the warm current offshore.
            const double off = ((x - kSize / 2.0) * cx + (y - kSize / 2.0) * cy) / kSize + 0.5;
            const double meander = 0.12 * std::sin(y * 0.006 + x * 0.002 + s.seed) +
                                   0.08 * seaNoise.fractal(x / 260.0, y / 260.0, 3);
            const double current =
                std::exp(-std::pow((off - (1.0 - s.warmth) - meander) / 0.16, 2));
            double t = s.tmin + span * (0.18 + 0.22 * off + 0.5 * current);
            for (const Eddy& e : eddies) {
                const double d2 = (std::pow(x - e.x, 2) + std::pow(y - e.y, 2)) / (e.r * e.r);
                t += e.dt * std::exp(-d2);
            }
            t += span * 0.05 * seaNoise.fractal(x / 90.0, y / 90.0, 4);
            // Temperature to palette line: the hottest ramp line is tmax, the coldest tmin.
            const double f = std::clamp((t - s.tmin) / span, 0.0, 1.0);
            idx[i] =
                std::uint8_t(std::lround(kFirstRampLine + f * (kLastRampLine - kFirstRampLine)));
        }
    // Clouds: white where a coarse noise field peaks, over sea and land alike.
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            if (cloudNoise.fractal(x / 120.0, y / 120.0, 5) > 0.42)
                idx[size_t(y) * kSize + x] = kCloud;
    // Coastline: a sea pixel next to land becomes black.
    for (int y = 1; y < kSize - 1; ++y)
        for (int x = 1; x < kSize - 1; ++x) {
            const size_t i = size_t(y) * kSize + x;
            if (land[i]) continue;
            if (land[i - 1] || land[i + 1] || land[i - kSize] || land[i + kSize]) idx[i] = kCoast;
        }
    return idx;
}

bool writeChart(const QString& path, const SampleChart& s, int month,
                const QVector<QRgb>& palette) {
    gif::EncoderInput in;
    in.screenWidth = kSize;
    in.screenHeight = kSize;
    in.globalTable = palette;
    gif::EncoderFrame frame;
    frame.width = kSize;
    frame.height = kSize;
    frame.indices = makeChart(s);
    in.frames.push_back(std::move(frame));
    const QString timestamp = QStringLiteral("2026-%1-%2-12%3")
                                  .arg(month, 2, 10, QLatin1Char('0'))
                                  .arg(s.day, 2, 10, QLatin1Char('0'))
                                  .arg(s.code);
    const QString comment = QStringLiteral("TIMESTAMP=%1\r\nTMIN=%2\r\nTMAX=%3\r\nVARIATION=%4")
                                .arg(timestamp)
                                .arg(s.tmin)
                                .arg(s.tmax)
                                .arg(s.variation, 0, 'f', 1);
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
    const SampleChart latest[] = {
        {"ne01", 1, 38, 62, -15.0, 0.6, 0.55, 11}, {"ne07", 1, 40, 72, -14.0, 2.4, 0.70, 12},
        {"ma05", 1, 50, 80, -9.5, 2.7, 0.75, 13},  {"fl01", 1, 60, 82, -6.0, 3.14, 0.80, 14},
        {"fl10", 1, 64, 84, -3.5, 0.3, 0.6, 15},
    };
    bool ok = true;
    for (const SampleChart& s : latest)
        ok &= writeChart(out.filePath("area-" + s.code + ".gif"), s, 12, palette);
    // Several days of one area, named as the archive names them, for flipping.
    for (int day = 24; day <= 30; ++day) {
        const SampleChart s{
            "ne01", day, 38, 62, -15.0, 0.6, 0.45 + 0.01 * (day - 24), unsigned(100 + day)};
        const QString name = QStringLiteral("2026-11-%1-12ne01.gif").arg(day);
        ok &= writeChart(out.filePath("archive/" + name), s, 11, palette);
    }
    return ok ? 0 : 1;
}
