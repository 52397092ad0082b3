#pragma once
// The water of one temperature picked out on the chart: every pixel whose reading lies within a
// band around the slider's temperature, drawn as a striped layer over the chart. The readout
// never sees it: it reads the chart itself.

#include <QImage>

#include <cstdint>
#include <vector>

namespace geo {

struct TemperatureField;

// Half the width of the band (°F): 68 °F picks the water read from 67.5 to 68.5 °F.
inline constexpr float HighlightHalfBand = 0.5f;

struct HighlightLayer {
    int width = 0;
    int height = 0;
    float temperature = 0.0f;        // °F
    std::vector<std::uint8_t> marks; // 1 where the water is within the band
    int markCount = 0;
    bool isMarked(int x, int y) const { return marks[std::size_t(y) * width + x] != 0; }
};

// The pixels of a field read within halfBand of temperature (°F), the edges included; pixels
// without a reading (land, cloud, coast) are never marked.
HighlightLayer highlightBand(const TemperatureField& field, float temperature,
                             float halfBand = HighlightHalfBand);

// Stripes the marked pixels of a picture of the layer's size: diagonal lines, white and
// near-black in turn, that show on every colour of the scale while the chart's own colour
// stays visible between them.
void drawHighlight(QImage& picture, const HighlightLayer& layer);

} // namespace geo
