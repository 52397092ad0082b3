// The chart as a BSB 3 raster chart: a text header that places it (Mercator on WGS84, REF points
// from the area's calibration, the border, the date), then the picture's rows run-length coded
// in at most 127 colours, then the index of where each row starts.
#include "export/KapWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <unordered_map>
#include <vector>

namespace exports {
namespace {

// A row ends at a 0 byte, so colour index 0 is never used: a KAP picture has colours 1..127.
constexpr int MostKapColours = 127;
// A picture with more colours than this is reduced from its most frequent ones only: charts
// have a few hundred, and the reduction below takes time with the square of the count.
constexpr std::size_t MostCandidateColours = 4096;
// Drawing units (pixels per inch) the header's scale is given for.
constexpr int DrawingUnits = 254;

struct IndexedPicture {
    std::vector<QRgb> palette;        // palette[i] is colour index i + 1
    std::vector<std::uint8_t> pixels; // colour indices, row by row
};

int colourDistance(QRgb a, QRgb b) {
    const int r = qRed(a) - qRed(b), g = qGreen(a) - qGreen(b), bl = qBlue(a) - qBlue(b);
    return r * r + g * g + bl * bl;
}

// The picture's colours as KAP colour indices. Up to 127 colours each keeps its own index. With
// more, the palette is made of the picture's own colours: the closer of the two nearest
// colours that remain, the less frequent of them, is dropped until 127 remain, so colours far
// from all others (land, cloud, coast, the drawn layers) stay exact and a temperature scale
// loses every other step at worst; then every colour takes its nearest palette colour.
IndexedPicture indexedPicture(const QImage& picture) {
    // Every pixel's colour numbered in order of first appearance. A small cache keyed by the
    // colour's hash spares the map look-up: a chart has a few hundred colours.
    std::unordered_map<QRgb, std::uint32_t> numberOf;
    std::vector<std::pair<QRgb, std::uint64_t>> colours; // by number: colour and pixel count
    std::vector<std::uint32_t> numbers(std::size_t(picture.width()) * picture.height());
    std::vector<QRgb> cachedColour(4096, 0); // 0 is no colour: every colour here is opaque
    std::vector<std::uint32_t> cachedNumber(4096, 0);
    std::size_t at = 0;
    for (int y = 0; y < picture.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb colour = row[x] | 0xff000000u;
            const std::uint32_t slot = (colour * 0x9e3779b1u) >> 20;
            if (cachedColour[slot] != colour) {
                const auto [found, added] = numberOf.try_emplace(colour, colours.size());
                if (added) colours.push_back({colour, 0});
                cachedColour[slot] = colour;
                cachedNumber[slot] = found->second;
            }
            ++colours[cachedNumber[slot]].second;
            numbers[at++] = cachedNumber[slot];
        }
    }
    const std::vector<std::pair<QRgb, std::uint64_t>> byNumber = colours;
    std::sort(colours.begin(), colours.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });

    std::vector<QRgb> kept;
    if (colours.size() <= std::size_t(MostKapColours)) {
        for (const auto& c : colours)
            kept.push_back(c.first);
    } else {
        const std::size_t n = std::min(colours.size(), MostCandidateColours);
        std::vector<bool> dropped(n, false);
        // nearest[i]: the nearest remaining colour to candidate i, kept up to date as colours go.
        std::vector<std::size_t> nearest(n, 0);
        std::vector<int> nearestDistance(n, std::numeric_limits<int>::max());
        const auto findNearest = [&](std::size_t i) {
            nearestDistance[i] = std::numeric_limits<int>::max();
            for (std::size_t j = 0; j < n; ++j)
                if (j != i && !dropped[j]) {
                    const int d = colourDistance(colours[i].first, colours[j].first);
                    if (d < nearestDistance[i]) {
                        nearestDistance[i] = d;
                        nearest[i] = j;
                    }
                }
        };
        for (std::size_t i = 0; i < n; ++i)
            findNearest(i);
        for (std::size_t remaining = n; remaining > std::size_t(MostKapColours); --remaining) {
            std::size_t closest = n;
            for (std::size_t i = 0; i < n; ++i)
                if (!dropped[i] && (closest == n || nearestDistance[i] < nearestDistance[closest]))
                    closest = i;
            // Colours are in order of frequency: the later of the pair is the rarer.
            const std::size_t drop = std::max(closest, nearest[closest]);
            dropped[drop] = true;
            for (std::size_t i = 0; i < n; ++i)
                if (!dropped[i] && nearest[i] == drop) findNearest(i);
        }
        for (std::size_t i = 0; i < n; ++i)
            if (!dropped[i]) kept.push_back(colours[i].first);
    }

    std::vector<std::uint8_t> indexOfNumber;
    for (const auto& [colour, count] : byNumber) {
        std::size_t best = 0;
        for (std::size_t i = 1; i < kept.size(); ++i)
            if (colourDistance(colour, kept[i]) < colourDistance(colour, kept[best])) best = i;
        indexOfNumber.push_back(std::uint8_t(best + 1));
    }
    IndexedPicture indexed{kept, std::vector<std::uint8_t>(numbers.size())};
    for (std::size_t i = 0; i < numbers.size(); ++i)
        indexed.pixels[i] = indexOfNumber[numbers[i]];
    return indexed;
}

// A number as the raster section writes it: 7 bits a byte, most significant first, every byte
// but the last with its high bit set.
void appendNumber(QByteArray& out, std::uint32_t value) {
    int groups = 1;
    while (groups < 5 && (value >> (7 * groups)) != 0)
        ++groups;
    for (int g = groups - 1; g >= 0; --g)
        out.append(char(((value >> (7 * g)) & 0x7f) | (g > 0 ? 0x80 : 0)));
}

// One run of a colour: the colour index in the depth high bits of the first byte's 7, the run
// length less one in the bits below it, continued 7 bits a byte while the high bit is set.
void appendRun(QByteArray& out, std::uint8_t colour, std::uint32_t length, int depth) {
    const int countBits = 7 - depth;
    std::uint32_t count = length - 1;
    // Quirk "kap-zero-ends-rows-only": a run whose last count byte would be 0 is written as a
    // run one shorter and a single pixel, so that a 0 byte in a row is only ever its end and
    // readers that find rows by it see the same rows.
    int extra = 0;
    while ((count >> (countBits + 7 * extra)) != 0)
        ++extra;
    if (extra > 0 && (count & 0x7f) == 0) {
        appendRun(out, colour, length - 1, depth);
        appendRun(out, colour, 1, depth);
        return;
    }
    out.append(char((colour << countBits) | ((count >> (7 * extra)) & ((1u << countBits) - 1)) |
                    (extra > 0 ? 0x80 : 0)));
    for (int g = extra - 1; g >= 0; --g)
        out.append(char(((count >> (7 * g)) & 0x7f) | (g > 0 ? 0x80 : 0)));
}

void appendBigEndian32(QByteArray& out, std::uint32_t value) {
    out.append(char(value >> 24)).append(char(value >> 16)).append(char(value >> 8));
    out.append(char(value));
}

// Text for a header field: printable ASCII only, and no comma, which would start another field.
QByteArray headerText(const QString& text) {
    QByteArray out;
    for (const QChar c : text.simplified())
        out.append(c.unicode() >= 0x20 && c.unicode() < 0x7f && c != QLatin1Char(',')
                       ? char(c.unicode())
                       : ' ');
    return out.trimmed();
}

// The palettes a KAP carries and their brightness: RGB (day) as drawn, DSK (dusk) at half and
// NGT (night) at a quarter.
constexpr std::pair<const char*, double> NightPalettes[] = {
    {"RGB", 1.0}, {"DSK", 0.5}, {"NGT", 0.25}};

// A colour component at a share of its brightness, to nearest (halves to even).
int dimmed(int component, double share) {
    return int(std::nearbyint(component * share));
}

QByteArray number(double value, int decimals) {
    return QByteArray::number(value, 'f', decimals);
}

QByteArray kapHeader(const ChartGeoreference& chart, const IndexedPicture& indexed, int depth) {
    QByteArray h;
    const auto line = [&h](const QByteArray& text) { h.append(text).append("\r\n"); };
    line("! Sea surface temperature chart " + headerText(chart.name) + ", written by Thalwise");
    line("VER/3.0");
    QByteArray edition = "CED/SE=1,RE=1";
    if (chart.chartTime.isValid())
        edition += ",ED=" + chart.chartTime.toUTC().date().toString(u"MM/dd/yyyy").toLatin1();
    line(edition);
    line("BSB/NA=" + headerText(chart.name) + ",NU=" + headerText(chart.areaName) +
         ",RA=" + QByteArray::number(chart.width) + "," + QByteArray::number(chart.height) +
         ",DU=" + QByteArray::number(DrawingUnits));
    // Scale and pixel size hold on the chart's middle latitude, where Mercator is true.
    const double middle = (chart.north() + chart.south()) / 2.0;
    const double shrink = std::cos(middle * std::numbers::pi / 180.0);
    const double dx = chart.webMercatorPixelWidth() * shrink;
    const double dy = chart.webMercatorPixelHeight() * shrink;
    const double scale = std::nearbyint(dy * DrawingUnits / 0.0254); // nearest, halves to even
    line("KNP/SC=" + number(scale, 0) + ",GD=WGS84,PR=MERCATOR,PP=" + number(middle, 2) +
         ",PI=UNKNOWN,SP=UNKNOWN,SK=0.0,TA=90");
    line("    UN=METRES,SD=UNKNOWN,DX=" + number(dx, 2) + ",DY=" + number(dy, 2));
    line("OST/1");
    line("IFM/" + QByteArray::number(depth));
    // The day colours, then the same dimmed for dusk and night: chart software that offers
    // night colours (OpenCPN's DSK and NGT) keeps the bridge dark with them.
    for (const auto& [tag, share] : NightPalettes)
        for (std::size_t i = 0; i < indexed.palette.size(); ++i) {
            const QRgb c = indexed.palette[i];
            line(QByteArray(tag) + "/" + QByteArray::number(int(i) + 1) + "," +
                 QByteArray::number(dimmed(qRed(c), share)) + "," +
                 QByteArray::number(dimmed(qGreen(c), share)) + "," +
                 QByteArray::number(dimmed(qBlue(c), share)));
        }
    // REF points on a 5 x 5 grid of pixel corners, edges included; the mapping is Mercator, so
    // chart software that fits the projection to them places every pixel as PixelToGeo does.
    constexpr int Steps = 4;
    int ref = 0;
    for (int j = 0; j <= Steps; ++j)
        for (int i = 0; i <= Steps; ++i) {
            const int x = int(std::lround(double(chart.width) * i / Steps));
            const int y = int(std::lround(double(chart.height) * j / Steps));
            const geo::TrackPoint p = *chart.position(x, y);
            line("REF/" + QByteArray::number(++ref) + "," + QByteArray::number(x) + "," +
                 QByteArray::number(y) + "," + number(p.lat, 9) + "," + number(p.lon, 9));
        }
    const std::pair<int, int> corners[] = {
        {0, 0}, {chart.width, 0}, {chart.width, chart.height}, {0, chart.height}};
    int ply = 0;
    for (const auto& [x, y] : corners) {
        const geo::TrackPoint p = *chart.position(x, y);
        line("PLY/" + QByteArray::number(++ply) + "," + number(p.lat, 9) + "," + number(p.lon, 9));
    }
    line("DTM/0.0,0.0");
    return h;
}

} // namespace

bool writeKap(const QString& path, const ChartGeoreference& chart, const ExportLayers& layers,
              QString* error) {
    const auto fail = [error](const QString& reason) {
        if (error) *error = reason;
        return false;
    };
    if (!canPlacePicture(chart, layers, error)) return false;

    const QImage picture = layers.picture.convertToFormat(QImage::Format_RGB32);
    const IndexedPicture indexed = indexedPicture(picture);
    const int depth = std::max(1, int(std::bit_width(indexed.palette.size())));

    QByteArray out = kapHeader(chart, indexed, depth);
    out.append(char(0x1a)).append(char(0x00)).append(char(depth));
    std::vector<std::uint32_t> rowStarts;
    rowStarts.reserve(std::size_t(chart.height));
    for (int y = 0; y < chart.height; ++y) {
        const std::uint8_t* row = indexed.pixels.data() + std::size_t(y) * chart.width;
        const std::size_t width = std::size_t(chart.width);
        if (std::uint64_t(out.size()) > std::numeric_limits<std::uint32_t>::max())
            return fail(QCoreApplication::translate("exports", "The chart is too large for KAP"));
        rowStarts.push_back(std::uint32_t(out.size()));
        appendNumber(out, std::uint32_t(y + 1)); // rows count from 1
        for (std::size_t x = 0; x < width;) {
            std::size_t run = 1;
            while (x + run < width && row[x + run] == row[x])
                ++run;
            appendRun(out, row[x], std::uint32_t(run), depth);
            x += run;
        }
        out.append(char(0));
    }
    // The index: where each row starts, then where the index starts, 32 bits big-endian.
    const std::uint64_t indexStart = std::uint64_t(out.size());
    if (indexStart + 4 * (rowStarts.size() + 1) > std::numeric_limits<std::uint32_t>::max())
        return fail(QCoreApplication::translate("exports", "The chart is too large for KAP"));
    for (const std::uint32_t start : rowStarts)
        appendBigEndian32(out, start);
    appendBigEndian32(out, std::uint32_t(indexStart));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size() || !file.commit())
        return fail(QCoreApplication::translate("exports", "Cannot write %1: %2")
                        .arg(QDir::toNativeSeparators(path), file.errorString()));
    return true;
}

} // namespace exports
