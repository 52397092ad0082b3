#include "app/PointerReadout.h"

#include "geo/ThalwiseUtils.h"

namespace app {

PointerReadout pointerReadout(const PointerMove& move) {
    PointerReadout out;
    out.pixel = geo::pixelPanelText(move.x, move.y);
    if (move.overChart)
        out.position = geo::positionPanelText(move.position.Latitude, move.position.Longitude,
                                              move.decimalDegrees, move.locale);
    const auto temperature = [&move] { return move.temperatureAt ? move.temperatureAt() : 0.0f; };
    const auto range = [&move] {
        return geo::rangePanelText(move.pressPosition.Latitude, move.pressPosition.Longitude,
                                   move.position.Latitude, move.position.Longitude,
                                   move.magneticReadout, move.magneticVariation, move.locale);
    };
    // Every tool reads the water under the pointer: a waypoint is placed seeing what it keeps.
    out.temperatureF = temperature();
    out.temperature = geo::temperaturePanelText(out.temperatureF, move.locale,
                                                move.temperatureCelsius, move.temperatureDecimals);
    switch (move.tool) {
    case PointerTool::Measure:
    case PointerTool::Line:
        if (move.dragging) {
            out.rubberBand = RubberBand::Line;
            out.range = range();
        }
        break;
    case PointerTool::Erase:
        if (move.dragging) out.rubberBand = RubberBand::Rectangle;
        break;
    case PointerTool::Waypoint:
        out.setsWaypointTemperature = true;
        out.waypointTemperature = out.temperatureF;
        break;
    case PointerTool::Text:
    case PointerTool::Polygon:
    case PointerTool::Home:
        break;
    }
    return out;
}

} // namespace app
