// "&Print..." as a user meets it: the dialog previews the picture on screen, prints all of it
// or the selection dragged over the preview, keeps the selection on the preview and across Setup
// and the page preview, says so when no printer could be opened, and serves nothing else while
// the page goes out.

#include "WindowTestSupport.h"
#include "dialogs/PrintForm.h"
#include "dialogs/SsCtrlSize.h"

#include "app/SessionEnd.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>

namespace {

using Kind = RecordingPrintJob::Kind;

// The window whose print dialog is driven by the test instead of the user.
class PrintingForm : public TFormThalwise {
public:
    using TFormThalwise::TFormThalwise;
    std::function<void(TFormPrint&)> user;

protected:
    void showPrintDialog(TFormPrint& dialog) override {
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        if (user) user(dialog);
        dialog.close();
    }
};

struct PrintRig : WindowRig {
    std::unique_ptr<PrintingForm> window() {
        auto form = std::make_unique<PrintingForm>(services, key, QStringList());
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->TimerLoad->stop();
        form->TimerLoadTimer();
        form->OpenChart(copySample(form->ArchiveFolder, "area-ne01.gif"));
        return form;
    }
};

// The colour of the first pixel the page received.
QRgb firstPrintedPixel(const RecordingPrintJob::Log& log) {
    const QList<RecordingPrintJob::Call> bands = log.of(Kind::DrawImage);
    if (bands.isEmpty() || bands.first().image.isNull()) return 0;
    return bands.first().image.pixel(0, 0) & 0xFFFFFF;
}

TEST(PrintWindow, TheWholePictureOrTheSelectionGoesOnThePage) {
    PrintRig rig;
    auto form = rig.window();
    // A mark in the picture's top-left corner, so that what is printed first is known.
    form->AnnotationLines.append(AnnotationLine{{{0, 0}, {60, 0}}});
    form->RepaintChart();
    const QImage shown = form->ImageDisplay->picture().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(1024, 1024));

    QRect mapped;
    form->user = [&](TFormPrint& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "\"Pelagon\" - print image");
        EXPECT_EQ(dialog.ImagePreview->geometry(), QRect(144, 8, 449, 449));
        EXPECT_EQ(dialog.width(), 605);
        EXPECT_TRUE(dialog.RadioPrintAll->isChecked());
        EXPECT_TRUE(dialog.PaintBoxSelect->isHidden());
        dialog.ButtonPrint->click();

        // Selection: the first one, a quarter of its size in from the preview's corner.
        dialog.RadioPrintSelection->click();
        EXPECT_FALSE(dialog.PaintBoxSelect->isHidden());
        EXPECT_EQ(dialog.PaintBoxSelect->geometry(), QRect(144 + 56, 8 + 56, 224, 224));
        EXPECT_EQ(dialog.ControlSizerSelect->Control(), dialog.PaintBoxSelect);
        mapped = dialog.selectionInPicture();
        dialog.ButtonPrint->click();

        // Selection, then All: the whole picture once more, the selection hidden.
        dialog.RadioPrintAll->click();
        EXPECT_TRUE(dialog.PaintBoxSelect->isHidden());
        dialog.ButtonPrint->click();
        EXPECT_TRUE(dialog.ProgressBar->isHidden());
        EXPECT_TRUE(dialog.LabelProgress->text().isEmpty());
    };
    form->MenuFilePrint->trigger();

    ASSERT_EQ(rig.printers.jobs.size(), 3);
    // 56 x 1024 div 449 = 127 and 1024 x 280 div 449 = 638.
    EXPECT_EQ(mapped, QRect(127, 127, 511, 511));
    for (int job : {0, 1, 2}) {
        const RecordingPrintJob::Log& log = *rig.printers.jobs[job];
        ASSERT_FALSE(log.of(Kind::Begin).isEmpty()) << job;
        // The document (a PDF file's title) names the area and the chart's date.
        EXPECT_EQ(log.of(Kind::Begin).first().text, "North-east area 1, chart of 2026-12-01 12:00");
        EXPECT_EQ(log.of(Kind::Begin).first().orientation, platform::PageOrientation::Landscape);
        EXPECT_TRUE(log.ended()) << job;
        EXPECT_FALSE(log.of(Kind::DrawImage).isEmpty()) << job;
    }
    // The whole picture starts with the mark; the selection with the chart at its corner.
    EXPECT_EQ(firstPrintedPixel(*rig.printers.jobs[0]), shown.pixel(0, 0) & 0xFFFFFF);
    EXPECT_EQ(firstPrintedPixel(*rig.printers.jobs[1]), shown.pixel(127, 127) & 0xFFFFFF);
    EXPECT_EQ(firstPrintedPixel(*rig.printers.jobs[2]), shown.pixel(0, 0) & 0xFFFFFF);
    EXPECT_NE(shown.pixel(0, 0), shown.pixel(127, 127));
    EXPECT_TRUE(rig.messageBoxes.requests.isEmpty());
}

TEST(PrintWindow, ASelectionDraggedPastThePreviewStaysOnItAndAClosedPrinterIsSaidSo) {
    PrintRig rig;
    auto form = rig.window();
    RecordingPrintJob::Script closed;
    closed.beginResult = false;
    rig.printers.jobScript = closed;
    form->user = [&](TFormPrint& dialog) {
        dialog.RadioPrintSelection->click();
        // The bottom-right handle dragged far past the preview's corner.
        TGrabHandle* corner = dialog.ControlSizerSelect->handle(4);
        ASSERT_TRUE(corner && corner->isVisible());
        // Through the window system, as a user drags: the handle keeps the drag to the end.
        QWindow* window = dialog.windowHandle();
        ASSERT_NE(window, nullptr);
        const QPoint grab = corner->geometry().center();
        QTest::mousePress(window, Qt::LeftButton, {}, grab);
        QTest::mouseMove(window, grab + QPoint(150, 150));
        QTest::mouseMove(window, grab + QPoint(300, 300));
        QTest::mouseRelease(window, Qt::LeftButton, {}, grab + QPoint(300, 300));
        const QRect preview = dialog.ImagePreview->geometry();
        const QRect selection = dialog.PaintBoxSelect->geometry();
        EXPECT_EQ(selection.left() + selection.width(), preview.left() + preview.width());
        EXPECT_EQ(selection.top() + selection.height(), preview.top() + preview.height());
        EXPECT_EQ(dialog.selectionInPicture().right(), 1023);
        dialog.ButtonPrint->click();
    };
    form->MenuFilePrint->trigger();
    ASSERT_EQ(rig.messageBoxes.requests.size(), 1);
    EXPECT_TRUE(rig.messageBoxes.requests[0].text.contains("could not be printed"));
}

TEST(PrintWindow, ThePreviewShowsThePageAsItPrintsSetupKeepsTheSelectionAndAPdfIsNamed) {
    PrintRig rig;
    auto form = rig.window();
    rig.printers.outputFile = QStringLiteral("/trips/canyons (2).pdf");
    QRect previewed, afterReturn, afterSetup, selection;
    form->user = [&](TFormPrint& dialog) {
        // The dialog's own first activation has set the selection up.
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        QTest::qWait(120);
        dialog.RadioPrintSelection->click();
        dialog.PaintBoxSelect->setGeometry(200, 100, 120, 80);
        dialog.ControlSizerSelectEnd();
        previewed = dialog.PaintBoxSelect->geometry();
        selection = dialog.selectionInPicture();
        dialog.ButtonPreview->click();
        // The dialog becomes active again when the preview closes: the selection stays.
        dialog.FormActivate();
        QTest::qWait(120);
        afterReturn = dialog.PaintBoxSelect->geometry();
        dialog.ButtonPrint->click();
        EXPECT_EQ(dialog.LabelProgress->text(), "canyons (2).pdf");
        EXPECT_EQ(dialog.LabelProgress->toolTip(),
                  QDir::toNativeSeparators("/trips/canyons (2).pdf"));
        // Setup > OK: the dialog is activated again when the printer set-up closes, and the
        // selection is still the user's.
        dialog.ButtonPrintSetup->click();
        QEvent activated(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&dialog, &activated);
        QTest::qWait(120);
        afterSetup = dialog.PaintBoxSelect->geometry();
        EXPECT_TRUE(dialog.LabelProgress->text().isEmpty());
        dialog.ButtonPrint->click();
    };
    form->MenuFilePrint->trigger();

    EXPECT_EQ(afterReturn, previewed);
    EXPECT_EQ(afterSetup, previewed);
    EXPECT_EQ(rig.printers.setupCalls, 1);
    ASSERT_EQ(rig.printers.previews.size(), 1);
    ASSERT_EQ(rig.printers.jobs.size(), 2);
    // The picture: what is drawn before the caption's first line (its colour bar comes after).
    const auto placed = [](const RecordingPrintJob::Log& log) {
        QRect covered;
        for (const RecordingPrintJob::Call& call : log.calls) {
            if (call.kind == Kind::DrawText) break;
            if (call.kind == Kind::DrawImage) covered |= call.target;
        }
        return covered;
    };
    EXPECT_EQ(placed(*rig.printers.jobs[1]), placed(*rig.printers.jobs[0]));
    // The preview has the page of the print: its orientation, and the picture whole where
    // the bands cover it.
    const RecordingPrintJob::Log& preview = *rig.printers.previews[0];
    const RecordingPrintJob::Log& print = *rig.printers.jobs[0];
    ASSERT_FALSE(preview.of(Kind::Begin).isEmpty());
    EXPECT_EQ(preview.of(Kind::Begin).first().orientation,
              print.of(Kind::Begin).first().orientation);
    const QList<RecordingPrintJob::Call> shown = preview.of(Kind::DrawImage);
    ASSERT_EQ(shown.size(), 2); // the picture and the caption's colour bar
    EXPECT_FALSE(print.lines().isEmpty());
    EXPECT_EQ(preview.lines(), print.lines());
    EXPECT_EQ(shown[0].target, placed(print));
    EXPECT_EQ(shown[0].image.size(), selection.size());
    EXPECT_TRUE(rig.printers.previews[0]->ended());
}

// A timer due and a termination signal received just before "Print" are served once the page
// is out, not while its bands are drawn; the window then closes in order.
TEST(PrintWindow, NothingButTheProgressBarIsServedWhileThePagePrints) {
    PrintRig rig;
    auto form = rig.window();
    app::TerminationWatcher termination;
    ASSERT_TRUE(termination.isActive());
    std::shared_ptr<RecordingPrintJob::Log> job;
    QStringList served;
    const auto serve = [&](const QString& what) {
        served.append(what + (job && job->ended() ? " after the job" : " during the job"));
    };
    QObject::connect(&termination, &app::TerminationWatcher::terminationRequested, form.get(), [&] {
        serve("signal");
        form->closeInOrder();
    });
    rig.printers.jobScript.metrics.screen = QSize(400, 300); // many bands
    form->user = [&](TFormPrint& dialog) {
        QTimer::singleShot(0, &dialog, [&] { serve("timer"); });
        ::raise(SIGTERM);
        dialog.ButtonPrint->click();
        job = rig.printers.jobs.value(0);
        ASSERT_TRUE(job && job->of(Kind::DrawImage).size() > 1);
        QTest::qWait(50);
    };
    form->MenuFilePrint->trigger();
    served.sort();
    EXPECT_EQ(served, (QStringList{"signal after the job", "timer after the job"}));
    EXPECT_FALSE(form->isVisible());
}

} // namespace
