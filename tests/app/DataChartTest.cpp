// A chart made from data, end to end: its GIF carries each pixel's own temperature, and the
// window's pointer (also after a flip) and a new waypoint read it instead of the colour. The picture is the sample chart's, whose colours would read otherwise.

#include "WindowTestSupport.h"
#include "geo/AreaStuff.h"
#include "geo/PixelTemperatures.h"
#include "gif/GIFEncoder.h"
#include "gif/GIFImage.h"

#include <QLocale>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <limits>

TEST(DataChart, ProbeThePointerAndAWaypointReadTheDataNotTheColours) {
    QLocale::setDefault(QLocale::c());
    TGIFImage sample;
    sample.LoadFromFile(sampleChart());
    const QImage picture = sample.bitmap();
    ASSERT_EQ(picture.format(), QImage::Format_Indexed8);
    gif::EncoderInput in;
    in.screenWidth = picture.width();
    in.screenHeight = picture.height();
    in.globalTable = picture.colorTable();
    gif::EncoderFrame frame;
    frame.width = picture.width();
    frame.height = picture.height();
    in.frames.push_back(frame);
    geo::PixelTemperatures data;
    data.width = picture.width();
    data.height = picture.height();
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            in.frames[0].indices.push_back(picture.constScanLine(y)[x]);
            const bool gap = x >= 700 && x < 800 && y >= 100 && y < 200; // cloud over water
            data.fahrenheit.push_back(gap ? std::numeric_limits<float>::quiet_NaN()
                                          : 40.0f + 0.03f * x + 0.01f * y);
        }
    in.comments = {"TIMESTAMP=2026-12-09-12ne01\r\nTMIN=38\r\nTMAX=62\r\nVARIATION=-15.0"};
    in.applications.push_back({"THALWISE", "SST", geo::encodePixelTemperatures(data)});
    QTemporaryDir dir;
    const QString chart = dir.filePath("2026-12-09-12ne01.gif");
    ASSERT_TRUE(gif::writeGifFile(chart, in));

    const struct {
        QPoint pixel;
        const char* panelF; // the status bar's reading in °F and °C
        const char* panelC;
    } cases[] = {
        {{601, 300}, "Temperature: 61.03°F", "Temperature: 16.13°C"},
        {{1, 1000}, "Temperature: 50.03°F", "Temperature: 10.02°C"}, // at the edge
        {{750, 150}, "", ""},
    };

    WindowRig rig;
    auto form = rig.openWindow();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->TimerLoad->stop();
    form->OpenChart(chart);
    for (const auto& c : cases) {
        hover(*form, c.pixel);
        EXPECT_EQ(form->statusPanelText(1), QString::fromUtf8(c.panelF));
        form->MenuViewCelsius->trigger();
        hover(*form, c.pixel);
        EXPECT_EQ(form->statusPanelText(1), QString::fromUtf8(c.panelC));
        form->MenuViewCelsius->trigger();
    }
    // Filed in the archive and flipped from there, the chart still reads its data.
    form->DefaultArea->Value = RecogniseArea("ne01");
    form->MenuFileFlipLatest->trigger();
    ASSERT_EQ(form->ChartImages.size(), 1);
    hover(*form, cases[0].pixel);
    EXPECT_EQ(form->statusPanelText(1), QString::fromUtf8(cases[0].panelF));
    // A waypoint keeps the data's value, to the tenth its text holds.
    QTest::mouseClick(form->SpeedButtonWaypoint, Qt::LeftButton);
    click(*form, cases[0].pixel);
    ASSERT_FALSE(form->WaypointList.isEmpty());
    EXPECT_TRUE(form->WaypointList.last().endsWith(QStringLiteral("Tf=61.0")));
}
