// The trip through the main window as a user plans it: home and waypoints clicked on the chart,
// the list beside it, a waypoint deleted through the list's pop-up menu, Clear all, the list
// shown and hidden, kept across a restart, printed into a PDF file and sent to GPX and back.

#include "WindowTestSupport.h"
#include "geo/ThalwiseUtils.h"
#include "geo/Waypoint.h"
#include "geo/WaypointTable.h"
#include "platform/QtPrinters.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDockWidget>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// The window as the program makes it, without the start-up purge reminder.
class TripForm : public TFormThalwise {
public:
    using TFormThalwise::TFormThalwise;
    void MenuToolsPurgeOldChartsClick() override {}
};

struct TripRig : WindowRig {
    std::unique_ptr<TripForm> window(const QString& chart) {
        auto form = std::make_unique<TripForm>(services, key, QStringList());
        form->resize(1100, 760);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        // The start-up step at once: it fills the grid and attaches the list's saving.
        form->TimerLoad->stop();
        form->TimerLoadTimer();
        if (!chart.isEmpty()) form->OpenChart(chart);
        return form;
    }
};

// A right click on a row of the grid, as the pointer gives it; the pop-up menu opens.
void rightClickRow(TFormThalwise& form, int row) {
    QTableWidget* grid = form.StringGridWaypointList;
    const QPoint at(grid->columnViewportPosition(2) + 4, grid->rowViewportPosition(row) + 3);
    QTest::mouseMove(grid->viewport(), at);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(grid->viewport(), &event);
    QCoreApplication::processEvents();
}

void closeMenu(TFormThalwise& form) {
    form.PopupMenuWaypoint->hide();
    QCoreApplication::processEvents();
}

double number(const QString& text) {
    return QLocale().toDouble(text.trimmed());
}

TEST(WaypointWindow, ATripClickedOnTheChartIsListedEditedAndKept) {
    TripRig rig;
    QTemporaryDir charts;
    const QString chart = copySample(charts.path(), "area-ne01.gif");
    QStringList kept;
    double homeLat = 0;
    {
        auto form = rig.window(chart);
        TFormThalwise& f = *form;
        f.SpeedButtonWaypoint->click();
        ASSERT_FALSE(f.StringGridWaypointList->isHidden());
        EXPECT_TRUE(f.MenuToolsWaypoints->isChecked());
        for (const QPoint at : {QPoint(200, 200), QPoint(300, 260), QPoint(420, 330)})
            click(f, at);
        ASSERT_EQ(f.WaypointList.size(), 3);
        // The waypoint lies on the clicked pixel, not on a 0.01 degree grid a few pixels away.
        const auto last = ParseWaypoint(f.WaypointList[2]);
        ASSERT_TRUE(last);
        EXPECT_NEAR(last->lat, f.PressPosition.Latitude, 0.00005);
        EXPECT_NEAR(last->lon, f.PressPosition.Longitude, 0.00005);
        // Without home the legs stay empty; the waypoint's own cells are there.
        EXPECT_EQ(waypointCell(f, 2, 4), "-");
        EXPECT_NE(waypointCell(f, 2, 1), "-");
        const auto second = ParseWaypoint(f.WaypointList[1]);
        ASSERT_TRUE(second);
        EXPECT_EQ(waypointCell(f, 3, 1), FormatDegrees(second->lat, f.DecimalDegrees->Value));
        EXPECT_EQ(waypointCell(f, 3, 3), QLocale().toString(second->tempF, 'f', 1));

        f.SpeedButtonWaypointHome->click();
        click(f, {120, 420});
        homeLat = f.HomeLat->Value;
        ASSERT_NE(homeLat, 0.0);
        EXPECT_EQ(waypointCell(f, 1, 0), "H");
        EXPECT_EQ(waypointCell(f, 1, 4), " Home");
        // The legs fill in from home; the running total is the sum of the legs.
        double legs = 0;
        for (int row = 2; row <= 4; ++row) {
            ASSERT_NE(waypointCell(f, row, 4), "-") << row;
            legs += number(waypointCell(f, row, 4));
            EXPECT_TRUE(waypointCell(f, row, 5).endsWith(QStringLiteral("\u00B0"))) << row;
        }
        EXPECT_NEAR(number(waypointCell(f, 4, 6)), legs, 0.15);
        EXPECT_EQ(waypointCell(f, 5, 0), "4");
        EXPECT_EQ(waypointCell(f, 5, 1), "-");
        EXPECT_EQ(rig.storedWaypoints().size(), 3) << "each change is saved at once";

        // The header row and the home row offer no Delete.
        for (const int row : {0, 1}) {
            rightClickRow(f, row);
            EXPECT_FALSE(f.PopupMenuWaypointDelete->isVisible()) << row;
            closeMenu(f);
        }
        const QString third = f.WaypointList[2];
        rightClickRow(f, 3);
        EXPECT_TRUE(f.PopupMenuWaypointDelete->isVisible());
        EXPECT_EQ(f.PopupMenuWaypointDelete->text(), "Delete waypoint 2");
        closeMenu(f);
        f.PopupMenuWaypointDelete->trigger();
        ASSERT_EQ(f.WaypointList.size(), 2);
        EXPECT_EQ(f.WaypointList[1], third);
        EXPECT_EQ(waypointCell(f, 3, 1),
                  FormatDegrees(ParseWaypoint(third)->lat, f.DecimalDegrees->Value));
        EXPECT_EQ(waypointCell(f, 4, 1), "-");
        const QStringList stored = rig.storedWaypoints();
        ASSERT_EQ(stored.size(), 2);
        EXPECT_TRUE(stored[0].startsWith("0=") && stored[1].startsWith("1="))
            << stored.join(" ").toStdString();
        EXPECT_EQ(stored[1], "1=" + third);

        // Clear all asks; No changes nothing.
        rig.messageBoxes.answers = {platform::Button::No};
        f.PopupMenuWaypointClear->trigger();
        ASSERT_EQ(rig.messageBoxes.requests.size(), 1);
        const platform::MessageBoxRequest& question = rig.messageBoxes.requests.first();
        EXPECT_EQ(question.caption, "Clear all waypoints");
        EXPECT_EQ(question.text, "Are you sure you want to clear all the waypoints?");
        EXPECT_EQ(question.defaultButton, platform::Button::No);
        EXPECT_EQ(question.icon, platform::Icon::Question);
        EXPECT_EQ(f.WaypointList.size(), 2);
        kept = f.WaypointList;

        // The View item and the pop-up hide the list; only the pop-up takes the home button.
        f.MenuToolsWaypoints->trigger();
        EXPECT_TRUE(f.StringGridWaypointList->isHidden());
        EXPECT_FALSE(f.MenuToolsWaypoints->isChecked());
        EXPECT_FALSE(f.SpeedButtonWaypointHome->isHidden());
        f.MenuToolsWaypoints->trigger();
        EXPECT_FALSE(f.StringGridWaypointList->isHidden());
        EXPECT_TRUE(f.MenuToolsWaypoints->isChecked());
        f.PopupMenuWaypointHideTable->trigger();
        EXPECT_TRUE(f.StringGridWaypointList->isHidden());
        EXPECT_TRUE(f.SpeedButtonWaypointHome->isHidden());
        f.close();
    }
    auto form = rig.window(chart);
    EXPECT_EQ(form->WaypointList, kept);
    EXPECT_DOUBLE_EQ(form->HomeLat->Value, homeLat);
    // Yes clears the list and keeps home.
    rig.messageBoxes.answers = {platform::Button::Yes};
    form->PopupMenuWaypointClear->trigger();
    EXPECT_TRUE(form->WaypointList.isEmpty());
    EXPECT_TRUE(rig.storedWaypoints().isEmpty());
    EXPECT_DOUBLE_EQ(form->HomeLat->Value, homeLat);
    EXPECT_NE(waypointCell(*form, 1, 1), "-");
}

TEST(WaypointWindow, TheListSitsBesideTheToolsWithEveryRowAndHeaderLineInSight) {
    TripRig rig;
    auto form = rig.window(QString());
    for (int i = 0; i < 15; ++i)
        form->WaypointList.append(QStringLiteral("Lat=41.%1,Lon=-70.50,Tf=70.0").arg(i + 10));
    form->SpeedButtonWaypoint->click();
    form->RefreshWaypointGrid();
    QTableWidget* grid = form->StringGridWaypointList;
    // Drawing raises the header row where its three lines need it.
    grid->grab();
    QCoreApplication::processEvents();
    grid->grab();
    EXPECT_GE(grid->rowHeight(0), 3 * grid->fontMetrics().height());
    EXPECT_FALSE(grid->verticalScrollBar()->isVisible());
    EXPECT_LE(grid->rowViewportPosition(16) + grid->rowHeight(16), grid->viewport()->height());
    EXPECT_LE(grid->columnViewportPosition(6) + grid->columnWidth(6), grid->viewport()->width());
    // Fifteen waypoints fill the grid without scrolling.
    EXPECT_EQ(grid->rowCount(), 17);
    EXPECT_EQ(waypointCell(*form, 16, 0), "15");
    EXPECT_EQ(waypointCell(*form, 16, 1), FormatDegrees(41.24f, form->DecimalDegrees->Value));
    // Nothing it needs beside it lies under its panel: the strip, the readout, the tools, the
    // chart.
    const auto inWindow = [&form](QWidget* widget) {
        return QRect(widget->mapTo(form.get(), QPoint(0, 0)), widget->size());
    };
    for (QWidget* beside :
         {static_cast<QWidget*>(form->ImageScale), static_cast<QWidget*>(form->LabelTemp),
          static_cast<QWidget*>(form->SpeedButtonWaypointHome),
          static_cast<QWidget*>(form->SpeedButtonMeasure), form->TabControlImages})
        EXPECT_FALSE(inWindow(form->DockWaypointList).intersects(inWindow(beside)))
            << beside->objectName().toStdString();
    EXPECT_TRUE(form->rect().contains(inWindow(form->DockWaypointList)));
}

TEST(WaypointWindow, EveryWaypointHasARowAndAScrolledRowIsDeleted) {
    TripRig rig;
    auto form = rig.window(QString());
    form->SpeedButtonWaypoint->click();
    QTableWidget* grid = form->StringGridWaypointList;
    const QSize laidOut = form->DockWaypointList->size();
    for (int i = 0; i < 40; ++i)
        form->WaypointList.append(QStringLiteral("Lat=41.%1,Lon=-70.50,Tf=70.0").arg(i + 10));
    form->WaypointsChanged();
    form->RefreshWaypointGrid();
    QCoreApplication::processEvents();
    ASSERT_EQ(grid->rowCount(), 42);
    EXPECT_EQ(waypointCell(*form, 41, 0), "40");
    // The panel keeps its size and the list scrolls; the scroll bar covers no column.
    EXPECT_EQ(form->DockWaypointList->size(), laidOut);
    EXPECT_TRUE(grid->verticalScrollBar()->isVisible());
    EXPECT_LE(grid->columnViewportPosition(6) + grid->columnWidth(6), grid->viewport()->width());

    grid->scrollToBottom();
    QCoreApplication::processEvents();
    ASSERT_GT(grid->verticalScrollBar()->value(), 0);
    const QString thirtyEighth = form->WaypointList[37];
    rightClickRow(*form, 39);
    EXPECT_EQ(form->PopupMenuWaypointDelete->text(), "Delete waypoint 38");
    closeMenu(*form);
    form->PopupMenuWaypointDelete->trigger();
    ASSERT_EQ(form->WaypointList.size(), 39);
    EXPECT_FALSE(form->WaypointList.contains(thirtyEighth));
    EXPECT_EQ(rig.storedWaypoints().size(), 39);
    EXPECT_EQ(grid->rowCount(), 41);
}

TEST(WaypointWindow, ThePrintedListReachesAPdfFileWithEveryLineWhole) {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    TripRig rig;
    platform::QtPrinters printers;
    QTemporaryDir out;
    const QString pdf = out.filePath("waypoints.pdf");
    printers.printer().setOutputFormat(QPrinter::PdfFormat);
    printers.printer().setOutputFileName(pdf);
    rig.services.printers = &printers;
    auto form = rig.window(QString());
    form->HomeLat->Value = 41.5;
    form->HomeLon->Value = -70.9;
    form->DecimalDegrees->Value = true;
    for (int i = 0; i < 16; ++i)
        form->WaypointList.append(QStringLiteral("Lat=40.%1,Lon=-69.%2,Tf=6%3.5")
                                      .arg(10 + 5 * i)
                                      .arg(10 + 3 * i)
                                      .arg(i % 10));
    form->WaypointsChanged();
    form->RefreshWaypointGrid(); // as the window's own changes do
    form->PopupMenuWaypointPrint->trigger();
    EXPECT_TRUE(rig.messageBoxes.requests.isEmpty());

    QProcess text;
    text.start(pdftotext, {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QStringList lines =
        QString::fromUtf8(text.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.first().trimmed().startsWith("Home location - lat: 41.500\u00B0"))
        << lines.first().toStdString();
    // The text extraction gives runs of blanks as one.
    QStringList waypointLines;
    for (const QString& line : lines)
        if (line.trimmed().startsWith("Waypoint: ")) waypointLines.append(line.simplified());
    ASSERT_EQ(waypointLines.size(), 16) << "the sixteenth waypoint is printed too";
    EXPECT_TRUE(waypointLines[15].startsWith(
        "Waypoint: 16 lat: 40.850\u00B0 lon: 69.550\u00B0 T: 65.5\u00B0F"))
        << waypointLines[15].toStdString();
    // Whole lines: the total at the end of each is on the paper.
    for (const QString& line : waypointLines)
        EXPECT_TRUE(line.contains(QRegularExpression("total: [0-9.,]+ NM$"))) << line.toStdString();

    // A printer that cannot be opened is said so.
    rig.services.printers = &rig.printers;
    RecordingPrintJob::Script closed;
    closed.beginResult = false;
    rig.printers.jobScript = closed;
    auto again = rig.window(QString());
    ASSERT_FALSE(again->WaypointList.isEmpty()) << "kept from the first window";
    again->PopupMenuWaypointPrint->trigger();
    ASSERT_EQ(rig.messageBoxes.requests.size(), 1);
    EXPECT_TRUE(rig.messageBoxes.requests.first().text.contains("could not be printed"));
}

TEST(WaypointWindow, GpxExportAndImportCarryTheTripAndRefuseABrokenFile) {
    TripRig rig;
    QTemporaryDir out;
    const QString gpx = out.filePath("trip.gpx");
    auto form = rig.window(QString());
    form->HomeLat->Value = 41.5;
    form->HomeLon->Value = -70.9;
    const QStringList trip = {"Lat=41.10,Lon=-70.20,Tf=72.4", "Lat=40.90,Lon=-69.80,Tf=0.0"};
    form->WaypointList = trip;
    form->WaypointsChanged();
    form->RefreshWaypointGrid(); // as the window's own changes do
    rig.fileDialogs.queueFile(gpx);
    form->MenuFileExportGpx->trigger();
    ASSERT_TRUE(QFile::exists(gpx));

    // Into an empty list without a home: the same trip.
    rig.messageBoxes.answers.clear();
    form->WaypointList.clear();
    form->HomeLat->Value = 0;
    form->HomeLon->Value = 0;
    rig.fileDialogs.queueFile(gpx);
    form->MenuFileImportGpxClick();
    EXPECT_TRUE(rig.messageBoxes.requests.isEmpty()) << "no question for an empty list";
    EXPECT_EQ(form->WaypointList, trip);
    EXPECT_DOUBLE_EQ(form->HomeLat->Value, 41.5);
    EXPECT_FALSE(form->StringGridWaypointList->isHidden());

    // Into a list that holds waypoints: the user chooses; Add appends.
    rig.messageBoxes.answers = {platform::Button::No};
    rig.fileDialogs.queueFile(gpx);
    form->MenuFileImportGpxClick();
    ASSERT_EQ(rig.messageBoxes.requests.size(), 1);
    EXPECT_EQ(rig.messageBoxes.requests.first().noText, "&Add");
    EXPECT_EQ(form->WaypointList, trip + trip);
    EXPECT_EQ(rig.storedWaypoints().size(), 4);

    // A broken file is refused with its name and changes nothing.
    QFile broken(out.filePath("broken.gpx"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("<gpx xmlns=\"http://www.topografix.com/GPX/1/1\"><wpt lat=\"41\"");
    broken.close();
    rig.fileDialogs.queueFile(broken.fileName());
    form->MenuFileImportGpxClick();
    ASSERT_EQ(rig.messageBoxes.errors.size(), 1);
    EXPECT_TRUE(rig.messageBoxes.errors.first().startsWith("broken.gpx: "));
    EXPECT_EQ(form->WaypointList, trip + trip);
}

// A partner's GPX file through the window and out again: every point keeps its position to the
// file's sixth decimal, its name and its temperature; the list shows the position as always.
TEST(WaypointWindow, AGpxFileImportedAndExportedAgainKeepsEveryPoint) {
    TripRig rig;
    QTemporaryDir out;
    const QString partner = out.filePath("partner.gpx");
    QFile file(partner);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"(<gpx version="1.1" xmlns="http://www.topografix.com/GPX/1/1"
 xmlns:x="http://www.garmin.com/xmlschemas/GpxExtensions/v3">
<wpt lat="41.987654" lon="-70.012345"><name>HOME</name></wpt>
<wpt lat="42.123456" lon="-69.654321"><name>Reef,north</name><extensions><x:WaypointExtension>
<x:Temperature>21.3</x:Temperature></x:WaypointExtension></extensions></wpt>
<wpt lat="40.5" lon="-71.000007"><name>Canyon</name><extensions><x:WaypointExtension>
<x:Temperature>18.647</x:Temperature></x:WaypointExtension></extensions></wpt>
<wpt lat="41.25" lon="-69.75"><name>Ledge</name></wpt></gpx>)");
    file.close();
    auto form = rig.window(QString());
    rig.fileDialogs.queueFile(partner);
    form->MenuFileImportGpxClick();
    ASSERT_EQ(form->WaypointList.size(), 3);
    EXPECT_EQ(waypointCell(*form, 2, 1), FormatDegrees(42.123456f, form->DecimalDegrees->Value));
    EXPECT_EQ(waypointCell(*form, 2, 3), "70.3");
    EXPECT_EQ(waypointCell(*form, 2, geo::WaypointGridNameColumn), "Reef,north");

    const QString exported = out.filePath("again.gpx");
    rig.fileDialogs.queueFile(exported);
    form->MenuFileExportGpx->trigger();
    QFile again(exported);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    const QByteArray written = again.readAll();
    for (const char* expected :
         {R"(lat="41.987654" lon="-70.012345")", R"(lat="42.123456" lon="-69.654321")",
          R"(lat="40.500000" lon="-71.000007")", R"(lat="41.250000" lon="-69.750000")",
          "<name>Reef,north</name>", "<gpxx:Temperature>21.300</gpxx:Temperature>",
          "<gpxx:Temperature>18.647</gpxx:Temperature>"})
        EXPECT_TRUE(written.contains(expected)) << expected << "\n" << written.toStdString();
}

} // namespace

namespace {

// Types a name into a waypoint's Name cell as a user does: the editor opened on the cell, the
// text typed, Enter.
void typeName(TFormThalwise& form, int row, const QString& name) {
    QTableWidget* grid = form.StringGridWaypointList;
    QTableWidgetItem* cell = grid->item(row, geo::WaypointGridNameColumn);
    ASSERT_TRUE(cell && (cell->flags() & Qt::ItemIsEditable)) << row;
    grid->setCurrentItem(cell);
    grid->editItem(cell);
    auto* editor = grid->viewport()->findChild<QLineEdit*>();
    ASSERT_TRUE(editor);
    editor->selectAll();
    QTest::keyClicks(editor, name);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
}

} // namespace

// Waypoints added, named, deleted and cleared, and home moved, each undone and redone from the
// Edit menu with the settings store following; a name shows in the list and on the chart.
TEST(WaypointWindow, EveryChangeOfTheTripIsUndoneAndRedoneAndNamesAreKept) {
    TripRig rig;
    QTemporaryDir charts;
    const QString chart = copySample(charts.path(), "area-ne01.gif");
    auto form = rig.window(chart);
    TFormThalwise& f = *form;
    auto undoRedo = [&](const QString& change, const QStringList& undone,
                        const QStringList& redone) {
        EXPECT_EQ(f.MenuEditUndo->text(), "&Undo " + change);
        f.MenuEditUndo->trigger();
        EXPECT_EQ(rig.storedWaypoints(), undone) << "undo " << change.toStdString();
        EXPECT_EQ(f.MenuEditRedo->text(), "&Redo " + change);
        f.MenuEditRedo->trigger();
        EXPECT_EQ(rig.storedWaypoints(), redone) << "redo " << change.toStdString();
    };
    f.SpeedButtonWaypoint->click();
    click(f, {200, 200});
    const QString first = f.WaypointList.value(0);
    undoRedo("Add waypoint", {}, {"0=" + first});
    click(f, {300, 260});
    const QString second = f.WaypointList.value(1);

    // Pins and names are drawn over the view at screen size: read what the view shows.
    const QImage unnamed = f.ImageDisplay->grab().toImage();
    // A name of more than 30 characters is cut as it is typed.
    typeName(f, 2, "Reef, north \"ledge\" by the canyon wall");
    const QString named = first + ",\"Name=Reef, north \"\"ledge\"\" by the can\"";
    EXPECT_EQ(waypointCell(f, 2, geo::WaypointGridNameColumn), "Reef, north \"ledge\" by the can");
    EXPECT_NE(f.ImageDisplay->grab().toImage(), unnamed) << "the name shows beside the number";
    undoRedo("Rename waypoint 1", {"0=" + first, "1=" + second}, {"0=" + named, "1=" + second});

    rightClickRow(f, 2);
    closeMenu(f);
    f.PopupMenuWaypointDelete->trigger();
    undoRedo("Delete waypoint 1", {"0=" + named, "1=" + second}, {"0=" + second});
    f.MenuEditUndo->trigger();

    f.SpeedButtonWaypointHome->click();
    click(f, {120, 420});
    const double homeLat = f.HomeLat->Value;
    ASSERT_NE(homeLat, 0.0);
    f.MenuEditUndo->trigger();
    EXPECT_EQ(f.HomeLat->Value, 0.0);
    EXPECT_EQ(waypointCell(f, 2, 4), "-") << "no legs without home";
    EXPECT_EQ(f.MenuEditRedo->text(), "&Redo Set home");
    f.MenuEditRedo->trigger();
    EXPECT_EQ(f.HomeLat->Value, homeLat);

    rig.messageBoxes.answers = {platform::Button::Yes};
    f.PopupMenuWaypointClear->trigger();
    undoRedo("Clear all waypoints", {"0=" + named, "1=" + second}, {});
    f.MenuEditUndo->trigger();
    form.reset();

    // The trip as the last undo left it, name and home, after a restart.
    form = rig.window(chart);
    EXPECT_EQ(form->WaypointList, QStringList({named, second}));
    EXPECT_DOUBLE_EQ(form->HomeLat->Value, homeLat);
}
