#include "printing/ChartCaption.h"

#include "geo/ThalwiseUtils.h"
#include "geo/vekMapping.h"
#include "printing/PrnUtils.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace printing {

namespace {

// "43°21'N 71°04'W", or in decimal degrees "43.360°N 71.060°W".
QString positionText(float latitude, float longitude, bool decimalDegrees) {
    return FormatDegrees(std::fabs(latitude), decimalDegrees) +
           QLatin1Char(latitude < 0 ? 'S' : 'N') + QLatin1Char(' ') +
           FormatDegrees(std::fabs(longitude), decimalDegrees) +
           QLatin1Char(longitude < 0 ? 'W' : 'E');
}

QString temperatureEnd(int fahrenheit, bool celsius) {
    return geo::temperatureDigits(fahrenheit, celsius) + geo::temperatureUnitText(celsius);
}

} // namespace

QString documentTitle(const CaptionFacts& facts) {
    const QString chart =
        facts.chartTime.isEmpty()
            ? QString()
            : QCoreApplication::translate("ChartCaption", "chart of %1").arg(facts.chartTime);
    if (facts.areaName.isEmpty()) return chart;
    return chart.isEmpty() ? facts.areaName : facts.areaName + QStringLiteral(", ") + chart;
}

ChartCaption chartCaption(const CaptionFacts& facts) {
    ChartCaption caption;
    if (facts.areaName.isEmpty() || facts.ageText.isEmpty())
        caption.title = facts.areaName.isEmpty() ? facts.ageText : facts.areaName;
    else
        caption.title = QCoreApplication::translate("ChartCaption", "%1, %2")
                            .arg(facts.areaName, facts.ageText);
    const int low = std::min(facts.scaleMin, facts.scaleMax);
    const int high = std::max(facts.scaleMin, facts.scaleMax);
    caption.lowest = temperatureEnd(low, facts.celsius);
    caption.highest = temperatureEnd(high, facts.celsius);
    // The strip's middle column read bottom (cold) to top (hot); reversed limits turn the
    // scale, so the bar still runs from the lower end to the higher. The neutral rows below the
    // colours (land grey, cloud white, coast black) read no temperature and stay off the bar.
    const QImage& strip = facts.scaleBitmap;
    QList<QRgb> colours;
    const bool reversed = facts.scaleMin > facts.scaleMax;
    for (int i = 0; i < strip.height(); ++i) {
        const QRgb c = strip.pixel(strip.width() / 2, reversed ? i : strip.height() - 1 - i);
        if (qRed(c) != qGreen(c) || qGreen(c) != qBlue(c)) colours.append(c);
    }
    if (!colours.isEmpty()) {
        caption.colourBar = QImage(int(colours.size()), 1, QImage::Format_RGB32);
        for (qsizetype i = 0; i < colours.size(); ++i)
            caption.colourBar.setPixel(int(i), 0, colours[i]);
    }
    const QRect& p = facts.picture;
    if (!p.isEmpty()) {
        const QPoint corners[4] = {p.topLeft(), p.topRight(), p.bottomLeft(), p.bottomRight()};
        for (int i = 0; i < 4; ++i) {
            float latitude = 0, longitude = 0;
            if (PixelToGeo(facts.calibration, corners[i].x(), corners[i].y(), latitude, longitude))
                caption.corners[size_t(i)] =
                    positionText(latitude, longitude, facts.decimalDegrees);
        }
    }
    return caption;
}

int captionHeight(int lineHeight) {
    return lineHeight <= 0 ? 0 : lineHeight / 2 + CaptionLines * lineHeight;
}

CaptionedPlacement placeWithCaption(QSize image, QSize area, int captionHeight) {
    CaptionedPlacement placed;
    const int rest = area.height() - std::max(0, captionHeight);
    // Quirk "caption-yields-to-picture": on a page too small for both (a tiny paper, a huge
    // font), the chart is what the page is for; the caption is left out rather than shrinking
    // the picture below half the page.
    if (captionHeight <= 0 || 2 * qint64(rest) < area.height()) {
        placed.picture = fitImage(image, area);
        return placed;
    }
    placed.picture = fitImage(image, QSize(area.width(), rest));
    if (placed.picture.isEmpty()) return placed;
    const int width =
        std::min(area.width(), std::max(placed.picture.width(), area.width() * 2 / 3));
    const int centre = placed.picture.left() + placed.picture.width() / 2;
    const int left = std::clamp(centre - width / 2, 0, area.width() - width);
    placed.caption = QRect(left, placed.picture.bottom() + 1, width, captionHeight);
    return placed;
}

bool drawCaption(platform::PrintJob& job, const QRect& rect, const ChartCaption& caption,
                 const platform::PrintFont& font) {
    const int line = job.textMetrics(font).lineHeight;
    if (rect.isEmpty() || line <= 0) return false;
    bool drawn = true;
    const auto leftAt = [&](int row, const QString& text) {
        if (!text.isEmpty())
            drawn &=
                job.drawText(QPoint(rect.left(), rect.top() + line / 2 + row * line), text, font);
    };
    const auto rightAt = [&](int row, int right, const QString& text) {
        if (!text.isEmpty())
            drawn &= job.drawText(
                QPoint(right - job.textWidth(text, font), rect.top() + line / 2 + row * line), text,
                font);
        return right - job.textWidth(text, font);
    };
    leftAt(0, caption.corners[0]);
    rightAt(0, rect.right() + 1, caption.corners[1]);
    leftAt(1, caption.corners[2]);
    rightAt(1, rect.right() + 1, caption.corners[3]);
    leftAt(2, caption.title);
    // "38.0°F [bar] 62.0°F" at the right of the last line; the bar a line's width wide eight
    // times over, two thirds of a line high, a space from each end's text.
    const int space = job.textWidth(QStringLiteral(" "), font);
    int right = rightAt(2, rect.right() + 1, caption.highest) - space;
    if (!caption.colourBar.isNull()) {
        const int barWidth = 8 * line;
        const int barTop = rect.top() + line / 2 + 2 * line + line / 6;
        drawn &= job.drawImage(QRect(right - barWidth, barTop, barWidth, line * 2 / 3),
                               caption.colourBar);
        right -= barWidth + space;
    }
    rightAt(2, right, caption.lowest);
    return drawn;
}

} // namespace printing
