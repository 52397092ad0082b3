#pragma once
// The plot of the "Temperature history" panel: the temperature at one spot on each chart of
// the flip set, oldest at the left, drawn with QPainter.

#include "app/TemperatureHistory.h"

#include <QString>
#include <QWidget>

#include <vector>

class THistoryPlot : public QWidget {
    Q_OBJECT

public:
    explicit THistoryPlot(QWidget* parent = nullptr);

    // What to plot; the widget repaints when the event loop next runs, so a pointer move only
    // hands over the numbers. title says where the spot is.
    void setPoints(const std::vector<app::HistoryPoint>& points, const QString& title);
    void setCelsius(bool celsius);
    // No plot, the message instead; without one, the hint that a flip brings a history.
    void clear(const QString& message = QString());

    const std::vector<app::HistoryPoint>& points() const { return m_points; }
    const QString& title() const { return m_title; }
    bool celsius() const { return m_celsius; }
    // How many charts gave a temperature (the dots drawn).
    int plottedCount() const;

    QSize sizeHint() const override { return QSize(320, 200); }
    QSize minimumSizeHint() const override { return QSize(200, 140); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<app::HistoryPoint> m_points;
    QString m_title;
    QString m_message; // shown instead of a plot
    bool m_celsius = false;
};
