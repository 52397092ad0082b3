// Marks on the chart through the main window as a user makes them: lines dragged and texts
// clicked with the mouse, erased after the question, kept in the area's file for the next chart
// of the same area, and the annotated picture saved without ever replacing a chart.

#include "WindowTestSupport.h"
#include "app/PointerTools.h"
#include "app/RegistryVariables.h"
#include "app/vekImage.h"
#include "dialogs/AddText.h"
#include "geo/AnnotationFile.h"
#include "geo/Waypoint.h"
#include "gif/GIFImage.h"
#include "platform/ProfileFile.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// The text dialog answered from a script: a text is typed and OK pressed, a null text cancels.
class ScriptedAddText : public TFormAddText {
public:
    int exec() override {
        ++shown;
        seenText = EditText->text();
        if (answers.isEmpty() || answers.first().isNull()) {
            if (!answers.isEmpty()) answers.removeFirst();
            reject();
            return result();
        }
        EditText->setText(answers.takeFirst());
        ButtonOK->click();
        return result();
    }
    QStringList answers;
    QString seenText; // what the edit box held when the dialog came up
    int shown = 0;
};

// Charts shown where they are, not filed into the archive under their time stamps: these tests
// give each copy of the sample the name of the area it stands for.
class InPlaceForm : public TFormThalwise {
public:
    using TFormThalwise::TFormThalwise;
    std::optional<QString> ArchiveIntake(const QString& path, const QString&,
                                         archive::ChartPicture) override {
        return path;
    }
};

struct AnnotationRig : WindowRig {
    std::unique_ptr<TFormThalwise> window(const QString& chart) {
        std::unique_ptr<TFormThalwise> form =
            std::make_unique<InPlaceForm>(services, key, QStringList());
        form->attachDialogs(nullptr, &addText, nullptr);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->TimerLoad->stop();
        form->OpenChart(chart);
        return form;
    }
    QString annotationFile() const {
        return QDir(documentsDir.path()).filePath("My Pelagon Files/Program Info/ne01.ini");
    }
    ScriptedAddText addText;
};

QList<QList<QPoint>> linePoints(const TFormThalwise& form) {
    QList<QList<QPoint>> out;
    for (const AnnotationLine& line : form.AnnotationLines)
        out.append(line.points);
    return out;
}

} // namespace

TEST(AnnotationWindow, MarksDrawnWithTheMouseSurviveARestartAndEraseAfterTheQuestion) {
    AnnotationRig rig;
    QTemporaryDir charts;
    {
        auto form = rig.window(copySample(charts.filePath("monday"), "area-ne01.gif"));
        ASSERT_EQ(form->CurrentArea, 1);
        EXPECT_FALSE(form->MenuFileSaveAs->isEnabled());

        form->SpeedButtonDraw->click();
        EXPECT_EQ(form->ImageDisplay->cursor().shape(), Qt::CrossCursor);
        drag(*form, {100, 100}, {150, 120}, {200, 140});
        EXPECT_FALSE(form->ImageDisplay->hasRubberBand());
        drag(*form, {300, 60}, {320, 90}, {340, 120});
        // A click without movement draws nothing.
        click(*form, {400, 400});
        EXPECT_EQ(linePoints(*form),
                  (QList<QList<QPoint>>{{{100, 100}, {200, 140}}, {{300, 60}, {340, 120}}}));

        form->SpeedButtonText->click();
        EXPECT_EQ(form->ImageDisplay->cursor().shape(), Qt::PointingHandCursor);
        rig.addText.answers = {QStringLiteral("canyon edge 72\u00B0"), QString()};
        click(*form, {250, 300});
        EXPECT_EQ(rig.addText.seenText, "<enter text here>");
        click(*form, {450, 300}); // cancelled
        rig.addText.answers = {QStringLiteral("")};
        click(*form, {450, 310}); // OK with nothing typed
        ASSERT_EQ(form->AnnotationTexts.size(), 1);
        EXPECT_EQ(form->AnnotationTexts[0].text, "canyon edge 72\u00B0");
        EXPECT_EQ(form->AnnotationTexts[0].centre, QPoint(250, 300));
        EXPECT_TRUE(form->MenuFileSaveAs->isEnabled());

        // Clicking on the text with the text tool offers to erase it; No keeps it.
        rig.messageBoxes.answers = {platform::Button::No};
        const int shownBefore = rig.addText.shown;
        click(*form, {252, 301});
        EXPECT_EQ(rig.addText.shown, shownBefore);
        ASSERT_EQ(rig.messageBoxes.requests.size(), 1);
        EXPECT_EQ(rig.messageBoxes.requests[0].caption, "Confirm erase text");
        EXPECT_EQ(form->AnnotationTexts.size(), 1);

        // The erase tool on the first line, answered Yes: gone, and the file rewritten at once.
        form->SpeedButtonErase->click();
        rig.messageBoxes.answers = {platform::Button::Yes};
        click(*form, {150, 121});
        ASSERT_EQ(rig.messageBoxes.requests.size(), 2);
        EXPECT_EQ(rig.messageBoxes.requests[1].text,
                  "Are you sure you want to erase the line\rfrom  X:100 Y:100  to  X:200 Y:140");
        EXPECT_EQ(linePoints(*form), (QList<QList<QPoint>>{{{300, 60}, {340, 120}}}));
        const geo::Annotations onDisk =
            geo::readAnnotations(platform::ProfileFile(rig.annotationFile()));
        EXPECT_EQ(onDisk.lines.size(), 1);
        EXPECT_EQ(onDisk.texts.size(), 1);
        // A click on empty water asks nothing.
        click(*form, {600, 600});
        EXPECT_EQ(rig.messageBoxes.requests.size(), 2);
        form->close();
    }
    // Tuesday's chart of the same area shows Monday's marks.
    auto form = rig.window(copySample(charts.filePath("tuesday"), "area-ne01.gif"));
    EXPECT_EQ(linePoints(*form), (QList<QList<QPoint>>{{{300, 60}, {340, 120}}}));
    ASSERT_EQ(form->AnnotationTexts.size(), 1);
    EXPECT_EQ(form->AnnotationTexts[0].text, "canyon edge 72\u00B0");
    EXPECT_TRUE(rig.messageBoxes.errors.isEmpty())
        << rig.messageBoxes.errors.join('\n').toStdString();
}

TEST(AnnotationWindow, LinesDraggedPastEachEdgeEndOnTheChartAndComeBackAfterARestart) {
    AnnotationRig rig;
    QTemporaryDir charts;
    QList<QList<QPoint>> drawn;
    {
        auto form = rig.window(copySample(charts.filePath("monday"), "area-ne01.gif"));
        const int right = form->BaseBitmap.width() - 1;
        const int bottom = form->BaseBitmap.height() - 1;
        ASSERT_GT(right, 200);
        form->SpeedButtonDraw->click();
        // Each drag leaves the chart by one edge; the line ends on that edge.
        const struct {
            QPoint to, end;
        } drags[] = {
            {{150, -30}, {150, 0}},
            {{-30, 160}, {0, 160}},
            {{right + 30, 170}, {right, 170}},
            {{180, bottom + 30}, {180, bottom}},
        };
        for (const auto& d : drags) {
            drag(*form, {200, 200}, {190, 190}, d.to);
            drawn.append({{200, 200}, d.end});
        }
        EXPECT_EQ(linePoints(*form), drawn);
        form->close();
    }
    auto form = rig.window(copySample(charts.filePath("tuesday"), "area-ne01.gif"));
    EXPECT_EQ(linePoints(*form), drawn) << "every line is read back from the area's file";
}

TEST(AnnotationWindow, ZoomedDragsEraseByMidpointAndClearAll) {
    AnnotationRig rig;
    QTemporaryDir charts;
    auto form = rig.window(copySample(charts.path(), "area-ne01.gif"));
    form->MenuViewZoomClick();
    ASSERT_TRUE(form->Zoomed);
    form->SpeedButtonDraw->click();
    // Display pixel (201, 101) is chart pixel (100, 50).
    hover(*form, {100, 50});
    QTest::mousePress(form->ImageDisplay, Qt::LeftButton, {}, QPoint(201, 101));
    EXPECT_EQ(form->PressPoint, QPoint(100, 50));
    QTest::mouseMove(form->ImageDisplay, QPoint(401, 101));
    EXPECT_TRUE(form->ImageDisplay->hasRubberBand());
    QTest::mouseRelease(form->ImageDisplay, Qt::LeftButton, {}, QPoint(401, 101));
    EXPECT_EQ(linePoints(*form), (QList<QList<QPoint>>{{{100, 50}, {200, 50}}}));

    // An erase drag whose midpoint lies on a text asks about the text, not the line.
    form->AnnotationTexts.append(AnnotationText{QStringLiteral("eddy"), QPoint(150, 80)});
    form->RepaintChart();
    form->SpeedButtonErase->click();
    rig.messageBoxes.answers = {platform::Button::No};
    drag(*form, {140, 70}, {150, 80}, {160, 90});
    ASSERT_EQ(rig.messageBoxes.requests.size(), 1);
    EXPECT_EQ(rig.messageBoxes.requests[0].caption, "Confirm erase text");
    // A drag across the line asks about the line; No keeps it.
    rig.messageBoxes.answers = {platform::Button::No};
    drag(*form, {120, 40}, {130, 50}, {140, 60});
    ASSERT_EQ(rig.messageBoxes.requests.size(), 2);
    EXPECT_EQ(rig.messageBoxes.requests[1].caption, "Confirm erase line");
    EXPECT_EQ(form->AnnotationLines.size(), 1);

    // Clear all asks, empties both lists and leaves the file without either section.
    form->SaveIfModified();
    rig.messageBoxes.answers = {platform::Button::Yes};
    form->MenuClearAll->trigger();
    EXPECT_TRUE(form->AnnotationLines.isEmpty());
    EXPECT_TRUE(form->AnnotationTexts.isEmpty());
    const platform::ProfileFile file(rig.annotationFile());
    EXPECT_FALSE(file.sectionExists("Lines"));
    EXPECT_FALSE(file.sectionExists("Text"));
    EXPECT_TRUE(file.sectionExists("DataLevel"));
    EXPECT_FALSE(form->MenuFileSaveAs->isEnabled());
}

TEST(AnnotationWindow, FontAndOutlineChangeTheMarksAndAreKept) {
    AnnotationRig rig;
    QTemporaryDir charts;
    auto form = rig.window(copySample(charts.path(), "area-ne01.gif"));
    form->AnnotationTexts.append(AnnotationText{QStringLiteral("WWWWWWWWWW"), QPoint(300, 300)});
    form->RepaintChart();
    const QImage before = form->ImageDisplay->picture();
    EXPECT_EQ(form->FindTextAt(300 + 60, 300), -1);
    platform::FontChoice bigger;
    bigger.family = QStringLiteral("DejaVu Sans");
    bigger.pointSize = 20;
    bigger.bold = true;
    bigger.colour = QColor(255, 0, 0);
    rig.fontDialogs.queueFont(bigger);
    form->MenuAnnotationFont->trigger();
    ASSERT_EQ(rig.fontDialogs.requests.size(), 1);
    EXPECT_EQ(rig.fontDialogs.requests[0].family, "MS Sans Serif");
    EXPECT_EQ(form->Font->Name.Value, "DejaVu Sans");
    EXPECT_EQ(form->Font->Size.Value, 20);
    EXPECT_NE(form->ImageDisplay->picture(), before);
    // The bigger font makes a bigger box to hit.
    EXPECT_EQ(form->FindTextAt(300 + 60, 300), 0);
    // A cancelled dialog changes nothing.
    rig.fontDialogs.queueCancel();
    form->MenuAnnotationFont->trigger();
    EXPECT_EQ(form->Font->Size.Value, 20);

    const QImage plain = form->ImageDisplay->picture();
    form->MenuAnnotationOutline->trigger();
    EXPECT_TRUE(form->FontOutlined->Value);
    EXPECT_TRUE(form->MenuAnnotationOutline->isChecked());
    EXPECT_NE(form->ImageDisplay->picture(), plain);
}

TEST(AnnotationWindow, AFolderThatCannotBeWrittenIsReportedAndNothingIsLost) {
    AnnotationRig rig;
    QTemporaryDir charts;
    const QString chart = copySample(charts.path(), "area-ne01.gif");
    auto form = rig.window(chart);
    form->AnnotationLines.append(AnnotationLine{{{10, 10}, {20, 20}}});
    form->RepaintChart();
    // The folder becomes a file: no one, not even the administrator, can write into it.
    const QString folder = QFileInfo(rig.annotationFile()).absolutePath();
    ASSERT_TRUE(QDir(folder).removeRecursively());
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    form->SaveIfModified();
    ASSERT_EQ(rig.messageBoxes.errors.size(), 1);
    EXPECT_EQ(rig.messageBoxes.errors[0],
              "Unable to write to " + QDir::toNativeSeparators(rig.annotationFile()));
    EXPECT_EQ(form->AnnotationLines.size(), 1);
    EXPECT_TRUE(form->AnnotationsModified);
    // Opening another chart of the area tries again, reports it once, keeps the marks in memory
    // and still shows the chart.
    form->OpenChart(chart);
    EXPECT_EQ(rig.messageBoxes.errors.size(), 2);
    EXPECT_EQ(form->AnnotationLines.size(), 1);
    EXPECT_FALSE(form->ImageDisplay->picture().isNull());
    // A chart of another area: its file cannot be created either; reported, and shown.
    const QString other = copySample(charts.path(), "area-ne07.gif");
    form->OpenChart(other);
    EXPECT_EQ(form->CurrentArea, 7);
    EXPECT_EQ(rig.messageBoxes.errors.size(), 4);
    EXPECT_FALSE(form->ImageDisplay->picture().isNull());
}

TEST(AnnotationWindow, SaveAsWritesTheAnnotatedPictureAndNeverReplacesAChart) {
    AnnotationRig rig;
    QTemporaryDir charts;
    const QString chart = copySample(charts.path(), "area-ne01.gif");
    auto form = rig.window(chart);
    form->AnnotationLines.append(AnnotationLine{{{100, 100}, {300, 200}}});
    form->AnnotationTexts.append(AnnotationText{QStringLiteral("canyon"), QPoint(200, 80)});
    form->RepaintChart();
    ASSERT_TRUE(form->MenuFileSaveAs->isEnabled());

    // The chart itself is refused, and left as it was.
    const QByteArray chartBytes = [&] {
        QFile f(chart);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    rig.fileDialogs.queueFile(chart);
    form->MenuFileSaveAs->trigger();
    ASSERT_EQ(rig.fileDialogs.requests.size(), 1);
    const platform::FileDialogRequest& asked = rig.fileDialogs.requests[0];
    EXPECT_EQ(asked.title, "Save annotated image");
    EXPECT_EQ(asked.filter, "GIF image (*.gif)|*.gif|All files (*.*)|*.*");
    EXPECT_EQ(asked.defaultSuffix, "gif");
    EXPECT_EQ(QDir::fromNativeSeparators(asked.fileName), QDir(charts.path()).filePath("ne01.gif"));
    ASSERT_EQ(rig.messageBoxes.requests.size(), 1);
    EXPECT_EQ(rig.messageBoxes.requests[0].icon, platform::Icon::Warning);
    QFile again(chart);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), chartBytes);
    // The marks are saved all the same, as the command says.
    EXPECT_EQ(geo::readAnnotations(platform::ProfileFile(rig.annotationFile())).lines.size(), 1);

    // A name of the user's: the annotations are saved and the picture decodes to the screen's.
    const QString target = QDir(charts.path()).filePath("marked.gif");
    rig.fileDialogs.queueFile(target);
    form->MenuFileSaveAs->trigger();
    EXPECT_TRUE(rig.messageBoxes.errors.isEmpty());
    EXPECT_FALSE(form->AnnotationsModified);
    TGIFImage saved;
    saved.LoadFromFile(target);
    const QImage picture = saved.bitmap().convertToFormat(QImage::Format_RGB32);
    const QImage shown = form->ImageDisplay->picture().convertToFormat(QImage::Format_RGB32);
    const QImage base = form->BaseBitmap;
    ASSERT_EQ(picture.size(), shown.size());
    // The chart's own pixels come back exactly; the marks' colours may take the nearest entry
    // of a full palette (the chart's own colours), but the marks are there.
    int untouchedWrong = 0, marks = 0, marksShown = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            if (shown.pixel(x, y) == base.pixel(x, y)) {
                untouchedWrong += picture.pixel(x, y) != shown.pixel(x, y);
            } else {
                ++marks;
                marksShown += picture.pixel(x, y) != base.pixel(x, y);
            }
        }
    EXPECT_EQ(untouchedWrong, 0);
    EXPECT_GT(marks, 500);
    EXPECT_GT(marksShown, marks * 9 / 10) << marksShown << " of " << marks;
    EXPECT_EQ(geo::readAnnotations(platform::ProfileFile(rig.annotationFile())).lines.size(), 1);
    // The next Save As proposes the name chosen.
    EXPECT_TRUE(form->MenuFileSaveAs->isEnabled());
    form->MenuFileSaveAs->trigger();
    EXPECT_EQ(rig.fileDialogs.requests.last().fileName, target);
}

TEST(AnnotationWindow, APictureSavedWithItsMarksGetsNoSecondCopyAndSaysWhyToolsDoNothing) {
    AnnotationRig rig;
    QTemporaryDir charts;
    auto form = rig.window(copySample(charts.path(), "area-ne01.gif"));
    form->AnnotationLines.append(AnnotationLine{{{100, 100}, {300, 200}}});
    form->RepaintChart();
    const QString picture = QDir(charts.path()).filePath("ne01.gif");
    rig.fileDialogs.queueFile(picture);
    form->MenuFileSaveAs->trigger();
    const QImage saved = form->ImageDisplay->picture().convertToFormat(QImage::Format_RGB32);

    form->OpenChart(picture);
    EXPECT_EQ(form->CurrentArea, 1); // it maps as its area does
    EXPECT_TRUE(form->marksDrawnIn());
    EXPECT_EQ(form->ImageDisplay->picture().convertToFormat(QImage::Format_RGB32), saved);
    form->SpeedButtonDraw->click();
    drag(*form, {400, 400}, {450, 420}, {500, 440});
    rig.messageBoxes.defaultAnswer = platform::Button::Yes;
    form->MenuClearAll->trigger();
    EXPECT_EQ(form->AnnotationLines.size(), 1);
    EXPECT_EQ(geo::readAnnotations(platform::ProfileFile(rig.annotationFile())).lines.size(), 1);
    ASSERT_EQ(rig.messageBoxes.requests.size(), 2);
    for (const platform::MessageBoxRequest& box : rig.messageBoxes.requests)
        EXPECT_EQ(box.text, app::marksDrawnInText());
}

TEST(AnnotationWindow, ClosingWithMarksThatCannotBeWrittenKeepsTheWindowOrTheMarks) {
    AnnotationRig rig;
    QTemporaryDir charts;
    QTemporaryDir settings;
    auto form = rig.window(copySample(charts.path(), "area-ne01.gif"));
    form->UnsavedMarksFolder = settings.path();
    form->AnnotationLines.append(AnnotationLine{{{10, 10}, {20, 20}}});
    form->RepaintChart();
    const QString folder = QFileInfo(rig.annotationFile()).absolutePath();
    ASSERT_TRUE(QDir(folder).removeRecursively());
    QFile blocker(folder); // a file where the folder was: nothing can be written there
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    // The user keeps the window open.
    rig.messageBoxes.answers = {platform::Button::No};
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(rig.messageBoxes.requests.size(), 1);
    EXPECT_TRUE(
        rig.messageBoxes.requests[0].text.contains(QDir::toNativeSeparators(rig.annotationFile())));
    EXPECT_EQ(rig.messageBoxes.requests[0].defaultButton, platform::Button::No);
    // A signal ending the session cannot wait: the marks go beside the settings.
    form->closeInOrder();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(rig.messageBoxes.requests.size(), 1);
    const geo::Annotations kept =
        geo::readAnnotations(platform::ProfileFile(settings.filePath("unsaved-ne01.ini")));
    ASSERT_EQ(kept.lines.size(), 1);
    EXPECT_EQ(kept.lines[0].points, (QList<QPoint>{{10, 10}, {20, 20}}));
}

TEST(AnnotationWindow, WaypointsAndHomeClickedOnTheChartSurviveARestart) {
    AnnotationRig rig;
    QTemporaryDir charts;
    const QString chart = copySample(charts.path(), "area-ne01.gif");
    QStringList kept;
    {
        auto form = rig.window(chart);
        form->SpeedButtonWaypoint->click();
        EXPECT_FALSE(form->StringGridWaypointList->isHidden());
        EXPECT_FALSE(form->SpeedButtonWaypointHome->isHidden());
        click(*form, {200, 200});
        click(*form, {400, 300});
        // A drag adds nothing.
        drag(*form, {500, 500}, {510, 505}, {520, 510});
        ASSERT_EQ(form->WaypointList.size(), 2);
        GeoPosition first;
        ASSERT_TRUE(form->PixelToGeo(200, 200, first));
        const auto parsed = ParseWaypoint(form->WaypointList[0]);
        ASSERT_TRUE(parsed);
        EXPECT_NEAR(parsed->lat, first.Latitude, 0.006);
        EXPECT_NEAR(parsed->lon, first.Longitude, 0.006);
        form->SpeedButtonWaypointHome->click();
        click(*form, {100, 450});
        GeoPosition home;
        ASSERT_TRUE(form->PixelToGeo(100, 450, home));
        EXPECT_FLOAT_EQ(float(form->HomeLat->Value), home.Latitude);
        // The grid lists home and both waypoints with their legs.
        EXPECT_EQ(form->StringGridWaypointList->item(1, 0)->text(), "H");
        EXPECT_NE(form->StringGridWaypointList->item(3, 4)->text(), "-");
        EXPECT_EQ(form->StringGridWaypointList->item(4, 1)->text(), "-");
        kept = form->WaypointList;
        form->close();
    }
    auto form = rig.window(chart);
    EXPECT_EQ(form->WaypointList, kept);
    EXPECT_NE(form->HomeLat->Value, 0.0);
}

// Every change of the marks undone and redone from the Edit menu, the area's file on disk
// following each step; another area's chart starts a new history.
TEST(AnnotationWindow, EveryChangeOfTheMarksIsUndoneAndRedoneOnDisk) {
    AnnotationRig rig;
    QTemporaryDir charts;
    auto form = rig.window(copySample(charts.path(), "area-ne01.gif"));
    auto onDisk = [&] {
        const geo::Annotations marks =
            geo::readAnnotations(platform::ProfileFile(rig.annotationFile()));
        EXPECT_EQ(marks.lines.size(), form->AnnotationLines.size()) << "memory and file differ";
        EXPECT_EQ(marks.texts.size(), form->AnnotationTexts.size()) << "memory and file differ";
        return QStringLiteral("lines %1, texts %2").arg(marks.lines.size()).arg(marks.texts.size());
    };
    auto undoRedo = [&](const QString& change, const QString& undone, const QString& redone) {
        EXPECT_EQ(form->MenuEditUndo->text(), "&Undo " + change);
        form->MenuEditUndo->trigger();
        EXPECT_EQ(onDisk(), undone) << "undo " << change.toStdString();
        EXPECT_EQ(form->MenuEditRedo->text(), "&Redo " + change);
        form->MenuEditRedo->trigger();
        EXPECT_EQ(onDisk(), redone) << "redo " << change.toStdString();
    };
    EXPECT_FALSE(form->MenuEditUndo->isEnabled());
    EXPECT_EQ(form->MenuEditUndo->shortcut(), QKeySequence(QKeySequence::Undo));

    form->SpeedButtonDraw->click();
    drag(*form, {100, 100}, {150, 120}, {200, 140});
    form->SaveIfModified();
    undoRedo("Add line", "lines 0, texts 0", "lines 1, texts 0");
    form->SpeedButtonText->click();
    rig.addText.answers = {"eddy"};
    click(*form, {300, 300});
    undoRedo("Add text", "lines 1, texts 0", "lines 1, texts 1");

    form->SpeedButtonErase->click();
    rig.messageBoxes.answers = {platform::Button::Yes};
    click(*form, {150, 120});
    EXPECT_EQ(onDisk(), "lines 0, texts 1");
    undoRedo("Erase line", "lines 1, texts 1", "lines 0, texts 1");
    form->MenuEditUndo->trigger();
    EXPECT_EQ(linePoints(*form), (QList<QList<QPoint>>{{{100, 100}, {200, 140}}}));

    rig.messageBoxes.answers = {platform::Button::Yes};
    form->MenuClearAll->trigger();
    undoRedo("Clear all annotations", "lines 1, texts 1", "lines 0, texts 0");
    form->MenuEditUndo->trigger();
    EXPECT_EQ(form->AnnotationTexts.value(0).text, "eddy");

    // Undone marks come back after a restart as the file now holds them.
    form.reset();
    form = rig.window(copySample(charts.path(), "area-ne01.gif"));
    EXPECT_EQ(onDisk(), "lines 1, texts 1");
    form->SpeedButtonDraw->click();
    drag(*form, {400, 400}, {450, 420}, {500, 440});
    ASSERT_TRUE(form->MenuEditUndo->isEnabled());
    form->OpenChart(copySample(charts.path(), "area-ne07.gif"));
    EXPECT_FALSE(form->MenuEditUndo->isEnabled()) << "area 1's marks are not on screen";
}
