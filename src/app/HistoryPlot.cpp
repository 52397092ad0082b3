#include "app/HistoryPlot.h"

#include "geo/ThalwiseUtils.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

THistoryPlot::THistoryPlot(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PlotTemperatureHistory"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    clear();
}

void THistoryPlot::setPoints(const std::vector<app::HistoryPoint>& points, const QString& title) {
    m_points = points;
    m_title = title;
    m_message.clear();
    update();
}

void THistoryPlot::setCelsius(bool celsius) {
    if (m_celsius == celsius) return;
    m_celsius = celsius;
    update();
}

void THistoryPlot::clear(const QString& message) {
    m_points.clear();
    m_title.clear();
    m_message = !message.isEmpty()
                    ? message
                    : tr("Flip through two charts or more to see how the water changed.");
    update();
}

int THistoryPlot::plottedCount() const {
    return int(std::count_if(m_points.begin(), m_points.end(),
                             [](const app::HistoryPoint& p) { return p.temperature != 0.0f; }));
}

void THistoryPlot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    p.setPen(palette().text().color());
    const QFontMetrics fm(font());
    const int line = fm.height();

    if (!m_message.isEmpty() || m_points.empty()) {
        p.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, m_message);
        return;
    }
    p.drawText(QRect(8, 4, width() - 16, line), Qt::AlignLeft | Qt::AlignVCenter, m_title);

    // Plotted in °F, labelled in the unit shown; the vertical range covers the readings with a
    // little room, 2 °F at least, so that a steady spot is a flat line rather than noise blown
    // up.
    double low = 1e9, high = -1e9;
    for (const app::HistoryPoint& point : m_points) {
        if (point.temperature == 0.0f) continue;
        low = std::min(low, double(point.temperature));
        high = std::max(high, double(point.temperature));
    }
    const QString unit = geo::temperatureUnitText(m_celsius);
    const QRect plot(8 + fm.horizontalAdvance(QStringLiteral("000.0") + unit) + 6, 8 + line + 4,
                     0, 0);
    QRect area = plot;
    area.setRight(width() - 12);
    area.setBottom(height() - 8 - line - 4);
    if (area.width() < 20 || area.height() < 20) return;

    const QLocale locale;
    const bool any = low <= high;
    if (!any) {
        p.drawText(area, Qt::AlignCenter | Qt::TextWordWrap,
                   tr("No chart gives a temperature here."));
    } else {
        const double middle = (low + high) / 2.0;
        const double half = std::max((high - low) / 2.0 * 1.15, 1.0);
        low = middle - half;
        high = middle + half;
    }
    auto yOf = [&](double value) {
        return any ? area.bottom() - (value - low) / (high - low) * area.height() : 0.0;
    };
    // Oldest at the left; spaced by time when every chart has its date, else evenly.
    const bool byTime = std::all_of(m_points.begin(), m_points.end(),
                                    [](const app::HistoryPoint& pt) { return pt.time.has_value(); });
    const qint64 first = byTime ? m_points.front().time->toSecsSinceEpoch() : 0;
    const qint64 span = byTime ? m_points.back().time->toSecsSinceEpoch() - first : 0;
    auto xOf = [&](std::size_t i) {
        if (m_points.size() == 1) return double(area.center().x());
        // The dots stay clear of the frame.
        const double left = area.left() + 8.0, wide = area.width() - 16.0;
        if (byTime && span > 0)
            return left +
                   double(m_points[i].time->toSecsSinceEpoch() - first) / double(span) * wide;
        return left + double(i) / double(m_points.size() - 1) * wide;
    };

    // Axes, the two end values of the vertical range, and the dates below.
    const QColor faint = palette().mid().color();
    p.setPen(faint);
    p.drawRect(area);
    p.setPen(palette().text().color());
    if (any) {
        // The top, middle and bottom of the range, each with a faint line across.
        for (const double value : {high, (high + low) / 2.0, low}) {
            const int y = int(std::lround(yOf(value)));
            p.setPen(faint);
            if (value != high && value != low) p.drawLine(area.left(), y, area.right(), y);
            p.setPen(palette().text().color());
            p.drawText(QRect(0, y - line / 2, plot.left() - 4, line),
                       Qt::AlignRight | Qt::AlignVCenter,
                       geo::temperatureDigits(value, m_celsius, locale) + unit);
        }
    }
    int lastLabelRight = -1000;
    for (std::size_t i = 0; i < m_points.size(); ++i) {
        const int x = int(std::lround(xOf(i)));
        const QString& label = m_points[i].label;
        const int w = fm.horizontalAdvance(label);
        // Dates that would overlap the one before are left out.
        if (x - w / 2 <= lastLabelRight + 4) continue;
        p.drawText(QRect(x - w / 2, area.bottom() + 4, w, line), Qt::AlignCenter, label);
        lastLabelRight = x + w / 2;
    }
    if (!any) return;

    // The line through the charts that give a temperature, and a dot on each.
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    bool started = false;
    for (std::size_t i = 0; i < m_points.size(); ++i) {
        if (m_points[i].temperature == 0.0f) continue;
        const QPointF at(xOf(i), yOf(m_points[i].temperature));
        if (!started)
            path.moveTo(at);
        else
            path.lineTo(at);
        started = true;
    }
    p.setPen(QPen(QColor(0, 90, 200), 2));
    p.drawPath(path);
    p.setBrush(QColor(0, 90, 200));
    for (std::size_t i = 0; i < m_points.size(); ++i)
        if (m_points[i].temperature != 0.0f)
            p.drawEllipse(QPointF(xOf(i), yOf(m_points[i].temperature)), 3.5, 3.5);
}
