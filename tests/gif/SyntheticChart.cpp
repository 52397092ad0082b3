#include "SyntheticChart.h"

#include <QColor>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace gif {

namespace {

constexpr int kRampSize = 253;
constexpr std::uint8_t kLand = 253;
constexpr std::uint8_t kCoast = 254;
constexpr std::uint8_t kCloud = 255;

ColourTable chartPalette() {
    ColourTable table;
    table.reserve(256);
    // Blue through cyan, green and yellow to red, like a temperature scale.
    for (int i = 0; i < kRampSize; ++i) {
        const double t = static_cast<double>(i) / (kRampSize - 1);
        const double hue = (1.0 - t) * 240.0;
        table.append(QColor::fromHsvF(static_cast<float>(hue / 360.0), 0.9f, 0.95f).rgb());
    }
    table.append(qRgb(160, 160, 160));
    table.append(qRgb(0, 0, 0));
    table.append(qRgb(255, 255, 255));
    return table;
}

// Land lies west of a wavy north-south coastline, as on an east-coast chart.
double coastX(int y, int width) {
    const double v = static_cast<double>(y);
    return width * 0.28 + width * 0.06 * std::sin(v / 57.0) + width * 0.03 * std::sin(v / 13.0);
}

} // namespace

EncoderInput makeChartLikeInput(int width, int height) {
    EncoderInput input;
    input.screenWidth = width;
    input.screenHeight = height;
    input.globalTable = chartPalette();
    input.comments.push_back(QByteArrayLiteral(
        "TIMESTAMP=2026-12-08 06:00\r\nTMIN=40.0\r\nTMAX=86.0\r\nVARIATION=-14.5"));

    EncoderFrame frame;
    frame.width = width;
    frame.height = height;
    frame.indices.resize(static_cast<std::size_t>(width) * height);
    constexpr double kPi = std::numbers::pi;
    for (int y = 0; y < height; ++y) {
        const double coast = coastX(y, width);
        for (int x = 0; x < width; ++x) {
            std::uint8_t v;
            const double dx = x - coast;
            if (dx < -1.0) {
                v = kLand;
            } else if (dx < 1.0) {
                v = kCoast;
            } else {
                const double cloud =
                    std::sin(x / 41.0) * std::cos(y / 37.0) + 0.5 * std::sin((x + 2 * y) / 23.0);
                if (cloud > 1.05) {
                    v = kCloud;
                } else {
                    // Warm water in the south and offshore, a meandering warm current.
                    const double t = 0.55 * (1.0 - static_cast<double>(y) / height) +
                                     0.25 * (static_cast<double>(x) / width) +
                                     0.15 * std::sin(2 * kPi * x / width * 1.5 + y / 90.0) +
                                     0.05 * std::cos(y / 31.0);
                    const int idx = static_cast<int>(std::clamp(t, 0.0, 1.0) * (kRampSize - 1));
                    v = static_cast<std::uint8_t>(idx);
                }
            }
            frame.indices[static_cast<std::size_t>(y) * width + x] = v;
        }
    }
    input.frames.push_back(std::move(frame));
    return input;
}

EncoderInput makeNoisyInput(int width, int height, std::uint32_t seed) {
    EncoderInput input;
    input.screenWidth = width;
    input.screenHeight = height;
    input.globalTable = chartPalette();
    EncoderFrame frame;
    frame.width = width;
    frame.height = height;
    frame.indices.resize(static_cast<std::size_t>(width) * height);
    std::mt19937 rng(seed);
    for (auto& v : frame.indices)
        v = static_cast<std::uint8_t>(rng() & 0xFF);
    input.frames.push_back(std::move(frame));
    return input;
}

} // namespace gif
