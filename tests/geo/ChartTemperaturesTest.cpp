// One temperature field, two sources: a chart's colours read exactly as the pointer has always
// read them, or the values a chart made from data carries, read back at the pixels they were
// written for; and how the readout shows a reading of data.
#include "geo/ChartTemperatures.h"
#include "geo/ThalwiseUtils.h"

#include "PaintedScale.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <limits>
#include <memory>

namespace {

constexpr int Width = 48;
constexpr int Height = 24;
const QRgb Land = qRgb(205, 205, 205);
const float NoValue = std::numeric_limits<float>::quiet_NaN();

bool isLand(int x, int y) {
    return x < 12 && y < 10;
}
// The water the data set holds: warming eastward, cooling southward, to the hundredth.
float written(int x, int y) {
    return 58.0f + 0.37f * float(x) - 0.11f * float(y);
}
// A gap in the data over water (cloud in a latest-pass product).
bool isGap(int x, int y) {
    return x == 30 && y == 12;
}

TEST(ChartTemperatures, ColoursOrDataAtPositionsAcrossTheChart) {
    const painted::Scale s;
    // 24-bit, as some decoders hand a chart over: the colour source reads it as it is read now.
    QImage chart(Width, Height, QImage::Format_RGB888);
    auto data = std::make_shared<geo::PixelTemperatures>();
    data->width = Width;
    data->height = Height;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            chart.setPixel(x, y, isLand(x, y) ? Land : s.colourOf(written(x, y)));
            data->fahrenheit.push_back(isLand(x, y) || isGap(x, y) ? NoValue : written(x, y));
        }
    const geo::ChartTemperatures colours(chart, s.scale);
    const geo::ChartTemperatures fromData(chart, s.scale, data);
    ASSERT_FALSE(colours.fromData());
    ASSERT_TRUE(fromData.fromData());

    const struct {
        int x, y;
        bool water; // the data holds a value there
    } cases[] = {
        {20, 12, true},  // open water
        {0, 15, true},   // the first column: too near the edge for a colour window
        {47, 23, true},  // the last pixel
        {12, 5, true},   // water beside land: the colour window sees land too
        {30, 12, false}, // a gap in the data over painted water
        {5, 5, false},   // land
        {-1, 5, false},  {48, 5, false}, {5, 24, false}, {5, -1, false}, // off the chart
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(colours.at(c.x, c.y), s.scale.TemperatureAtPixel(chart, c.x, c.y));
        EXPECT_EQ(fromData.at(c.x, c.y), c.water ? written(c.x, c.y) : 0.0f);
    }
    // The painted gap still reads its colour: only the data knows it is no water value.
    EXPECT_NE(colours.at(30, 12), 0.0f);

    // The whole field reads every pixel as a pointer would; with data, exact and clean wherever
    // a value was written.
    for (const geo::ChartTemperatures* source : {&colours, &fromData}) {
        const geo::TemperatureField field = source->field();
        ASSERT_EQ(field.width, Width);
        ASSERT_EQ(field.height, Height);
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x) {
                ASSERT_EQ(field.at(x, y), source->at(x, y)) << x << "," << y;
                if (source->fromData())
                    ASSERT_EQ(field.clean[std::size_t(y) * Width + x] != 0,
                              !isLand(x, y) && !isGap(x, y));
            }
        EXPECT_EQ(field.readingStep == 0.0f, source->fromData());
    }

    // Values of another size than the picture are not this chart's: its colours are read.
    auto other = std::make_shared<geo::PixelTemperatures>(*data);
    other->width = Width / 2;
    other->height = Height * 2;
    const geo::ChartTemperatures mismatched(chart, s.scale, other);
    EXPECT_FALSE(mismatched.fromData());
    EXPECT_EQ(mismatched.at(20, 12), colours.at(20, 12));
}

TEST(ChartTemperatures, DataReadsToTheHundredthInEitherUnit) {
    const painted::Scale s;
    const QImage chart(8, 8, QImage::Format_RGB32);
    auto data = std::make_shared<geo::PixelTemperatures>();
    data->width = data->height = 8;
    data->fahrenheit.assign(64, 60.0f);
    const int decimals = geo::ChartTemperatures(chart, s.scale, data).readoutDecimals();
    const int colourDecimals = geo::ChartTemperatures(chart, s.scale).readoutDecimals();
    const QLocale C = QLocale::c();
    const struct {
        float fahrenheit;
        const char* f;
        const char* c;
    } cases[] = {
        {65.27f, "Temperature: 65.27°F", "Temperature: 18.48°C"},
        {31.99f, "Temperature: 31.99°F", "Temperature: -0.01°C"}, // no longer rounds to 0
        {32.0f, "Temperature: 32.00°F", "Temperature: 0.00°C"},
        {0.0f, "", ""}, // no value
    };
    for (const auto& c : cases) {
        EXPECT_EQ(geo::temperaturePanelText(c.fahrenheit, C, false, decimals),
                  QString::fromUtf8(c.f));
        EXPECT_EQ(geo::temperaturePanelText(c.fahrenheit, C, true, decimals),
                  QString::fromUtf8(c.c));
        // A colour chart's readout stays as it has always been.
        EXPECT_EQ(geo::temperaturePanelText(c.fahrenheit, C, false, colourDecimals),
                  geo::temperaturePanelText(c.fahrenheit, C));
    }
}

} // namespace
