// View > Temperature in °C through the window: every temperature on screen switches at once and
// back, a new waypoint and the stored list keep their °F, and the choice survives a restart.

#include "WindowTestSupport.h"
#include "geo/ThalwiseUtils.h"
#include "geo/Waypoint.h"

#include <QAction>
#include <QLabel>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// The window as the program makes it, without the start-up purge reminder.
class UnitForm : public TFormThalwise {
public:
    using TFormThalwise::TFormThalwise;
    void MenuToolsPurgeOldChartsClick() override {}
};

struct UnitRig : WindowRig {
    std::unique_ptr<UnitForm> window(const QString& chart) {
        auto form = std::make_unique<UnitForm>(services, key, QStringList());
        form->resize(1100, 760);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->TimerLoad->stop();
        form->TimerLoadTimer();
        form->OpenChart(chart);
        return form;
    }
};

// What the window reads out: the slider label, the first line of the range tool-tip, the upper
// up-down's tool-tip, the grid's temperature header and the cells of a waypoint with and one
// without a temperature.
QStringList readings(const TFormThalwise& form) {
    return {form.LabelTemp->text(),
            form.LabelTemp->toolTip().section(u'\n', 0, 0),
            form.UpDownScaleMax->toolTip(),
            waypointCell(form, 0, 3),
            waypointCell(form, 2, 3),
            waypointCell(form, 3, 3)};
}

// The sample chart's range is 38..62°F: the slider starts at 50°F.
const QStringList Fahrenheit = {
    "50°F", "Temperature range in chart is: 38°F .. 62°F", "", " Temp\n   °F", "55.0", "-"};
const QStringList Celsius = {"10.0°C",         "Temperature range in chart is: 3.3°C .. 16.7°C",
                             "62°F is 16.7°C", " Temp\n   °C",
                             "12.8",           "-"};

const QStringList Trip = {"Lat=41.00,Lon=-70.00,Tf=55.0", "Lat=41.50,Lon=-69.25,Tf=0.0"};

TEST(TemperatureUnitWindow, EveryReadingSwitchesAtOnceWhileTheStoredValuesStayFahrenheit) {
    UnitRig rig;
    {
        TRegistryIniFile section(*rig.registry, rig.key);
        for (qsizetype i = 0; i < Trip.size(); ++i)
            section.WriteString("Waypoints", QString::number(i), Trip[i]);
    }
    QTemporaryDir charts;
    const QString chart = copySample(charts.path(), "area-ne01.gif");
    const QPoint water(600, 300);
    {
        auto form = rig.window(chart);
        TFormThalwise& f = *form;
        EXPECT_FALSE(f.MenuViewCelsius->isChecked());
        EXPECT_EQ(readings(f), Fahrenheit);
        hover(f, water);
        const float reading = f.m_temperatureScale.TemperatureAtPixel(f.BaseBitmap, 600, 300);
        ASSERT_NE(reading, 0.0f);
        EXPECT_EQ(f.statusPanelText(1), geo::temperaturePanelText(reading));

        // On: the panel switches without another move, so does everything else.
        f.MenuViewCelsius->trigger();
        EXPECT_TRUE(f.MenuViewCelsius->isChecked());
        EXPECT_EQ(readings(f), Celsius);
        EXPECT_EQ(f.statusPanelText(1),
                  QStringLiteral("Temperature: ") + geo::temperatureText(reading, true, QLocale()));
        EXPECT_TRUE(f.statusPanelText(1).endsWith(QString::fromUtf8("°C")));
        EXPECT_EQ(f.UpDownScaleMax->value(), 62) << "the scale's ends stay °F";
        hover(f, water + QPoint(0, 40));
        const float next = f.m_temperatureScale.TemperatureAtPixel(f.BaseBitmap, 600, 340);
        ASSERT_NE(next, 0.0f);
        EXPECT_EQ(f.statusPanelText(1), geo::temperaturePanelText(next, QLocale(), true));

        // A waypoint clicked in °C keeps the °F it was read in; so do the stored ones.
        f.SpeedButtonWaypoint->click();
        click(f, water);
        ASSERT_EQ(f.WaypointList.size(), 3);
        // Stored with one decimal.
        EXPECT_NEAR(ParseWaypoint(f.WaypointList[2])->tempF, reading, 0.05f + 1e-5f);
        EXPECT_EQ(f.WaypointList.mid(0, 2), Trip);
        EXPECT_EQ(rig.storedWaypoints(),
                  QStringList({"0=" + Trip[0], "1=" + Trip[1], "2=" + f.WaypointList[2]}));
        EXPECT_EQ(waypointCell(f, 4, 3), geo::temperatureDigits(reading, true, QLocale()));

        // The printed list reads °C as well.
        f.PopupMenuWaypointPrint->trigger();
        ASSERT_FALSE(rig.printers.jobs.isEmpty());
        const QStringList printed = rig.printers.jobs.last()->lines();
        EXPECT_TRUE(printed.join('\n').contains(QString::fromUtf8("T: 12.8°C  dist:")))
            << printed.join('\n').toStdString();

        // Off again: as before, and the panel with it.
        f.SpeedButtonMeasure->click();
        hover(f, water);
        EXPECT_EQ(f.statusPanelText(1), geo::temperaturePanelText(reading, QLocale(), true));
        f.MenuViewCelsius->trigger();
        EXPECT_FALSE(f.MenuViewCelsius->isChecked());
        EXPECT_EQ(readings(f), Fahrenheit);
        EXPECT_EQ(f.statusPanelText(1), geo::temperaturePanelText(reading));

        // An empty panel stays empty.
        f.ImageDisplayMouseLeave();
        f.MenuViewCelsius->trigger();
        EXPECT_EQ(f.statusPanelText(1), QString());
    }
    // The last choice, °C, is kept; the next start shows it from the first moment.
    {
        TRegistryBoolean celsius(*rig.registry, rig.key, settingNames::TemperatureCelsius, false);
        EXPECT_TRUE(celsius.Value);
    }
    auto form = rig.window(chart);
    EXPECT_TRUE(form->MenuViewCelsius->isChecked());
    EXPECT_EQ(readings(*form), Celsius);
    hover(*form, water);
    EXPECT_TRUE(form->statusPanelText(1).endsWith(QString::fromUtf8("°C")));
}

} // namespace
