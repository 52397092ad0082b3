// The main window driven as the program drives it: created on a settings store, shown, its
// start-up step fired, closed, and created again on the same store.

#include "WindowTestSupport.h"
#include "app/vekImage.h"
#include "dialogs/AddText.h"
#include "dialogs/ArchiveManagerForm.h"
#include "dialogs/BreakThresholdForm.h"
#include "dialogs/ExportForm.h"
#include "dialogs/IsothermForm.h"
#include "dialogs/PrintForm.h"

#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSet>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

QStringList tickedCaptions(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions())
        if (a->isChecked()) out << a->text();
    return out;
}

int readInteger(WindowRig& rig, const QString& name, int fallback) {
    TRegistryInteger value(*rig.registry, rig.key, name, fallback);
    const int result = value.Value;
    return result;
}

// Reads a value without writing it back when the reader goes away.
std::optional<platform::RegistryValue> stored(WindowRig& rig, const QString& name) {
    return rig.registry->readValue(rig.key, name);
}

} // namespace

TEST(ThalwiseForm, StartsWithDefaultsOnAnEmptyStore) {
    WindowRig rig;
    auto form = rig.open();

    EXPECT_EQ(form->windowTitle(), QStringLiteral("\"Pelagon\" Chart viewer (from Brinecast)"));
    EXPECT_EQ(form->DataFilterIndex->Value, 0); // no filter chosen yet
    EXPECT_EQ(form->DaysToKeep->Value, 0);
    EXPECT_EQ(tickedCaptions(form->MenuToolsDeleteAfter), QStringList{"&Never"});
    EXPECT_EQ(form->DefaultArea->Value, 1);
    EXPECT_EQ(tickedCaptions(form->MenuView),
              (QStringList{"&Normal view", "Lat/Lon (Traditional degrees && minutes)",
                           "Heading format (Magnetic)"}));
    EXPECT_FALSE(form->MenuAnnotationOutline->isChecked());
    EXPECT_TRUE(form->WaypointList.isEmpty());
    EXPECT_EQ(form->HomeLat->Value, 0.0);
    EXPECT_EQ(form->HomeLon->Value, 0.0);
    EXPECT_FALSE(form->MenuFileSaveAs->isEnabled());
    EXPECT_EQ(form->CurrentImageIndex, -1);
    EXPECT_EQ(form->SelectedWaypoint, -1);
    EXPECT_EQ(form->WaypointIcon.size(), QSize(32, 32));

    // The open dialog first shows where downloads arrive (the fake desktop has no downloads
    // folder of its own: the documents folder), never the program's own folder.
    EXPECT_EQ(form->DataFolder->Value, rig.desktop.downloadsFolder() + QDir::separator());
    EXPECT_NE(form->DataFolder->Value,
              QDir::toNativeSeparators(QCoreApplication::applicationDirPath()) + QDir::separator());

    // The folders exist, end in a separator and sit under the documents folder.
    const QString docs = QDir::toNativeSeparators(rig.documentsDir.path());
    EXPECT_EQ(form->ArchiveFolder,
              docs + QDir::toNativeSeparators("/My Pelagon Files/Chart Archive/"));
    EXPECT_EQ(form->ProgramInfoFolder,
              docs + QDir::toNativeSeparators("/My Pelagon Files/Program Info/"));
    EXPECT_TRUE(QFileInfo(form->ArchiveFolder).isDir());
    EXPECT_TRUE(QFileInfo(form->ProgramInfoFolder).isDir());

    // Opening the section view brings the key into being; no value is written before closing
    // (the view's zoom is the test rig's).
    EXPECT_TRUE(rig.registry->keyExists(rig.key));
    EXPECT_EQ(rig.registry->valueNames(rig.key), QStringList{settingNames::ZoomPercent});
}

TEST(ThalwiseForm, TicksFollowStoredSettings) {
    struct Row {
        int daysToKeep;
        bool decimal;
        bool magnetic;
        bool outlined;
        QStringList deleteTicks;
        QStringList viewTicks;
    };
    const Row rows[] = {
        {7,
         true,
         false,
         true,
         {"&7 days"},
         {"&Normal view", "Lat/Lon (Decimal/GPS format)", "Heading format (True)"}},
        {90,
         false,
         true,
         false,
         {"&90 days"},
         {"&Normal view", "Lat/Lon (Traditional degrees && minutes)", "Heading format (Magnetic)"}},
        // A retention period matching no item ticks none and is kept as stored.
        {45,
         false,
         false,
         false,
         {},
         {"&Normal view", "Lat/Lon (Traditional degrees && minutes)", "Heading format (True)"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.daysToKeep);
        WindowRig rig;
        {
            TRegistryInteger days(*rig.registry, rig.key, settingNames::DaysToKeep, 0);
            days.Value = row.daysToKeep;
            TRegistryBoolean decimal(*rig.registry, rig.key, settingNames::DecimalDegrees, false);
            decimal.Value = row.decimal;
            TRegistryBoolean magnetic(*rig.registry, rig.key, settingNames::MagneticReadout, true);
            magnetic.Value = row.magnetic;
            TRegistryBoolean outlined(*rig.registry, rig.key, settingNames::FontOutlined, false);
            outlined.Value = row.outlined;
        }
        auto form = rig.open();
        EXPECT_EQ(tickedCaptions(form->MenuToolsDeleteAfter), row.deleteTicks);
        EXPECT_EQ(tickedCaptions(form->MenuView), row.viewTicks);
        EXPECT_EQ(form->MenuAnnotationOutline->isChecked(), row.outlined);
        form.reset();
        EXPECT_EQ(readInteger(rig, settingNames::DaysToKeep, -1), row.daysToKeep);
    }
}

TEST(ThalwiseForm, LoadsWaypointsByTheirNumbers) {
    WindowRig rig;
    {
        TRegistryIniFile section(*rig.registry, rig.key);
        // Stored out of order, and with the name "1" missing: the count is what matters.
        section.WriteString("Waypoints", "2", "Lat=40.10,Lon=-70.20,Tf=61.0");
        section.WriteString("Waypoints", "0", "Lat=41.00,Lon=-71.00,Tf=0.0");
        section.WriteString("Waypoints", "7", "Lat=42.00,Lon=-72.00,Tf=0.0");
    }
    auto form = rig.open();
    EXPECT_EQ(form->WaypointList,
              (QStringList{"Lat=41.00,Lon=-71.00,Tf=0.0", "", "Lat=40.10,Lon=-70.20,Tf=61.0"}));
}

TEST(ThalwiseForm, PurgeReminderRunsAtMostOncePerDay) {
    struct Step {
        int daysFromStart; // the clock's day for this start
        int storedBefore;  // -1: nothing stored; else days from start
        bool purges;
        int storedAfter; // days from start
    };
    const QDate start(2026, 3, 14);
    const int startDay = platform::dayNumber(QDateTime(start, QTime(0, 0)));
    const Step steps[] = {
        {0, -1, true, 0},   // first start ever
        {0, 0, false, 0},   // second start the same day
        {1, 0, true, 1},    // next day
        {1, 30, false, 30}, // stored day in the future (the clock was set back)
        {29, 30, false, 30}, {31, 30, true, 31}, // that day has passed
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.daysFromStart * 100 + step.storedBefore);
        WindowRig rig;
        rig.clock.setNow(QDateTime(start.addDays(step.daysFromStart), QTime(23, 59, 59)));
        if (step.storedBefore >= 0) {
            TRegistryInteger last(*rig.registry, rig.key, settingNames::LastPurgeReminder, 0);
            last.Value = startDay + step.storedBefore;
        }
        auto form = rig.open();
        form->TimerLoadTimer();
        EXPECT_EQ(form->calls.count("purge"), step.purges ? 1 : 0);
        EXPECT_EQ(readInteger(rig, settingNames::LastPurgeReminder, -1),
                  startDay + step.storedAfter);
    }
}

TEST(ThalwiseForm, TwoStartsOnOneDayRemindOnce) {
    WindowRig rig;
    int purges = 0;
    for (int start = 0; start < 2; ++start) {
        auto form = rig.open();
        form->TimerLoadTimer();
        purges += int(form->calls.count("purge"));
    }
    EXPECT_EQ(purges, 1);
}

TEST(ThalwiseForm, StartUpStepRunsShortlyAfterShowing) {
    WindowRig rig;
    auto form = rig.open({"/nowhere/area-ne01.txt", "ignored"});
    EXPECT_FALSE(form->TimerLoad->isActive());
    form->show();
    EXPECT_TRUE(form->TimerLoad->isActive());
    EXPECT_TRUE(form->calls.isEmpty());
    // The command-line chart is opened as given (no extension check), before the reminder, as
    // soon as the window has painted, not after the rest of the timer's 100 ms.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    for (int turn = 0; turn < 3; ++turn)
        QCoreApplication::processEvents();
    EXPECT_EQ(form->calls, (QStringList{"open /nowhere/area-ne01.txt", "purge"}));
    EXPECT_FALSE(form->TimerLoad->isActive());
    // Showing again does not start it again.
    form->hide();
    form->show();
    EXPECT_FALSE(form->TimerLoad->isActive());
}

TEST(ThalwiseForm, ClosingWritesEverySettingBack) {
    WindowRig rig;
    {
        auto form = rig.open();
        form->MenuToolsDeleteAfter30days->trigger();
        form->MenuViewDecimalDegrees->trigger();
        form->MenuViewTrue->trigger(); // no variation known: headings become true
        form->MenuAnnotationOutline->trigger();
        form->DataFilterIndex->Value = 4;
        form->DataFolder->Value = QStringLiteral("/charts/in/");
        form->DefaultArea->Value = 17;
        form->HomeLat->Value = 41.525;
        form->HomeLon->Value = -70.671;
        StoredFont bold;
        bold.name = QStringLiteral("Arial");
        bold.size = 12;
        bold.style = 3;
        bold.colour = 0x0000FF;
        form->Font->TakeFrom(&bold);

        EXPECT_EQ(tickedCaptions(form->MenuToolsDeleteAfter), QStringList{"&30 days"});
        EXPECT_TRUE(form->MenuViewDecimalDegrees->isChecked());
        EXPECT_TRUE(form->MenuViewTrue->isChecked());
        EXPECT_TRUE(form->MenuAnnotationOutline->isChecked());
        // Nothing reaches the store while the window lives.
        EXPECT_FALSE(stored(rig, settingNames::DaysToKeep).has_value());
        EXPECT_FALSE(stored(rig, settingNames::HomeLat).has_value());

        form->show();
        QTest::mouseClick(form->ButtonClose, Qt::LeftButton);
        EXPECT_FALSE(form->isVisible());
    }
    // Every setting is in the store with the window's last value.
    const QStringList names = rig.registry->valueNames(rig.key);
    for (const char* name : {"DataFilterIndex", "DaysToKeep", "DataFolder", "DefaultArea",
                             "FontColour", "FontName", "FontSize", "FontStyle", "FontOutlined",
                             "DecimalDegrees", "MagneticReadout", "HomeLat", "HomeLon"})
        EXPECT_TRUE(names.contains(QLatin1String(name), Qt::CaseInsensitive)) << name;

    auto again = rig.open();
    EXPECT_EQ(again->DataFilterIndex->Value, 4);
    EXPECT_EQ(again->DaysToKeep->Value, 30);
    EXPECT_EQ(again->DataFolder->Value, QStringLiteral("/charts/in/"));
    EXPECT_EQ(again->DefaultArea->Value, 17);
    EXPECT_TRUE(again->DecimalDegrees->Value);
    EXPECT_FALSE(again->MagneticReadout->Value);
    EXPECT_TRUE(again->FontOutlined->Value);
    EXPECT_EQ(again->HomeLat->Value, 41.525);
    EXPECT_EQ(again->HomeLon->Value, -70.671);
    StoredFont font;
    again->Font->ApplyTo(&font);
    EXPECT_EQ(font.name, QStringLiteral("Arial"));
    EXPECT_EQ(font.size, 12);
    EXPECT_EQ(font.style, 3);
    EXPECT_EQ(font.colour, 0x0000FFu);
    EXPECT_EQ(tickedCaptions(again->MenuToolsDeleteAfter), QStringList{"&30 days"});
}

TEST(ThalwiseForm, ViewAndRetentionItemsKeepOneTick) {
    WindowRig rig;
    auto form = rig.open();
    // Choosing the ticked retention item again keeps it ticked.
    form->MenuToolsDeleteAfterUnlimited->trigger();
    EXPECT_EQ(tickedCaptions(form->MenuToolsDeleteAfter), QStringList{"&Never"});
    form->MenuToolsDeleteAfter7days->trigger();
    EXPECT_EQ(form->DaysToKeep->Value, 7);
    EXPECT_EQ(tickedCaptions(form->MenuToolsDeleteAfter), QStringList{"&7 days"});
    // Either zoom item toggles the view.
    form->MenuViewNormal->trigger();
    EXPECT_TRUE(form->Zoomed);
    EXPECT_TRUE(form->MenuViewZoom->isChecked());
    EXPECT_FALSE(form->MenuViewNormal->isChecked());
    form->MenuViewNormal->trigger();
    EXPECT_FALSE(form->Zoomed);
    EXPECT_TRUE(form->MenuViewNormal->isChecked());
    // With a known variation the heading items toggle; without one they stay on true.
    form->MenuViewMagnetic->trigger();
    EXPECT_TRUE(form->MenuViewTrue->isChecked());
    form->MenuViewMagnetic->trigger();
    EXPECT_TRUE(form->MenuViewTrue->isChecked());
    form->HasVariation = true;
    form->MenuViewMagnetic->trigger();
    EXPECT_TRUE(form->MenuViewMagnetic->isChecked());
    EXPECT_TRUE(form->MagneticReadout->Value);
}

TEST(ThalwiseForm, ResizeKeepsChartAreaBesideTheScaleAndHalfTheWindowBesideThePanels) {
    WindowRig rig;
    auto form = rig.open();
    form->show();
    QWidget* client = form->centralWidget();
    for (const QSize size : {QSize(1000, 720), QSize(820, 600), QSize(1280, 900)}) {
        SCOPED_TRACE(size.width());
        for (const bool panels : {false, true}) {
            // The list and the history panel open beside the chart, or both closed.
            if (panels != form->MenuToolsWaypoints->isChecked())
                form->MenuToolsWaypoints->trigger();
            form->DockTemperatureHistory->setVisible(panels);
            form->resize(size);
            QCoreApplication::processEvents();
            // Dragged as wide and as high as the window: the chart keeps its half.
            form->resizeDocks({form->DockWaypointList}, {form->width()}, Qt::Horizontal);
            form->resizeDocks({form->DockWaypointList}, {form->height()}, Qt::Vertical);
            QCoreApplication::processEvents();
            EXPECT_EQ(form->ScrollBox->height(), client->height() - form->ScrollBox->y() - 4);
            EXPECT_EQ(form->TabControlImages->width(), form->ImageScale->x() - 8);
            // The scale column keeps its distance from the right edge.
            EXPECT_EQ(client->width() - form->ImageScale->x(), 136);
            // The panels never take more than half the window from the chart.
            EXPECT_GE(client->width(), form->width() / 2) << panels;
            EXPECT_GE(client->height(), form->height() / 2) << panels;
        }
    }
}

TEST(ThalwiseForm, MenusCarryTheirCaptionsInOrder) {
    WindowRig rig;
    auto form = rig.open();
    const QList<QPair<QString, QStringList>> expected = {
        {"&File",
         {"&Open...", "Open &archive...", "&Get charts...", "Open &recent", "Flip a&ny charts...",
          "&Flip latest charts", "Sa&ve As...", "Export for chart plotter / chart software...", "-",
          "&Export waypoints (GPX)...", "&Import waypoints (GPX)...", "-", "&Print...",
          "Print setup...", "-", "E&xit"}},
        {"&Edit", {"&Undo", "&Redo"}},
        {"&Annotation", {"&Clear all", "&Font", "&Outline"}},
        {"&View",
         {"&Fit to window",
          "&Normal view",
          "&Zoom in",
          "Zoom in a &step",
          "Zoom &out a step",
          "-",
          "Lat/Lon (Decimal/GPS format)",
          "Lat/Lon (Traditional degrees && minutes)",
          "-",
          "Heading format (Magnetic)",
          "Heading format (True)",
          "-",
          "Temperature in \u00B0&C",
          "Temperature &breaks",
          "Break &threshold...",
          "&Isotherms...",
          "High&light the slider's temperature",
          "-",
          "&Waypoints",
          "Temperature &history"}},
        {"&Tools",
         {"&Area to flip", "&Delete charts after", "&Manage archive...", "&Purge old charts..."}},
        {"&Help",
         {"&Contents...", "&Getting started...", "&Index...", "&Search for Help On...", "-",
          "&About..."}},
    };
    const QList<QAction*> top = form->MainMenu1->actions();
    ASSERT_EQ(top.size(), expected.size());
    for (int i = 0; i < top.size(); ++i) {
        EXPECT_EQ(top[i]->text(), expected[i].first);
        QStringList captions;
        for (QAction* a : top[i]->menu()->actions())
            captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
        EXPECT_EQ(captions, expected[i].second) << expected[i].first.toStdString();
    }

    QStringList retention;
    QList<int> tags;
    for (QAction* a : form->MenuToolsDeleteAfter->actions()) {
        retention << a->text();
        tags << a->data().toInt();
        EXPECT_TRUE(a->isCheckable());
        EXPECT_EQ(a->actionGroup(), form->MenuToolsDeleteAfterUnlimited->actionGroup());
    }
    EXPECT_EQ(retention,
              (QStringList{"&Never", "&7 days", "&14 days", "&30 days", "&60 days", "&90 days"}));
    EXPECT_EQ(tags, (QList<int>{0, 7, 14, 30, 60, 90}));
    // "&Area to flip": the 30 calibrated areas in table order, one radio group, tagged by index.
    const QList<QAction*> areas = form->MenuDefaultArea->actions();
    ASSERT_EQ(areas.size(), 30);
    for (int i = 0; i < 30; ++i) {
        EXPECT_EQ(areas[i]->text(), geo::areaDisplayName(i + 1));
        EXPECT_EQ(areas[i]->objectName(), QStringLiteral("MenuChooseArea") + geo::areaCode(i + 1));
        EXPECT_EQ(areas[i]->data().toInt(), i + 1);
        EXPECT_TRUE(areas[i]->isCheckable());
        EXPECT_EQ(areas[i]->actionGroup(), areas[0]->actionGroup());
    }
    EXPECT_EQ(areas[0]->text(), QStringLiteral("North-east area 1"));
    EXPECT_EQ(areas[29]->objectName(), QStringLiteral("MenuChooseAreafl14"));

    // Radio groups: zoom, position format and heading format are three separate groups.
    EXPECT_EQ(form->MenuViewNormal->actionGroup(), form->MenuViewZoom->actionGroup());
    EXPECT_EQ(form->MenuViewDecimalDegrees->actionGroup(),
              form->MenuViewDegreeMinutesSeconds->actionGroup());
    EXPECT_EQ(form->MenuViewMagnetic->actionGroup(), form->MenuViewTrue->actionGroup());
    EXPECT_NE(form->MenuViewNormal->actionGroup(), form->MenuViewMagnetic->actionGroup());
    EXPECT_NE(form->MenuViewDecimalDegrees->actionGroup(), form->MenuViewMagnetic->actionGroup());

    QStringList popup;
    for (QAction* a : form->PopupMenuWaypoint->actions())
        popup << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(popup,
              (QStringList{"Clear all", "Details", "Delete", "Print", "Export waypoints (GPX)...",
                           "Import waypoints (GPX)...", "-", "Hide waypoint list"}));
    EXPECT_FALSE(form->PopupDetailsWpt->isVisible());
}

TEST(ThalwiseForm, ControlsStartAsTheWindowIsDesigned) {
    WindowRig rig;
    auto form = rig.open();

    // Every component is reachable under its name.
    for (const char* name : {"TabControlImages",
                             "ScrollBox",
                             "ImageLogo",
                             "ImageDisplay",
                             "ImageScale",
                             "TrackBarTemperature",
                             "LabelMax",
                             "EditScaleMax",
                             "UpDownScaleMax",
                             "LabelMin",
                             "EditScaleMin",
                             "UpDownScaleMin",
                             "LabelTemp",
                             "SpeedButtonMeasure",
                             "SpeedButtonDraw",
                             "SpeedButtonErase",
                             "SpeedButtonText",
                             "SpeedButtonWaypoint",
                             "SpeedButtonPolyline",
                             "SpeedButtonWaypointHome",
                             "ButtonClose",
                             "BitBtnLeft",
                             "BitBtnRight",
                             "StringGridWaypointList",
                             "StatusBar",
                             "MainMenu1",
                             "PopupMenuWaypoint",
                             "TimerLoad",
                             "TimerUpdateRange",
                             "MenuDefaultArea",
                             "MenuFileSaveAs"})
        EXPECT_NE(form->findChild<QObject*>(QLatin1String(name)), nullptr) << name;

    struct Tool {
        QToolButton* button;
        const char* hint;
        bool visible;
    };
    const Tool tools[] = {
        {form->SpeedButtonMeasure, "Measure range and bearing (M)", true},
        {form->SpeedButtonDraw, "Draw line (L)", true},
        {form->SpeedButtonErase, "Erase text or lines (E)", true},
        {form->SpeedButtonText, "Draw text (T)", true},
        {form->SpeedButtonWaypoint, "Waypoint mode (W)", true},
        {form->SpeedButtonPolyline, "Draw polygon, double-click to end", false},
        {form->SpeedButtonWaypointHome, "Enter Home location (H)", false},
    };
    for (const Tool& t : tools) {
        EXPECT_EQ(t.button->toolTip(), QLatin1String(t.hint));
        EXPECT_EQ(!t.button->isHidden(), t.visible) << t.hint;
        EXPECT_EQ(t.button->group(), form->SpeedButtonMeasure->group());
    }
    EXPECT_TRUE(form->SpeedButtonMeasure->isChecked());

    EXPECT_EQ(form->TrackBarTemperature->orientation(), Qt::Vertical);
    EXPECT_EQ(form->TrackBarTemperature->minimum(), 20);
    EXPECT_EQ(form->TrackBarTemperature->maximum(), 80);
    EXPECT_EQ(form->TrackBarTemperature->value(), 30);
    EXPECT_EQ(form->TrackBarTemperature->tickInterval(), 5);
    EXPECT_EQ(form->UpDownScaleMax->minimum(), 40);
    EXPECT_EQ(form->UpDownScaleMax->maximum(), 100);
    EXPECT_EQ(form->EditScaleMax->text(), QStringLiteral("80"));
    EXPECT_EQ(form->UpDownScaleMin->minimum(), 20);
    EXPECT_EQ(form->UpDownScaleMin->maximum(), 80);
    EXPECT_EQ(form->EditScaleMin->text(), QStringLiteral("30"));
    EXPECT_EQ(form->LabelMax->text(), QStringLiteral("Max: "));
    EXPECT_EQ(form->LabelMin->text(), QStringLiteral("Min: "));
    EXPECT_EQ(form->LabelTemp->text(), QStringLiteral("Temp"));
    EXPECT_TRUE(form->LabelTemp->toolTip().isEmpty());
    EXPECT_TRUE(form->BitBtnLeft->isHidden());
    EXPECT_TRUE(form->BitBtnRight->isHidden());
    EXPECT_EQ(form->ImageDisplay->cursor().shape(), Qt::CrossCursor);
    EXPECT_EQ(form->ImageScale->cursor().shape(), Qt::CrossCursor);

    EXPECT_EQ(form->StringGridWaypointList->columnCount(), 7);
    EXPECT_EQ(form->StringGridWaypointList->rowCount(), 17);
    EXPECT_TRUE(form->StringGridWaypointList->isHidden());
    EXPECT_EQ(form->StringGridWaypointList->toolTip(),
              QStringLiteral("Right-click the list for options"));

    // The four designed panels; the chart's age stands apart at the right end, empty at first.
    QList<QLabel*> panels =
        form->StatusBar->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_TRUE(panels.removeOne(form->LabelChartAge));
    EXPECT_TRUE(form->LabelChartAge->text().isEmpty());
    ASSERT_EQ(panels.size(), 4);
    const int widths[] = {150, 150, 200, 150};
    for (int i = 0; i < 4; ++i) {
        // The designed width, widened only where the desktop's font needs more.
        EXPECT_GE(panels[i]->width(), widths[i]);
        EXPECT_LE(panels[i]->width(), widths[i] * 2);
        EXPECT_EQ(panels[i]->alignment(), Qt::AlignCenter);
        EXPECT_TRUE(panels[i]->text().isEmpty());
    }
    form->setStatusPanelText(2, QStringLiteral("12.3 NM"));
    EXPECT_EQ(panels[2]->text(), QStringLiteral("12.3 NM"));

    EXPECT_EQ(form->TimerLoad->interval(), 100);
    EXPECT_TRUE(form->TimerLoad->isSingleShot());
    EXPECT_EQ(form->TimerUpdateRange->interval(), 800);
    EXPECT_TRUE(form->TimerUpdateRange->isSingleShot());
    EXPECT_FALSE(form->TimerUpdateRange->isActive());

    // Showing builds the scale: the slider takes the spinners' range 30..80 (middle 55, which
    // the label mirrors) and the one repaint of the range change is pending.
    form->show();
    EXPECT_EQ(form->TrackBarTemperature->minimum(), 30);
    EXPECT_EQ(form->TrackBarTemperature->maximum(), 80);
    EXPECT_EQ(form->TrackBarTemperature->value(), 55);
    EXPECT_EQ(form->LabelTemp->text(), QStringLiteral("55\u00B0F"));
    EXPECT_TRUE(form->TimerUpdateRange->isActive());
    QTest::mouseClick(form->SpeedButtonErase, Qt::LeftButton);
    EXPECT_TRUE(form->SpeedButtonErase->isChecked());
    EXPECT_FALSE(form->SpeedButtonMeasure->isChecked());

    EXPECT_EQ(form->OpenDialog.title, QStringLiteral("Open chart to view"));
    EXPECT_EQ(form->OpenDialog.filter,
              QStringLiteral("Florida images (fl*.gif)|area-fl*.gif|Mid-Atlantic (ma*.gif)|"
                             "area-ma*.gif|North-east (ne*.gif)|area-ne*.gif|All GIF images "
                             "(*.gif)|*.gif|All files|*.*"));
    EXPECT_EQ(form->SaveDialog.title, QStringLiteral("Save annotated image"));
    EXPECT_EQ(form->SaveDialog.filter,
              QStringLiteral("GIF image (*.gif)|*.gif|All files (*.*)|*.*"));
    EXPECT_EQ(form->SaveDialog.defaultSuffix, QStringLiteral("gif"));
}

TEST(ThalwiseForm, ExitClosesWithoutAsking) {
    WindowRig rig;
    auto form = rig.open();
    form->show();
    form->AnnotationsModified = true; // no annotation file open: nothing to save, no question
    form->MenuFileExit->trigger();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(rig.messageBoxes.requests.isEmpty());
}

TEST(ThalwiseForm, PrintSetupShowsThePrinterDialogOnly) {
    WindowRig rig;
    auto form = rig.open();
    form->MenuFilePrintSetup->trigger();
    rig.printers.setupResult = false; // cancelled: nothing else happens either
    form->MenuFilePrintSetup->trigger();
    EXPECT_EQ(rig.printers.setupCalls, 2);
    EXPECT_TRUE(rig.messageBoxes.requests.isEmpty());
}

namespace {

// The access keys that clash in a menu, or among the controls of a dialog: "&File alt+a (Open
// &archive..., Save &As...)". A caption with no key clashes with none.
QStringList accessKeyClashes(const QList<QPair<QString, QString>>& captions) {
    QMap<QString, QStringList> byKey;
    for (const auto& [where, caption] : captions) {
        const QKeySequence key = QKeySequence::mnemonic(caption);
        if (!key.isEmpty()) byKey[where + ' ' + key.toString().toLower()].append(caption);
    }
    QStringList clashes;
    for (auto it = byKey.cbegin(); it != byKey.cend(); ++it)
        if (it.value().size() > 1) clashes.append(it.key() + " (" + it.value().join(", ") + ')');
    return clashes;
}

void collectMenu(const QString& where, const QList<QAction*>& actions,
                 QList<QPair<QString, QString>>& captions) {
    for (QAction* action : actions) {
        if (action->isSeparator() || !action->isVisible()) continue;
        captions.append({where, action->text()});
        if (action->menu()) collectMenu(action->text(), action->menu()->actions(), captions);
    }
}

void collectDialog(QWidget& dialog, QList<QPair<QString, QString>>& captions) {
    const QString where = dialog.metaObject()->className();
    for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
        if (!button->isHidden()) captions.append({where, button->text()});
    for (const QGroupBox* box : dialog.findChildren<QGroupBox*>())
        captions.append({where, box->title()});
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (!label->buddy()) continue;
        captions.append({where, label->text()});
    }
}

} // namespace

TEST(ThalwiseForm, EachMenuAndDialogGivesEveryAccessKeyOnce) {
    WindowRig rig;
    auto form = rig.openWindow();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->TimerLoad->stop();
    QList<QPair<QString, QString>> captions;
    collectMenu(QStringLiteral("menu bar"), form->MainMenu1->actions(), captions);
    TFormPrint print(rig.services);
    TFormExport exportChart;
    TFormIsotherms isotherms;
    TFormBreakThreshold threshold;
    TFormAddText addText;
    TFormManageArchive manageArchive(rig.services);
    for (QWidget* dialog : std::initializer_list<QWidget*>{&print, &exportChart, &isotherms,
                                                           &threshold, &addText, &manageArchive})
        collectDialog(*dialog, captions);
    EXPECT_EQ(accessKeyClashes(captions), QStringList());
    // A label's key shows as an underline, never as a "&" (its buddy is set).
    for (const QLabel* label : isotherms.findChildren<QLabel*>()) {
        if (label->text().contains('&')) {
            EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
        }
    }
}

TEST(ThalwiseForm, TabReachesEveryToolButton) {
    WindowRig rig;
    auto form = rig.openWindow();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->TimerLoad->stop();
    form->SpeedButtonMeasure->setFocus(Qt::TabFocusReason);
    QSet<QWidget*> reached;
    for (int i = 0; i < 60; ++i) {
        reached.insert(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    for (QToolButton* tool : {form->SpeedButtonMeasure, form->SpeedButtonDraw, form->SpeedButtonErase,
                              form->SpeedButtonText, form->SpeedButtonWaypoint})
        EXPECT_TRUE(reached.contains(tool)) << tool->objectName().toStdString();
    // Reaching a tool does not choose it; Space does, and one tool is in use at a time, also
    // after a second press on it.
    EXPECT_TRUE(form->SpeedButtonMeasure->isChecked());
    form->SpeedButtonDraw->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form->SpeedButtonDraw, Qt::Key_Space);
    QTest::keyClick(form->SpeedButtonDraw, Qt::Key_Space);
    EXPECT_TRUE(form->SpeedButtonDraw->isChecked());
    EXPECT_FALSE(form->SpeedButtonMeasure->isChecked());
    EXPECT_EQ(form->PointerTool, app::PointerTool::Line);
}
