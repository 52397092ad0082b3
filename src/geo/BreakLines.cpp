#include "geo/BreakLines.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <optional>

namespace geo {

namespace {

// A break goes on along its ridge while the gradient holds at this share of the threshold: a
// broad, gentle front dips below the threshold here and there without ending.
constexpr double ContinuationShare = 0.6;

// Ridge pixels this close (a 5 x 5 square) belong to one line: on a gentle front the ridge steps
// sideways by two pixels where the readings' steps move it, and two ridges closer than that
// cannot both be the steepest across the change.
constexpr int Joining = 2;

// States of a ridge pixel while the lines are taken from it; Seen is added to Kept while a
// part is walked.
enum : std::uint8_t { NotRidge = 0, Ridge = 1, Kept = 2, Traced = 3, Beside = 4, Seen = 0x80 };

class LineTracer {
public:
    // Takes the ridges' pixels over as its states.
    LineTracer(BreakRidges& ridges, double threshold)
        : m_ridges(ridges), m_width(ridges.width), m_height(ridges.height), m_threshold(threshold),
          m_state(std::move(ridges.ridge)) {
        for (int dy = -Joining; dy <= Joining; ++dy)
            for (int dx = -Joining; dx <= Joining; ++dx) {
                if (dx == 0 && dy == 0) continue;
                const std::ptrdiff_t offset = std::ptrdiff_t(dy) * m_width + dx;
                m_joined.push_back(offset);
                if (std::abs(dx) <= 1 && std::abs(dy) <= 1) m_touching.push_back(offset);
            }
        // The neighbours are visited by offset: a ridge lies within the smoothing's margin of
        // no edge, but a pixel that did would have no neighbours on one side.
        for (std::size_t i = 0; i < m_state.size(); ++i) {
            if (m_state[i] != Ridge) continue;
            const int x = int(i % std::size_t(m_width)), y = int(i / std::size_t(m_width));
            if (x < Joining || y < Joining || x >= m_width - Joining || y >= m_height - Joining)
                m_state[i] = NotRidge;
            else
                m_ridgePixels.push_back(i);
        }
        keepConnectedToBreaks(threshold);
    }

    std::vector<BreakLine> trace() {
        std::vector<BreakLine> lines;
        std::vector<std::size_t> part;
        for (const std::size_t start : m_ridgePixels) {
            if (m_state[start] != Kept) continue;
            // A front and its side branches: the longest way through it is one line, and what
            // is left beside it is traced the same way, joined to the line it leaves.
            std::deque<std::size_t> pending{start};
            while (!pending.empty()) {
                const std::size_t from = pending.front();
                pending.pop_front();
                if (m_state[from] != Kept) continue;
                part = collect(from);
                std::vector<std::size_t> path = longestWay(part);
                // The line takes the pixels that only thicken it, or that it stepped over.
                for (const std::size_t i : path) {
                    m_state[i] = Traced;
                    forNeighbours(
                        i,
                        [&](std::size_t j) {
                            if (m_state[j] == Kept) m_state[j] = Beside;
                        },
                        true);
                }
                for (const std::size_t i : part)
                    if (m_state[i] == Kept) pending.push_back(i);
                if (pixelsAlong(path) < m_ridges.shortestLine) continue;
                // A side branch that never reaches the threshold itself only continues a
                // break: it is no break of its own.
                if (std::any_of(path.begin(), path.end(), [&](std::size_t i) {
                        return BreakRidges::reaches(m_ridges.strength[i], m_threshold);
                    }))
                    lines.push_back(lineThrough(path));
            }
        }
        return lines;
    }

private:
    template <typename Visit>
    void forNeighbours(std::size_t i, Visit&& visit, bool touching = false) const {
        for (const std::ptrdiff_t offset : touching ? m_touching : m_joined)
            visit(std::size_t(std::ptrdiff_t(i) + offset));
    }

    // Hysteresis: a ridge is a break only where it is joined, through ridge pixels, to one
    // that reaches the threshold.
    void keepConnectedToBreaks(double threshold) {
        std::vector<std::size_t> open;
        for (const std::size_t i : m_ridgePixels)
            if (m_state[i] == Ridge && BreakRidges::reaches(m_ridges.strength[i], threshold)) {
                m_state[i] = Kept;
                open.push_back(i);
            }
        while (!open.empty()) {
            const std::size_t i = open.back();
            open.pop_back();
            forNeighbours(i, [&](std::size_t j) {
                if (m_state[j] != Ridge) return;
                m_state[j] = Kept;
                open.push_back(j);
            });
        }
    }

    // The untraced kept pixels joined to from, nearest first: the last is one of the farthest.
    std::vector<std::size_t> collect(std::size_t from) {
        std::vector<std::size_t> part{from};
        m_state[from] = Kept | Seen;
        for (std::size_t k = 0; k < part.size(); ++k)
            forNeighbours(part[k], [&](std::size_t j) {
                if (m_state[j] != Kept) return;
                m_state[j] = Kept | Seen;
                part.push_back(j);
            });
        for (const std::size_t i : part)
            m_state[i] = Kept;
        return part;
    }

    // The shortest way through the part from `from` to the pixel of it farthest away, that
    // pixel first.
    std::vector<std::size_t> wayToFarthest(std::size_t from) {
        // Each pixel reached, and the place in the queue of the pixel it was reached from.
        std::vector<std::size_t> queue{from};
        std::vector<std::uint32_t> reachedFrom{0};
        m_state[from] = Kept | Seen;
        for (std::size_t k = 0; k < queue.size(); ++k)
            forNeighbours(queue[k], [&](std::size_t j) {
                if (m_state[j] != Kept) return;
                m_state[j] = Kept | Seen;
                queue.push_back(j);
                reachedFrom.push_back(std::uint32_t(k));
            });
        for (const std::size_t i : queue)
            m_state[i] = Kept;
        std::vector<std::size_t> way;
        for (std::size_t k = queue.size() - 1;; k = reachedFrom[k]) {
            way.push_back(queue[k]);
            if (k == 0) break;
        }
        return way;
    }

    // The longest of the shortest ways across the part, found as a tree's diameter is: the
    // pixel farthest from any pixel (the last collected) is one end, the pixel farthest from
    // that the other. On a
    // thin ridge this is the whole ridge; the pixels that only thicken it lie beside it.
    std::vector<std::size_t> longestWay(const std::vector<std::size_t>& part) {
        return wayToFarthest(part.back());
    }

    // How many pixels a line through the path covers, counting the ones it steps over.
    int pixelsAlong(const std::vector<std::size_t>& path) const {
        int pixels = 1;
        for (std::size_t k = 1; k < path.size(); ++k) {
            const int dx =
                int(path[k] % std::size_t(m_width)) - int(path[k - 1] % std::size_t(m_width));
            const int dy =
                int(path[k] / std::size_t(m_width)) - int(path[k - 1] / std::size_t(m_width));
            pixels += std::max(std::abs(dx), std::abs(dy));
        }
        return pixels;
    }

    QPointF centre(std::size_t i) const {
        return QPointF(double(i % std::size_t(m_width)) + 0.5,
                       double(i / std::size_t(m_width)) + 0.5);
    }

    // A traced pixel near i on another line, if any: a branch is drawn joined to it.
    std::optional<std::size_t> tracedBeside(std::size_t i, const std::vector<std::size_t>& path) {
        std::optional<std::size_t> found;
        forNeighbours(i, [&](std::size_t j) {
            if (!found && (m_state[j] == Traced || m_state[j] == Beside) &&
                std::find(path.begin(), path.end(), j) == path.end())
                found = j;
        });
        return found;
    }

    BreakLine lineThrough(const std::vector<std::size_t>& path) {
        BreakLine line;
        if (const auto joined = tracedBeside(path.front(), path))
            line.points.push_back(centre(*joined));
        for (const std::size_t i : path) {
            line.points.push_back(centre(i));
            line.strength = std::max(line.strength, m_ridges.strengthAt(i));
        }
        if (const auto joined = tracedBeside(path.back(), path))
            line.points.push_back(centre(*joined));
        return line;
    }

    const BreakRidges& m_ridges;
    const int m_width;
    const int m_height;
    const double m_threshold;
    std::vector<std::uint8_t> m_state;
    std::vector<std::size_t> m_ridgePixels; // in rows from the top
    std::vector<std::ptrdiff_t> m_joined;   // the 5 x 5 square about a pixel
    std::vector<std::ptrdiff_t> m_touching; // the 3 x 3 square
};

} // namespace

std::vector<BreakLine> findBreakLines(const TemperatureField& field, const Calibration& calibration,
                                      double threshold) {
    if (!calibration.Valid || !(threshold > 0.0)) return {};
    BreakRidges ridges =
        findBreakRidges(field, calibration, threshold, ContinuationShare * threshold, Joining);
    if (ridges.ridge.empty()) return {};
    return LineTracer(ridges, threshold).trace();
}

} // namespace geo
