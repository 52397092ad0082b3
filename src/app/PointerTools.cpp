#include "app/PointerTools.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdint>

namespace app {

Qt::CursorShape toolCursor(PointerTool tool) {
    switch (tool) {
    case PointerTool::Text:
    case PointerTool::Erase:
        return Qt::PointingHandCursor;
    case PointerTool::Measure:
    case PointerTool::Line:
    case PointerTool::Polygon:
    case PointerTool::Waypoint:
    case PointerTool::Home:
        break;
    }
    return Qt::CrossCursor;
}

bool toolShowsWaypoints(PointerTool tool) {
    return tool == PointerTool::Waypoint || tool == PointerTool::Home;
}

bool toolChangesMarks(PointerTool tool) {
    return tool == PointerTool::Text || tool == PointerTool::Line || tool == PointerTool::Polygon ||
           tool == PointerTool::Erase;
}

QString marksDrawnInText() {
    return QCoreApplication::translate(
        "PointerTools", "This picture was saved with its lines and texts drawn in, so they "
                        "cannot be changed here. Open the chart itself to change them.");
}

ClickAction clickAction(PointerTool tool, QPoint pressPoint, QPoint lastPointerPoint) {
    if (lastPointerPoint != pressPoint) return ClickAction::Ignored;
    switch (tool) {
    case PointerTool::Text:
        return ClickAction::EraseOrAddText;
    case PointerTool::Erase:
        return ClickAction::EraseTextOrLine;
    default:
        return ClickAction::Nothing;
    }
}

ReleaseAction releaseAction(PointerTool tool, bool dragging) {
    if (dragging) {
        switch (tool) {
        case PointerTool::Line:
            return ReleaseAction::AddLine;
        case PointerTool::Erase:
            return ReleaseAction::EraseAtMidpoint;
        default:
            return ReleaseAction::Nothing;
        }
    }
    switch (tool) {
    case PointerTool::Waypoint:
        return ReleaseAction::AddWaypoint;
    case PointerTool::Home:
        return ReleaseAction::SetHome;
    default:
        return ReleaseAction::Nothing;
    }
}

QPoint dragMidpoint(QPoint pressPoint, QPoint lastPointerPoint) {
    // Integer division truncates toward zero, as the rule asks.
    return QPoint((pressPoint.x() + lastPointerPoint.x()) / 2,
                  (pressPoint.y() + lastPointerPoint.y()) / 2);
}

QRect spannedRectangle(QPoint a, QPoint b) {
    const int left = std::min(a.x(), b.x());
    const int top = std::min(a.y(), b.y());
    const int right = std::max(a.x(), b.x());  // excluded
    const int bottom = std::max(a.y(), b.y()); // excluded
    return QRect(QPoint(left, top), QSize(right - left, bottom - top));
}

QRect eraseSquare(QPoint point) {
    return spannedRectangle(point - QPoint(5, 5), point + QPoint(5, 5));
}

QRect textBox(QPoint anchor, QSize size) {
    const int left = anchor.x() - size.width() / 2;
    const int top = anchor.y() - size.height() / 2;
    const int right = anchor.x() + size.width() / 2;
    const int bottom = anchor.y() + size.height() / 2;
    return QRect(QPoint(left, top), QSize(right - left, bottom - top));
}

int FindTextAt(const QList<AnnotationText>& texts, QPoint point, const TextMeasure& measure) {
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const QSize size = measure ? measure(texts[i].text) : QSize();
        if (textBox(texts[i].centre, size).contains(point)) return int(i);
    }
    return -1;
}

int eraseSampleRow(QPoint a, QPoint b, int x) {
    // Halved toward zero, as integer division does.
    if (a.x() == b.x()) return (a.y() + b.y()) / 2;
    // y = (a.y * run + (x - a.x) * rise) / run exactly: a slope in floating point lands a hair
    // off the halves (14.5 became 14.500000000000002 on the way from (0, 0) to (14, 29)) and
    // then rounds the wrong way. 64 bits, as the product of two chart spans passes 2^31.
    std::int64_t run = std::int64_t(b.x()) - a.x();
    std::int64_t numerator =
        std::int64_t(a.y()) * run + (std::int64_t(x) - a.x()) * (b.y() - a.y());
    if (run < 0) {
        run = -run;
        numerator = -numerator;
    }
    std::int64_t quotient = numerator / run; // toward zero; brought down to the floor below
    std::int64_t remainder = numerator % run;
    if (remainder < 0) {
        --quotient;
        remainder += run;
    }
    // Rounded to nearest, halves to the even neighbour.
    if (2 * remainder > run || (2 * remainder == run && quotient % 2 != 0)) ++quotient;
    return int(quotient);
}

std::optional<LineHit> findLineIn(const QList<AnnotationLine>& lines, const QRect& rectangle) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QList<QPoint>& points = lines[i].points;
        for (qsizetype k = 1; k < points.size(); ++k) {
            QPoint a = points[k - 1];
            QPoint b = points[k];
            if (b.x() < a.x()) std::swap(a, b);
            const LineHit hit{int(i), a, b};
            if (a.x() == b.x()) {
                // A vertical segment is looked at once, at its middle.
                if (rectangle.contains(QPoint(a.x(), eraseSampleRow(a, b, a.x())))) return hit;
                continue;
            }
            for (int x = a.x(); x <= b.x(); ++x) {
                if (rectangle.contains(QPoint(x, eraseSampleRow(a, b, x)))) return hit;
            }
        }
    }
    return std::nullopt;
}

AnnotationLine lineOnChart(QPoint from, QPoint to, QSize chartSize) {
    // Quirk "line-points-on-chart": a drag that leaves the chart ends its line at the chart's
    // edge. A point off the chart would be written negative (or past 65535 once packed) and
    // the annotation file would drop the whole line when it is read again.
    const int right = std::max(0, chartSize.width() - 1);
    const int bottom = std::max(0, chartSize.height() - 1);
    const auto onChart = [&](QPoint p) {
        return QPoint(std::clamp(p.x(), 0, right), std::clamp(p.y(), 0, bottom));
    };
    return AnnotationLine{{onChart(from), onChart(to)}};
}

namespace {

platform::MessageBoxRequest question(const QString& caption, const QString& text) {
    platform::MessageBoxRequest request;
    request.caption = caption;
    request.text = text;
    request.buttons = platform::Button::Yes | platform::Button::No;
    request.icon = platform::Icon::Question;
    request.defaultButton = platform::Button::No;
    return request;
}

} // namespace

platform::MessageBoxRequest eraseTextQuestion(const QString& text, QPoint point) {
    return question(QCoreApplication::translate("PointerTools", "Confirm erase text"),
                    //: %1 is the annotation text, %2 and %3 its position in chart pixels.
                    QCoreApplication::translate(
                        "PointerTools", "Are you sure you want to erase the text: \r\"%1\"\r"
                                        "at the point at X:%2, Y:%3 ?")
                        // One pass, so that a "%2" the user typed stays as typed.
                        .arg(text, QString::number(point.x()), QString::number(point.y())));
}

platform::MessageBoxRequest eraseLineQuestion(const LineHit& hit) {
    return question(QCoreApplication::translate("PointerTools", "Confirm erase line"),
                    QCoreApplication::translate("PointerTools",
                                                "Are you sure you want to erase the line\r"
                                                "from  X:%1 Y:%2  to  X:%3 Y:%4")
                        .arg(hit.a.x())
                        .arg(hit.a.y())
                        .arg(hit.b.x())
                        .arg(hit.b.y()));
}

platform::MessageBoxRequest clearAllQuestion() {
    return question(QCoreApplication::translate("PointerTools", "Clear all annotations"),
                    QCoreApplication::translate(
                        "PointerTools", "Are you sure you want to clear all the annotations?"));
}

} // namespace app
