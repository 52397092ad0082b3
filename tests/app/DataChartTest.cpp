// A chart made from data, end to end: its GIF carries each pixel's own temperature, and
// thalwise-cli probe, the window's pointer and a new waypoint read that value instead of the
// colour's. The picture is the sample chart's, so a reading of its colours would differ.

#include "WindowTestSupport.h"
#include "../cli/CliRun.h"
#include "geo/AreaStuff.h"
#include "geo/PixelTemperatures.h"
#include "gif/GIFEncoder.h"
#include "gif/GIFImage.h"

#include <QLocale>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <limits>

namespace {

// The water the chart was made from: warming eastward and southward, to the hundredth.
float written(int x, int y) {
    return 40.0f + 0.03f * float(x) + 0.01f * float(y);
}
// Cloud over water: no value there.
bool isGap(int x, int y) {
    return x >= 700 && x < 800 && y >= 100 && y < 200;
}

// The sample chart of ne01 written again with its data inside, as a chart made from data is.
QString dataChart(const QString& folder) {
    TGIFImage sample;
    sample.LoadFromFile(sampleChart());
    const QImage picture = sample.bitmap();
    EXPECT_EQ(picture.format(), QImage::Format_Indexed8);
    gif::EncoderInput in;
    in.screenWidth = picture.width();
    in.screenHeight = picture.height();
    in.globalTable = picture.colorTable();
    gif::EncoderFrame frame;
    frame.width = picture.width();
    frame.height = picture.height();
    geo::PixelTemperatures data;
    data.width = picture.width();
    data.height = picture.height();
    data.source = QStringLiteral("mur");
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            frame.indices.push_back(picture.constScanLine(y)[x]);
            data.fahrenheit.push_back(isGap(x, y) ? std::numeric_limits<float>::quiet_NaN()
                                                  : written(x, y));
        }
    in.frames.push_back(std::move(frame));
    in.comments = {"TIMESTAMP=2026-12-09-12ne01\r\nTMIN=38\r\nTMAX=62\r\nVARIATION=-15.0"};
    in.applications.push_back({"THALWISE", "SST", geo::encodePixelTemperatures(data)});
    const QString path = folder + QStringLiteral("/2026-12-09-12ne01.gif");
    QString error;
    EXPECT_TRUE(gif::writeGifFile(path, in, &error)) << error.toStdString();
    return path;
}

} // namespace

TEST(DataChart, ProbeThePointerAndAWaypointReadTheDataNotTheColours) {
    QLocale::setDefault(QLocale::c());
    QTemporaryDir dir;
    const QString chart = dataChart(dir.path());

    const struct {
        QPoint pixel;
        const char* probe;  // thalwise-cli's temperature line
        const char* panelF; // the status bar in °F, then °C
        const char* panelC;
    } cases[] = {
        {{601, 300}, "61.03", "Temperature: 61.03°F", "Temperature: 16.13°C"},
        // The first column: too near the edge for the colours, not for the data.
        {{1, 1000}, "50.03", "Temperature: 50.03°F", "Temperature: 10.02°C"},
        {{750, 150}, "none", "", ""}, // the gap: water, but no value
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.probe);
        const CliRun r = runCli({"probe", chart, "--pixel",
                                 QStringLiteral("%1,%2").arg(c.pixel.x()).arg(c.pixel.y())});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.endsWith(QStringLiteral("temperature: ") + c.probe + '\n'))
            << r.out.toStdString();
    }

    WindowRig rig;
    auto form = rig.openWindow();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->TimerLoad->stop();
    form->OpenChart(chart);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.probe);
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

    // A waypoint set on the data keeps the data's value, to the tenth its text holds.
    QTest::mouseClick(form->SpeedButtonWaypoint, Qt::LeftButton);
    click(*form, QPoint(601, 300));
    ASSERT_FALSE(form->WaypointList.isEmpty());
    EXPECT_TRUE(form->WaypointList.last().endsWith(QStringLiteral("Tf=61.0")))
        << form->WaypointList.last().toStdString();
}
