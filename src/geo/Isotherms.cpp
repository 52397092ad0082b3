#include "geo/Isotherms.h"

#include "geo/TemperatureBreaks.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace geo {

namespace {

// Marching squares over the pixel centres: a cell is the square between the centres of pixels
// (x, y), (x + 1, y), (x + 1, y + 1) and (x, y + 1). A crossing lies on a cell edge; each edge
// has one id, so that the two cells sharing it share the crossing:
// 2 (y width + x) for the edge from (x, y) east, one more for the edge from (x, y) south.
using EdgeId = std::uint64_t;

class LevelTracer {
public:
    LevelTracer(const TemperatureField& field, const std::vector<std::uint8_t>& reading,
                double level)
        : m_field(field), m_reading(reading), m_level(level) {}

    std::vector<IsothermLine> trace() {
        const int width = m_field.width, height = m_field.height;
        if (width < 2 || height < 2) return {};
        // Each pixel's side of the level, two rows at a time: 1 at or above it, 0 below,
        // NoReading where there is none.
        std::vector<std::uint8_t> upper(static_cast<std::size_t>(width)),
            lower(static_cast<std::size_t>(width));
        classify(0, upper);
        for (int y = 0; y + 1 < height; ++y) {
            classify(y + 1, lower);
            for (int x = 0; x + 1 < width; ++x) {
                const std::uint8_t a = upper[std::size_t(x)], b = upper[std::size_t(x) + 1],
                                   c = lower[std::size_t(x) + 1], d = lower[std::size_t(x)];
                // A cell with a pixel without a reading gives no segment: land and cloud leave
                // gaps. A cell wholly on one side gives none either.
                if ((a | b | c | d) & NoReading) continue;
                if (a == b && b == c && c == d) continue;
                cell(x, y, a, b, c, d);
            }
            upper.swap(lower);
        }
        return join();
    }

private:
    static constexpr std::uint8_t NoReading = 2;

    std::size_t index(int x, int y) const { return std::size_t(y) * m_field.width + x; }
    EdgeId east(int x, int y) const { return EdgeId(index(x, y)) * 2; }
    EdgeId south(int x, int y) const { return EdgeId(index(x, y)) * 2 + 1; }

    void classify(int y, std::vector<std::uint8_t>& side) const {
        const float* values = m_field.values.data() + index(0, y);
        const std::uint8_t* reading = m_reading.data() + index(0, y);
        for (std::size_t x = 0; x < side.size(); ++x)
            side[x] = !reading[x] ? NoReading : double(values[x]) >= m_level ? 1 : 0;
    }

    // A cell of readings whose corners (clockwise from the top left) lie on both sides.
    void cell(int x, int y, bool a, bool b, bool c, bool d) {
        const EdgeId top = east(x, y), right = south(x + 1, y), bottom = east(x, y + 1),
                     left = south(x, y);
        std::array<EdgeId, 4> crossed{};
        int count = 0;
        if (a != b) crossed[count++] = top;
        if (b != c) crossed[count++] = right;
        if (c != d) crossed[count++] = bottom;
        if (d != a) crossed[count++] = left;
        if (count == 2) {
            add(crossed[0], crossed[1]);
        } else if (count == 4) {
            // A saddle: the cell's mean tells whether its middle is above the level; the lines
            // cut off the two corners that differ from the middle.
            const double mean = (double(m_field.at(x, y)) + m_field.at(x + 1, y) +
                                 m_field.at(x + 1, y + 1) + m_field.at(x, y + 1)) /
                                4.0;
            const bool middle = mean >= m_level;
            if (a != middle) {
                add(top, left);
                add(right, bottom);
            } else {
                add(top, right);
                add(bottom, left);
            }
        }
    }

    void add(EdgeId from, EdgeId to) {
        const int segment = int(m_segments.size());
        m_segments.push_back({from, to});
        for (const EdgeId e : {from, to}) {
            auto [it, fresh] = m_ends.try_emplace(e, std::array<int, 2>{-1, -1});
            it->second[it->second[0] < 0 ? 0 : 1] = segment;
        }
    }

    // Where the level crosses an edge, interpolated linearly between its two pixel centres.
    QPointF crossing(EdgeId edge) const {
        const std::size_t i = std::size_t(edge / 2);
        const int x = int(i % std::size_t(m_field.width)), y = int(i / std::size_t(m_field.width));
        const bool eastward = edge % 2 == 0;
        const double from = m_field.at(x, y);
        const double to = eastward ? m_field.at(x + 1, y) : m_field.at(x, y + 1);
        const double along = (m_level - from) / (to - from); // the ends differ: one is above
        return eastward ? QPointF(x + 0.5 + along, y + 0.5) : QPointF(x + 0.5, y + 0.5 + along);
    }

    int degree(EdgeId e) const {
        const std::array<int, 2>& s = m_ends.at(e);
        return (s[0] >= 0) + (s[1] >= 0);
    }

    // Follows the segments from an edge through the edges they share, until the line ends at
    // the edge of the readings or comes back to where it started.
    IsothermLine follow(EdgeId start, int segment) {
        IsothermLine line;
        line.points.push_back(crossing(start));
        EdgeId at = start;
        while (segment >= 0) {
            m_used[std::size_t(segment)] = 1;
            const std::array<EdgeId, 2>& s = m_segments[std::size_t(segment)];
            at = s[0] == at ? s[1] : s[0];
            line.points.push_back(crossing(at));
            const std::array<int, 2>& next = m_ends.at(at);
            segment = -1;
            for (const int n : next)
                if (n >= 0 && !m_used[std::size_t(n)]) segment = n;
        }
        line.closed = at == start && line.points.size() > 2;
        return line;
    }

    std::vector<IsothermLine> join() {
        std::vector<IsothermLine> lines;
        m_used.assign(m_segments.size(), 0);
        // Open lines first, from one of their ends, so that none is cut in two; what is left
        // are rings.
        for (std::size_t i = 0; i < m_segments.size(); ++i)
            for (const EdgeId end : m_segments[i])
                if (!m_used[i] && degree(end) == 1) lines.push_back(follow(end, int(i)));
        for (std::size_t i = 0; i < m_segments.size(); ++i)
            if (!m_used[i]) lines.push_back(follow(m_segments[i][0], int(i)));
        return lines;
    }

    const TemperatureField& m_field;
    const std::vector<std::uint8_t>& m_reading;
    const double m_level;
    std::vector<std::array<EdgeId, 2>> m_segments;
    std::unordered_map<EdgeId, std::array<int, 2>> m_ends;
    std::vector<std::uint8_t> m_used;
};

} // namespace

std::vector<Isotherm> findIsotherms(const TemperatureField& field,
                                    const std::vector<float>& temperatures) {
    std::vector<Isotherm> isotherms;
    const std::size_t size = std::size_t(field.width) * std::size_t(field.height);
    std::vector<std::uint8_t> reading(size, 0);
    // Quirk "isotherms-clean-water-only": a pixel whose reading window saw land, cloud or coast
    // reads a darkened, wrong temperature (the pointer shows it); it counts as no reading here,
    // so that no false isotherm hugs every coast.
    if (field.values.size() == size && field.clean.size() == size)
        for (std::size_t i = 0; i < size; ++i)
            reading[i] = field.clean[i] && field.values[i] != 0.0f ? 1 : 0;
    for (const float temperature : temperatures) {
        Isotherm isotherm;
        isotherm.temperature = temperature;
        if (std::isfinite(temperature))
            isotherm.lines = LevelTracer(field, reading, temperature).trace();
        isotherms.push_back(std::move(isotherm));
    }
    return isotherms;
}

namespace {

QString translated(const char* text) {
    return QCoreApplication::translate("Isotherms", text);
}

// A value as the user wrote it, cut short: a refusal names it without echoing a whole list.
QString quoted(const QString& value) {
    constexpr qsizetype Longest = 24;
    return QLatin1Char('"') +
           (value.size() > Longest ? value.left(Longest) + QChar(0x2026) : value) +
           QLatin1Char('"');
}

QString degrees(double value) {
    return QLocale::c().toString(value, 'g', 6);
}

} // namespace

IsothermList readIsothermList(const QString& text, double tmin, double tmax) {
    IsothermList list;
    auto refuse = [&list](const QString& reason) {
        list.temperatures.clear();
        list.error = reason;
        return list;
    };
    if (!std::isfinite(tmin) || !std::isfinite(tmax))
        return refuse(translated("the chart has no temperature range"));
    const double low = std::min(tmin, tmax), high = std::max(tmin, tmax);
    const QString range =
        translated("the chart's range of %1 to %2 \u00B0F").arg(degrees(low), degrees(high));
    // A hair of tolerance so that the range's own ends are taken despite rounding.
    const double slack = 1e-6;
    QString t = text.trimmed().toLower();
    t.remove(QRegularExpression(QStringLiteral("\\s*(°\\s*f?|f)\\b|°")));
    static const QRegularExpression every(QStringLiteral("^every\\s+(\\S+)$"));
    const QRegularExpressionMatch m = every.match(t.trimmed());
    if (m.hasMatch()) {
        bool ok = false;
        const double step = m.captured(1).toDouble(&ok);
        if (!ok || !std::isfinite(step) || !(step > 0.0))
            return refuse(translated("the step %1 is no positive number of degrees")
                              .arg(quoted(m.captured(1))));
        const double first = std::ceil(low / step - slack), last = std::floor(high / step + slack);
        if (last - first + 1.0 > MostIsotherms)
            return refuse(translated("every %1 gives %2 temperatures within %3; at most %4 "
                                     "isotherms can be drawn")
                              .arg(degrees(step))
                              .arg(QLocale::c().toString(last - first + 1.0, 'f', 0), range)
                              .arg(MostIsotherms));
        for (double k = first; k <= last; k += 1.0)
            list.temperatures.push_back(float(k * step));
        if (list.temperatures.empty())
            return refuse(
                translated("every %1 gives no temperature within %2").arg(degrees(step), range));
        return list;
    }
    const QStringList parts =
        t.split(QRegularExpression(QStringLiteral("[,;\\s]+")), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return refuse(translated("no temperatures given, such as \"68, 70, 72\" or \"every 2\""));
    if (parts.size() > MostIsotherms)
        return refuse(translated("the list holds %1 temperatures; at most %2 isotherms can be "
                                 "drawn")
                          .arg(parts.size())
                          .arg(MostIsotherms));
    QStringList outside;
    for (const QString& part : parts) {
        bool ok = false;
        const double value = part.toDouble(&ok);
        if (!ok || !std::isfinite(value))
            return refuse(translated("%1 is no temperature").arg(quoted(part)));
        if (value >= low - slack && value <= high + slack)
            list.temperatures.push_back(float(value));
        else
            outside.append(degrees(value));
    }
    std::sort(list.temperatures.begin(), list.temperatures.end());
    list.temperatures.erase(std::unique(list.temperatures.begin(), list.temperatures.end()),
                            list.temperatures.end());
    if (!outside.isEmpty()) {
        list.outsideRange = true;
        list.error =
            (outside.size() == 1 ? translated("%1 is outside %2") : translated("%1 are outside %2"))
                .arg(outside.join(QStringLiteral(", ")), range);
    }
    return list;
}

std::vector<float> isothermTemperatures(const QString& text, double tmin, double tmax) {
    IsothermList list = readIsothermList(text, tmin, tmax);
    // Quirk "isotherms-view-keeps-in-range": the view keeps a stored request when the scale
    // changes, so a value the new range leaves out is skipped there; exports refuse it.
    if (!list.error.isEmpty() && !list.outsideRange) return {};
    return std::move(list.temperatures);
}

} // namespace geo
