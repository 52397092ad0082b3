#include "app/PointerTools.h"

#include <QCoreApplication>

#include <cmath>

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
                if (rectangle.contains(QPoint(a.x(), (a.y() + b.y()) / 2))) return hit;
                continue;
            }
            const double slope = double(b.y() - a.y()) / double(b.x() - a.x());
            for (int x = a.x(); x <= b.x(); ++x) {
                // Rounded to nearest, halves to the even neighbour (the default rounding mode).
                const int y = int(std::nearbyint(a.y() + (x - a.x()) * slope));
                if (rectangle.contains(QPoint(x, y))) return hit;
            }
        }
    }
    return std::nullopt;
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
