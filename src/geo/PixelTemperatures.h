#pragma once

// The data's own water temperature for each pixel of a chart made from data: the value of the
// data cell nearest the pixel's centre. It travels inside the chart's GIF (an application
// extension), so archive intake, flipping, the trash and copies keep it with the picture.

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace geo {

struct PixelTemperatures {
    int width = 0;
    int height = 0;
    // width * height values, top row first, °F; NaN where the pixel has no water value (land,
    // cloud, missing data).
    std::vector<float> fahrenheit;
    QString source; // the source's name ("mur", "acspo"), or what the file called itself

    bool isEmpty() const { return width <= 0 || height <= 0; }
    float at(int x, int y) const { return fahrenheit[static_cast<std::size_t>(y) * width + x]; }
};

// The bytes kept in the chart's application extension (identifier "THALWISE", authentication
// code "SST"): a small header and the values, compressed.
QByteArray encodePixelTemperatures(const PixelTemperatures& temperatures);

// Reads what encodePixelTemperatures wrote; nullopt for anything malformed or of absurd size.
std::optional<PixelTemperatures> decodePixelTemperatures(const QByteArray& bytes);

} // namespace geo
