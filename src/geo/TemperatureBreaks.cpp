#include "geo/TemperatureBreaks.h"

#include "geo/TemperatureScale.h"
#include "geo/vekMapping.h"

#include <QString>

#include <algorithm>
#include <array>
#include <cmath>

namespace geo {

namespace {

// The sampling window of a reading: 5 columns, 3 rows (1 row on the first and last rows).
constexpr int HalfWindow = 2;

// The smoothing over the palette's steps is a Gaussian, cut at three times its width. Its
// width is chosen so that a single step of the readings, alone in calm water, never reaches
// the threshold (a step q smoothed by sigma pixels peaks at q / (sigma sqrt(2 pi)) per pixel),
// with a quarter to spare; at least 1.5 pixels, at most 6.
constexpr double LeastSigma = 1.5;
constexpr double MostSigma = 6.0;
constexpr double SqrtTwoPi = 2.5066282746310002;
// The fewest pixels a break line is drawn with, however coarse the chart.
constexpr int MinimumLinePixels = 3;

// Strengths are kept in steps of 1/1024 °F per NM (up to 64), so that a plateau of equal
// strength gives one line at its edge instead of a scatter of rounding noise.
constexpr double StrengthSteps = 1024.0;
inline std::uint16_t strengthStep(double strength) {
    return std::uint16_t(std::min(65535.0, std::nearbyint(strength * StrengthSteps)));
}

// Directions toward the warmer side, in 254 steps of the full turn: 1 + the step, so that 0
// means no gradient was taken there. Only gradients that reach the threshold need one; the
// others are marked Weaker.
constexpr int DirectionSteps = 254;
constexpr std::uint8_t Weaker = 255;
constexpr double TwoPi = 6.283185307179586;

std::vector<float> smoothingWeights(double sigma, int radius) {
    std::vector<float> w(std::size_t(2 * radius + 1));
    double sum = 0.0;
    for (int i = -radius; i <= radius; ++i) {
        const double v = std::exp(-double(i * i) / (2.0 * sigma * sigma));
        w[std::size_t(i + radius)] = float(v);
        sum += v;
    }
    for (float& v : w)
        v = float(v / sum);
    return w;
}

// The horizontal sums over a reading's five columns of one row: the components of the pixels
// that count towards a temperature, and how many counted.
struct RowSums {
    std::vector<int> red, green, blue, counted;
    void resize(int width) {
        red.assign(std::size_t(width), 0);
        green.assign(std::size_t(width), 0);
        blue.assign(std::size_t(width), 0);
        counted.assign(std::size_t(width), 0);
    }
};

void sumRow(const QImage& chart, int row, RowSums& sums) {
    const int width = chart.width();
    const QRgb* line = reinterpret_cast<const QRgb*>(chart.constScanLine(row));
    int r = 0, g = 0, b = 0, c = 0;
    auto take = [&](int x, int sign) {
        const int red = qRed(line[x]), green = qGreen(line[x]), blue = qBlue(line[x]);
        if (!countsTowardsTemperature(red, green, blue)) return;
        r += sign * red;
        g += sign * green;
        b += sign * blue;
        c += sign;
    };
    for (int x = 0; x < 2 * HalfWindow + 1 && x < width; ++x)
        take(x, 1);
    for (int x = HalfWindow; x < width - HalfWindow; ++x) {
        sums.red[std::size_t(x)] = r;
        sums.green[std::size_t(x)] = g;
        sums.blue[std::size_t(x)] = b;
        sums.counted[std::size_t(x)] = c;
        if (x + HalfWindow + 1 < width) {
            take(x + HalfWindow + 1, 1);
            take(x - HalfWindow, -1);
        }
    }
}

// Reads a chart's temperatures row by row, top to bottom, exactly as a pointer reading does:
// the sums of each row's five-column windows are kept for the three rows a reading averages.
class FieldRows {
public:
    FieldRows(const TemperatureScale& scale, const QImage& picture)
        : m_scale(scale), m_chart(picture.format() == QImage::Format_RGB32 ||
                                          picture.format() == QImage::Format_ARGB32
                                      ? picture
                                      : picture.convertToFormat(QImage::Format_RGB32)),
          m_remembered(std::size_t(1) << RememberedBits) {
        for (RowSums& sums : m_ring)
            sums.resize(m_chart.width());
    }

    int width() const { return m_chart.width(); }
    int height() const { return m_chart.height(); }
    bool readable() const { return width() >= 5 && height() >= 1 && !m_scale.scaleHues().empty(); }

    // Row y's temperatures (0 for none) and whether each reading saw water only. Rows are read
    // in order from 0.
    void read(int y, float* values, std::uint8_t* clean) {
        const int width = m_chart.width();
        const int height = m_chart.height();
        std::fill(values, values + width, 0.0f);
        std::fill(clean, clean + width, std::uint8_t(0));
        if (!readable()) return;
        const bool threeRows = y - 1 >= 0 && y + 1 <= height - 1;
        const int needed = threeRows ? y + 1 : y;
        while (m_summedUpTo < needed) {
            ++m_summedUpTo;
            sumRow(m_chart, m_summedUpTo, m_ring[std::size_t(m_summedUpTo % 3)]);
        }
        const RowSums& mid = m_ring[std::size_t(y % 3)];
        const RowSums* above = threeRows ? &m_ring[std::size_t((y + 2) % 3)] : nullptr;
        const RowSums* below = threeRows ? &m_ring[std::size_t((y + 1) % 3)] : nullptr;
        const int count = threeRows ? 15 : 5;
        // Columns 0, 1, width - 2 and width - 1 read nothing (too near the edge).
        for (int x = HalfWindow; x < width - HalfWindow; ++x) {
            const std::size_t i = std::size_t(x);
            int red = mid.red[i], green = mid.green[i], blue = mid.blue[i];
            int counted = mid.counted[i];
            if (threeRows) {
                red += above->red[i] + below->red[i];
                green += above->green[i] + below->green[i];
                blue += above->blue[i] + below->blue[i];
                counted += above->counted[i] + below->counted[i];
            }
            // Rejected pixels darken the average, as in a single reading (truncating); the
            // two divisors are spelled out so that they divide by multiplying.
            if (threeRows) {
                red /= 15;
                green /= 15;
                blue /= 15;
            } else {
                red /= 5;
                green /= 5;
                blue /= 5;
            }
            const float t = temperatureOf(red, green, blue);
            values[x] = t;
            clean[x] = t != 0.0f && counted == count ? 1 : 0;
        }
    }

private:
    static constexpr int RememberedBits = 12;
    struct Remembered {
        std::uint32_t key = 0xFFFFFFFFu; // no colour
        float temperature = 0.0f;
    };

    // Smooth water gives the same averages again and again: their readings are kept.
    float temperatureOf(int red, int green, int blue) {
        const std::uint32_t key =
            std::uint32_t(red) << 16 | std::uint32_t(green) << 8 | std::uint32_t(blue);
        Remembered& slot = m_remembered[(key * 2654435761u) >> (32 - RememberedBits)];
        if (slot.key != key) {
            slot.key = key;
            slot.temperature = m_scale.TemperatureOfAverage(red, green, blue);
        }
        return slot.temperature;
    }

    const TemperatureScale& m_scale;
    const QImage m_chart;
    std::array<RowSums, 3> m_ring;
    int m_summedUpTo = -1;
    std::vector<Remembered> m_remembered;
};

// The ridges of a field read row by row by readRow(y, values, clean), in order from row 0.
// One pass down the chart keeps only what the next rows need:
// - the readings of the rows the smoothing reaches;
// - where a gradient may be taken: every pixel within margin (a square) is clean, found from
//   runs along each row and a running count down each column;
// - the smoothed field, down the columns and then along the row, tap by tap so that the inner
//   loops run over neighbouring pixels, for the three rows a gradient reads.
// It leaves the gradient in °F per NM of every pixel where one could be taken and the direction
// toward the warmer side of those reaching lowest; the ridges are then found across them. The
// smoothing is the threshold's, whatever lowest is.
template <typename ReadRow>
BreakRidges ridgesOf(int width, int height, float readingStep, ReadRow&& readRow,
                     const Calibration& calibration, double threshold, double lowestStrength,
                     int joining = 0) {
    BreakRidges ridges;
    ridges.width = width;
    ridges.height = height;
    const std::size_t size = std::size_t(width) * std::size_t(height);
    ridges.ridge.assign(size, 0);
    ridges.strength.assign(size, 0);
    ridges.shortestLine = MinimumLinePixels;
    if (width < 3 || height < 3 || !calibration.Valid || !(threshold > 0.0)) return ridges;

    std::vector<PixelSize> rowSize(static_cast<std::size_t>(height));
    double smallestMiles = 1e300;
    for (int y = 0; y < height; ++y) {
        const std::optional<PixelSize> s = pixelSizeNm(calibration, y);
        if (!s) return ridges;
        rowSize[std::size_t(y)] = *s;
        smallestMiles = std::min({smallestMiles, s->eastWestNm, s->northSouthNm});
    }
    // Scraps shorter than a mile are left out: a break worth the trip runs on.
    ridges.shortestLine = std::max(MinimumLinePixels, int(std::ceil(1.0 / smallestMiles)));
    const double sigma =
        std::clamp(1.25 * double(readingStep) / (SqrtTwoPi * smallestMiles * threshold), LeastSigma,
                   MostSigma);
    const int radius = int(std::ceil(3.0 * sigma));
    // A gradient is taken only where the smoothing and the difference beside it saw clean water.
    const int margin = radius + 1;
    ridges.smoothing = sigma;
    if (width <= 2 * margin || height <= 2 * margin) return ridges;

    const std::vector<float> w = smoothingWeights(sigma, radius);
    // The smoothing of row e + 1 reads rows e + 1 - radius .. e + 1 + radius; the first row
    // smoothed, margin - 1, is two rows older than that when it is made.
    const int ringRows = 2 * radius + 3;
    std::vector<float> values(std::size_t(ringRows) * width, 0.0f);
    std::vector<std::uint8_t> clean(std::size_t(width), 0);
    std::vector<std::uint8_t> rowClean(std::size_t(width), 0);
    std::vector<int> columnRun(std::size_t(width), 0);
    std::vector<std::uint8_t> eligible(std::size_t(width), 0);
    std::array<std::vector<float>, 3> smoothRows;
    for (std::vector<float>& r : smoothRows)
        r.assign(std::size_t(width), 0.0f);
    std::vector<float> down(std::size_t(width), 0.0f);
    auto valuesOf = [&](int y) { return values.data() + std::size_t(y % ringRows) * width; };
    auto smoothRow = [&](int y) {
        float* __restrict sum = down.data();
        std::fill(down.begin(), down.end(), 0.0f);
        for (int k = -radius; k <= radius; ++k) {
            const float weight = w[std::size_t(k + radius)];
            const float* __restrict in = valuesOf(y + k);
            for (int x = 0; x < width; ++x)
                sum[x] += weight * in[x];
        }
        float* __restrict out = smoothRows[std::size_t(y % 3)].data();
        std::fill(out, out + width, 0.0f);
        for (int k = -radius; k <= radius; ++k) {
            const float weight = w[std::size_t(k + radius)];
            const float* __restrict shifted = sum + k;
            for (int x = radius; x < width - radius; ++x)
                out[x] += weight * shifted[x];
        }
    };
    std::vector<std::uint8_t> direction(size, 0);
    const double lowest = lowestStrength * (1.0 - ThresholdTolerance) * StrengthSteps;

    for (int y = 0; y < height; ++y) {
        readRow(y, valuesOf(y), clean.data());
        std::fill(rowClean.begin(), rowClean.end(), 0);
        int run = 0;
        for (int x = 0; x < width; ++x) {
            run = clean[std::size_t(x)] ? run + 1 : 0;
            // The run ending at x covers x - 2m .. x: pixel x - m is clean on both sides.
            if (run >= 2 * margin + 1) rowClean[std::size_t(x - margin)] = 1;
        }
        for (int x = 0; x < width; ++x) {
            int& count = columnRun[std::size_t(x)];
            count = rowClean[std::size_t(x)] ? count + 1 : 0;
            eligible[std::size_t(x)] = count >= 2 * margin + 1 ? 1 : 0;
        }
        // Row e = y - margin now knows where it may take gradients, and the readings reach
        // far enough down to smooth row e + 1.
        const int e = y - margin;
        if (e < margin || e >= height - margin) continue;
        if (e == margin) {
            smoothRow(e - 1);
            smoothRow(e);
        }
        smoothRow(e + 1);
        const float* north = smoothRows[std::size_t((e - 1) % 3)].data();
        const float* line = smoothRows[std::size_t(e % 3)].data();
        const float* south = smoothRows[std::size_t((e + 1) % 3)].data();
        const PixelSize& s = rowSize[std::size_t(e)];
        const double toEast = 0.5 / s.eastWestNm, toSouth = 0.5 / s.northSouthNm;
        std::uint16_t* strength = ridges.strength.data() + std::size_t(e) * width;
        std::uint8_t* toWarmer = direction.data() + std::size_t(e) * width;
        for (int x = margin; x < width - margin; ++x) {
            if (!eligible[std::size_t(x)]) continue;
            const double dx = double(line[x + 1]) - line[x - 1];
            const double dy = double(south[x]) - north[x];
            const double gx = dx * toEast, gy = dy * toSouth;
            strength[x] = strengthStep(std::sqrt(gx * gx + gy * gy));
            if (double(strength[x]) < lowest) {
                toWarmer[x] = Weaker;
                continue;
            }
            double turn = std::atan2(dy, dx) / TwoPi; // -0.5 .. 0.5
            if (turn < 0.0) turn += 1.0;
            toWarmer[x] =
                std::uint8_t(1 + int(std::lround(turn * DirectionSteps)) % DirectionSteps);
        }
    }

    // A ridge runs where the change is steepest across it: at least as steep as every pixel on
    // the warmer side and steeper than every pixel on the colder side, read along the exact
    // direction of the change out to the smoothing's reach. Looking that far keeps the leftover
    // ripple of the palette's steps on a broad front from drawing a bundle of lines.
    const int reach = std::max(1, int(std::ceil(3.0 * sigma)));
    std::array<double, DirectionSteps> cosines{}, sines{};
    for (int d = 0; d < DirectionSteps; ++d) {
        cosines[std::size_t(d)] = std::cos(TwoPi * d / DirectionSteps);
        sines[std::size_t(d)] = std::sin(TwoPi * d / DirectionSteps);
    }
    // The strength between pixels, along the exact direction of the change, read bilinearly;
    // nothing beside a pixel without a gradient. Written as two steps of a + t (b - a), so that
    // equal strengths give exactly that strength.
    auto strengthAt = [&](double px, double py) -> std::optional<double> {
        const int x0 = int(std::floor(px)), y0 = int(std::floor(py));
        if (x0 < 0 || y0 < 0 || x0 + 1 >= width || y0 + 1 >= height) return std::nullopt;
        const std::size_t j = std::size_t(y0) * width + std::size_t(x0);
        if (!direction[j] || !direction[j + 1] || !direction[j + width] ||
            !direction[j + width + 1])
            return std::nullopt;
        const double tx = px - x0, ty = py - y0;
        const double a = ridges.strength[j], b = ridges.strength[j + 1];
        const double c = ridges.strength[j + width], d = ridges.strength[j + width + 1];
        const double top = a + tx * (b - a), bottom = c + tx * (d - c);
        return top + ty * (bottom - top);
    };
    auto steepest = [&](std::size_t i) {
        const int here = ridges.strength[i];
        if (direction[i] == 0 || direction[i] == Weaker || here == 0) return false;
        const double x = double(i % std::size_t(width)), y = double(i / std::size_t(width));
        const double ux = cosines[std::size_t(direction[i] - 1)];
        const double uy = sines[std::size_t(direction[i] - 1)];
        for (int k = 1; k <= reach; ++k)
            for (const int side : {1, -1}) {
                // Beside land or cloud there is no telling where the change is steepest.
                const std::optional<double> there =
                    strengthAt(x + side * k * ux, y + side * k * uy);
                if (!there || (side > 0 ? *there > here : *there >= here)) return false;
            }
        return true;
    };
    if (joining <= 0) {
        for (int y = margin; y < height - margin; ++y)
            for (int x = margin; x < width - margin; ++x) {
                const std::size_t i = std::size_t(y) * width + std::size_t(x);
                if (steepest(i)) ridges.ridge[i] = 1;
            }
        return ridges;
    }

    // Only the ridges a break reaches: the test runs on the ridges reaching the threshold, then
    // spreads from each ridge found to the pixels within joining of it, so that the many weaker
    // pixels far from any break are never looked at. A pixel tested and found no ridge is
    // marked NoRidge until the spreading ends, so that it is tested once.
    constexpr std::uint8_t NoRidge = 2;
    std::vector<std::size_t> open;
    for (int y = margin; y < height - margin; ++y)
        for (int x = margin; x < width - margin; ++x) {
            const std::size_t i = std::size_t(y) * width + std::size_t(x);
            if (!BreakRidges::reaches(ridges.strength[i], threshold)) continue;
            ridges.ridge[i] = steepest(i) ? 1 : NoRidge;
            if (ridges.ridge[i] == 1) open.push_back(i);
        }
    while (!open.empty()) {
        const std::size_t i = open.back();
        open.pop_back();
        const int x = int(i % std::size_t(width)), y = int(i / std::size_t(width));
        for (int ny = std::max(margin, y - joining);
             ny <= std::min(height - margin - 1, y + joining); ++ny)
            for (int nx = std::max(margin, x - joining);
                 nx <= std::min(width - margin - 1, x + joining); ++nx) {
                const std::size_t j = std::size_t(ny) * width + std::size_t(nx);
                if (ridges.ridge[j] != 0) continue;
                if (steepest(j)) {
                    ridges.ridge[j] = 1;
                    open.push_back(j);
                } else {
                    ridges.ridge[j] = NoRidge;
                }
            }
    }
    for (int y = margin; y < height - margin; ++y)
        for (int x = margin; x < width - margin; ++x) {
            std::uint8_t& r = ridges.ridge[std::size_t(y) * width + std::size_t(x)];
            if (r == NoRidge) r = 0;
        }
    return ridges;
}

// The break layer from the ridges reaching the threshold: thin lines of at least the shortest
// length.
BreakLayer layerOf(BreakRidges&& ridges, double threshold) {
    BreakLayer layer;
    layer.width = ridges.width;
    layer.height = ridges.height;
    layer.threshold = threshold;
    layer.smoothing = ridges.smoothing;
    const int width = ridges.width, height = ridges.height;
    const std::size_t size = ridges.ridge.size();
    layer.marks = std::move(ridges.ridge);
    layer.strength = std::move(ridges.strength);
    for (std::size_t i = 0; i < size; ++i)
        if (layer.marks[i] && !BreakRidges::reaches(layer.strength[i], threshold))
            layer.marks[i] = 0;

    const int shortest = ridges.shortestLine;
    std::vector<std::size_t> line;
    std::vector<std::size_t> open;
    for (std::size_t start = 0; start < size; ++start) {
        if (layer.marks[start] != 1) continue;
        // Each line is walked once through its eight-connected pixels, marked 2 while walked.
        line.clear();
        open.assign(1, start);
        layer.marks[start] = 2;
        while (!open.empty()) {
            const std::size_t i = open.back();
            open.pop_back();
            line.push_back(i);
            const int x = int(i % std::size_t(width)), y = int(i / std::size_t(width));
            for (int ny = std::max(0, y - 1); ny <= std::min(height - 1, y + 1); ++ny)
                for (int nx = std::max(0, x - 1); nx <= std::min(width - 1, x + 1); ++nx) {
                    const std::size_t j = std::size_t(ny) * width + std::size_t(nx);
                    if (layer.marks[j] != 1) continue;
                    layer.marks[j] = 2;
                    open.push_back(j);
                }
        }
        const bool kept = int(line.size()) >= shortest;
        for (const std::size_t i : line)
            layer.marks[i] = kept ? 3 : 0;
        if (kept) layer.markCount += int(line.size());
    }
    for (std::uint8_t& mark : layer.marks)
        mark = mark != 0 ? 1 : 0;
    return layer;
}

} // namespace

float readingStep(const TemperatureScale& scale) {
    const std::vector<double>& hues = scale.scaleHues();
    const std::vector<double>& temperatures = scale.scaleTemperatures();
    if (hues.empty() || temperatures.size() < 2) return 0.0f;
    // Every temperature a reading can give: one for each whole hue.
    std::vector<float> reachable;
    for (int hue = -64; hue < 256; ++hue)
        reachable.push_back(scale.TemperatureFromHue(hue));
    std::sort(reachable.begin(), reachable.end());
    reachable.erase(std::unique(reachable.begin(), reachable.end()), reachable.end());
    float step = 0.0f;
    for (std::size_t i = 1; i < reachable.size(); ++i)
        step = std::max(step, reachable[i] - reachable[i - 1]);
    // A gap of the palette itself (a jump of hue between two rows) is no step of the water.
    const double row =
        std::abs(temperatures.front() - temperatures.back()) / double(temperatures.size() - 1);
    return float(std::min(double(step), 8.0 * row));
}

TemperatureField temperatureField(const TemperatureScale& scale, const QImage& picture) {
    FieldRows rows(scale, picture);
    TemperatureField field;
    field.readingStep = readingStep(scale);
    field.width = rows.width();
    field.height = rows.height();
    const std::size_t size = std::size_t(field.width) * std::size_t(field.height);
    field.values.assign(size, 0.0f);
    field.clean.assign(size, 0);
    for (int y = 0; y < field.height; ++y)
        rows.read(y, field.values.data() + std::size_t(y) * field.width,
                  field.clean.data() + std::size_t(y) * field.width);
    return field;
}

std::optional<PixelSize> pixelSizeNm(const Calibration& c, int row) {
    if (!c.Valid || c.Row2 == c.Row1 || c.Col2 == c.Col1) return std::nullopt;
    float latitude = 0.0f, longitude = 0.0f;
    if (!PixelToGeo(c, c.Col1, row, latitude, longitude)) return std::nullopt;
    const double cosLat = std::cos(double(latitude) * M_PI / 180.0);
    // Degrees of longitude per column are the same on every row.
    const double lonPerColumn = (double(c.LonWest2) - c.LonWest1) / double(c.Col2 - c.Col1);
    // Degrees of latitude per row: constant on a linear chart; on a Mercator chart the ordinate
    // is linear in the rows and changes by sec(latitude) per degree of latitude.
    const double latPerRow = c.Mercator
                                 ? (double(c.MercY2) - c.MercY1) / double(c.Row2 - c.Row1) * cosLat
                                 : (double(c.Lat2) - c.Lat1) / double(c.Row2 - c.Row1);
    PixelSize size;
    size.eastWestNm = std::abs(lonPerColumn) * 60.0 * cosLat;
    size.northSouthNm = std::abs(latPerRow) * 60.0;
    if (!(size.eastWestNm > 0.0) || !(size.northSouthNm > 0.0)) return std::nullopt;
    return size;
}

BreakLayer findTemperatureBreaks(const TemperatureField& field, const Calibration& calibration,
                                 double threshold) {
    const int width = field.width;
    auto readRow = [&](int y, float* values, std::uint8_t* clean) {
        const std::size_t from = std::size_t(y) * std::size_t(width);
        std::copy_n(field.values.data() + from, width, values);
        std::copy_n(field.clean.data() + from, width, clean);
    };
    return layerOf(ridgesOf(width, field.height, field.readingStep, readRow, calibration, threshold,
                            threshold),
                   threshold);
}

BreakRidges findBreakRidges(const TemperatureField& field, const Calibration& calibration,
                            double threshold, double lowest, int joining) {
    const int width = field.width;
    auto readRow = [&](int y, float* values, std::uint8_t* clean) {
        const std::size_t from = std::size_t(y) * std::size_t(width);
        std::copy_n(field.values.data() + from, width, values);
        std::copy_n(field.clean.data() + from, width, clean);
    };
    return ridgesOf(width, field.height, field.readingStep, readRow, calibration, threshold,
                    std::min(lowest, threshold), joining);
}

BreakLayer chartBreaks(const TemperatureScale& scale, const QImage& chart,
                       const Calibration& calibration, double threshold) {
    FieldRows rows(scale, chart);
    auto readRow = [&rows](int y, float* values, std::uint8_t* clean) {
        rows.read(y, values, clean);
    };
    return layerOf(ridgesOf(rows.width(), rows.height(), readingStep(scale), readRow, calibration,
                            threshold, threshold),
                   threshold);
}

float BreakLayer::strengthAt(int x, int y) const {
    return float(double(strength[std::size_t(y) * width + x]) / StrengthSteps);
}

float BreakRidges::strengthAt(std::size_t i) const {
    return float(double(strength[i]) / StrengthSteps);
}

bool BreakRidges::reaches(std::uint16_t strength, double threshold) {
    return double(strength) >= threshold * (1.0 - ThresholdTolerance) * StrengthSteps;
}

QImage breakOverlay(const BreakLayer& layer) {
    QImage overlay(layer.width, layer.height, QImage::Format_ARGB32_Premultiplied);
    if (overlay.isNull()) return overlay;
    overlay.fill(Qt::transparent);
    drawBreaks(overlay, layer);
    return overlay;
}

void drawBreaks(QImage& picture, const BreakLayer& layer) {
    if (picture.width() != layer.width || picture.height() != layer.height || layer.markCount == 0)
        return;
    if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32 &&
        picture.format() != QImage::Format_ARGB32_Premultiplied)
        picture = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRgb colour = breakLineColour().rgba();
    for (int y = 0; y < layer.height; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        const std::uint8_t* marks = layer.marks.data() + std::size_t(y) * layer.width;
        for (int x = 0; x < layer.width; ++x)
            if (marks[x]) line[x] = colour;
    }
}

std::optional<double> readBreakThreshold(const QString& text) {
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || !isBreakThreshold(value)) return std::nullopt;
    return value;
}

} // namespace geo
