// One temperature field, two sources: a chart's colours read as the pointer has always read
// them, or the values a chart made from data carries, read back where they were written.
#include "geo/ChartTemperatures.h"

#include "PaintedScale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>

TEST(ChartTemperatures, ColoursOrDataAtPositionsAcrossTheChart) {
    const painted::Scale s;
    constexpr int W = 48, H = 24;
    const auto land = [](int x, int y) { return x < 12 && y < 10; };
    const auto gap = [](int x, int y) { return x == 30 && y == 12; }; // cloud over water
    const auto written = [](int x, int y) { return 58.0f + 0.37f * x - 0.11f * y; };
    QImage chart(W, H, QImage::Format_RGB888);
    auto data = std::make_shared<geo::PixelTemperatures>();
    data->width = W;
    data->height = H;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            chart.setPixel(x, y, land(x, y) ? qRgb(205, 205, 205) : s.colourOf(written(x, y)));
            data->fahrenheit.push_back(
                land(x, y) || gap(x, y) ? std::numeric_limits<float>::quiet_NaN() : written(x, y));
        }
    const geo::ChartTemperatures colours(chart, s.scale);
    const geo::ChartTemperatures fromData(chart, s.scale, data);
    const struct {
        int x, y;
        bool water;
    } cases[] = {{20, 12, true},  {0, 15, true}, {47, 23, true}, {12, 5, true}, // beside land
                 {30, 12, false}, {5, 5, false}, {-1, 5, false}, {48, 5, false}, {5, 24, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(colours.at(c.x, c.y), s.scale.TemperatureAtPixel(chart, c.x, c.y));
        EXPECT_EQ(fromData.at(c.x, c.y), c.water ? written(c.x, c.y) : 0.0f);
    }
    EXPECT_NE(colours.at(30, 12), 0.0f); // only the data knows the gap holds no value
    // The whole field reads every pixel as at() does (the colours' is pinned where it is made);
    // data is exact and clean where written.
    const geo::TemperatureField exact = fromData.field();
    for (int i = 0; i < W * H; ++i)
        ASSERT_EQ(exact.values[i], fromData.at(i % W, i / W)) << i;
    EXPECT_EQ(exact.readingStep, 0.0f);
    EXPECT_EQ(std::count(exact.clean.begin(), exact.clean.end(), 1), W * H - 12 * 10 - 1);
    // Values of another size than the picture are not this chart's: its colours are read.
    auto other = std::make_shared<geo::PixelTemperatures>(*data);
    std::swap(other->width, other->height);
    EXPECT_FALSE(geo::ChartTemperatures(chart, s.scale, other).fromData());
}
