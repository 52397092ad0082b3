// The chart archive through the main window as a user meets it: charts downloaded on two days
// and opened with "&Open..." are filed under their time stamps, flipped on tabs with the
// area's marks on each, stepped with the arrows, picked by hand, and tidied after the question.

#include "WindowTestSupport.h"
#include "app/ChartFiles.h"
#include "app/HistoryPlot.h"
#include "archive/ChartDecoding.h"
#include "dialogs/ArchiveManagerForm.h"
#include "geo/ThalwiseUtils.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

QString archiveSample(const char* name) {
    return QStringLiteral(THALWISE_SOURCE_DIR "/resources/samples/archive/") + QLatin1String(name);
}

// The picking dialog answered from a script: the names to tick, then OK; none queued cancels.
class ScriptedPicker : public TFormManageArchive {
public:
    using TFormManageArchive::TFormManageArchive;
    int exec() override {
        offered.clear();
        for (int row = 0; row < CheckListBox->count(); ++row)
            offered.append(CheckListBox->item(row)->text());
        caption = windowTitle();
        prompt = LabelSelect->text();
        if (ticks.isEmpty()) {
            reject();
            return result();
        }
        const QStringList names = ticks.takeFirst();
        for (int row = 0; row < CheckListBox->count(); ++row)
            if (names.contains(CheckListBox->item(row)->text()))
                CheckListBox->item(row)->setCheckState(Qt::Checked);
        ButtonOK->click();
        return result();
    }
    QList<QStringList> ticks;
    QStringList offered;
    QString caption;
    QString prompt;
};

// A window whose flips the user cancels once this many charts are loaded (-1: never).
class CancellingForm : public TFormThalwise {
public:
    using TFormThalwise::TFormThalwise;
    archive::ChartDecoding decodeChartsToFlip(const QStringList& paths) override {
        archive::ChartDecoding decoded = TFormThalwise::decodeChartsToFlip(paths);
        decoded.cancelled = cancelAfter >= 0;
        if (decoded.cancelled)
            decoded.charts.resize(std::min<qsizetype>(cancelAfter, decoded.charts.size()));
        return decoded;
    }
    int cancelAfter = -1;
};

// The disk, whose trash refuses the charts named in full, as a full disk does.
class FullTrashDisk : public platform::LocalFileSystem {
public:
    platform::TrashOutcome trashFile(const QString& path) override {
        if (full.contains(QFileInfo(path).fileName()))
            return {std::nullopt, platform::TrashRefusal::NoSpace};
        return platform::LocalFileSystem::trashFile(path);
    }
    QStringList full;
};

struct ArchiveRig : WindowRig {
    ArchiveRig() : picker((services.fileSystem = &disk, services)) {
        // Charts moved to the trash go to a trash of the test's own.
        qputenv("XDG_DATA_HOME", dataDir.path().toLocal8Bit());
    }
    std::unique_ptr<CancellingForm> window() {
        auto form = std::make_unique<CancellingForm>(services, key, QStringList());
        form->attachDialogs(nullptr, nullptr, &picker);
        // At the size the program starts with.
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->TimerLoad->stop();
        form->TimerLoadTimer();
        return form;
    }
    // A chart downloaded into a folder of its own under the name the web site gives it.
    QString download(const char* archiveName, const QString& day) {
        const QString folder = downloads.filePath(day);
        QDir().mkpath(folder);
        const QString path = QDir(folder).filePath("area-ne01.gif");
        QFile::remove(path);
        EXPECT_TRUE(QFile::copy(archiveSample(archiveName), path));
        return path;
    }
    QStringList archived(const TFormThalwise& form) const {
        return QDir(form.ArchiveFolder).entryList({"*.gif"}, QDir::Files, QDir::Name);
    }
    QTemporaryDir downloads;
    QTemporaryDir dataDir;
    FullTrashDisk disk;
    ScriptedPicker picker;
};

QStringList tabCaptions(const TFormThalwise& form) {
    QStringList captions;
    for (int i = 0; i < form.TabControlImagesTabs->count(); ++i)
        captions.append(form.TabControlImagesTabs->tabText(i));
    return captions;
}

// How many pixels of the picture on screen differ from the chart under it: the marks.
int markedPixels(const TFormThalwise& form) {
    const QImage shown = form.ImageDisplay->picture().convertToFormat(QImage::Format_RGB32);
    int marked = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            marked += shown.pixel(x, y) != form.BaseBitmap.pixel(x, y);
    return marked;
}

TEST(ArchiveWindow, DownloadedChartsAreFiledFlippedWithTheirMarksAndSteppedThrough) {
    ArchiveRig rig;
    auto form = rig.window();
    TFormThalwise& f = *form;
    const QString monday = rig.download("2026-11-24-12ne01.gif", "monday");
    const QString tuesday = rig.download("2026-11-25-12ne01.gif", "tuesday");
    for (const QString& chart : {monday, tuesday, monday}) {
        rig.fileDialogs.queueFile(chart);
        f.MenuFileOpenOne->trigger();
    }
    // Filed under their time stamps, once each, with the chart's own date and hour.
    EXPECT_EQ(rig.archived(f), QStringList({"2026-11-24-12ne01.gif", "2026-11-25-12ne01.gif"}));
    EXPECT_EQ(QFileInfo(f.ArchiveFolder + "2026-11-24-12ne01.gif").lastModified(),
              QDateTime(QDate(2026, 11, 24), QTime(12, 0)));
    // The copy is what is shown, and the download is left where it was.
    EXPECT_EQ(QDir::fromNativeSeparators(f.CurrentChartPath),
              QDir::fromNativeSeparators(f.ArchiveFolder) + "2026-11-24-12ne01.gif");
    EXPECT_TRUE(QFile::exists(monday));

    // A line of the area drawn on Monday's chart.
    f.SpeedButtonDraw->click();
    drag(f, {300, 300}, {400, 350}, {500, 400});
    ASSERT_EQ(f.AnnotationLines.size(), 1);

    f.MenuFileFlipLatest->trigger();
    EXPECT_EQ(tabCaptions(f), QStringList({"2026-11-24-12", "2026-11-25-12"}));
    // The strip is there to see, across the chart area, above the chart.
    EXPECT_TRUE(f.TabControlImagesTabs->isVisible());
    EXPECT_EQ(f.TabControlImagesTabs->width(), f.TabControlImages->width());
    EXPECT_GE(f.ScrollBox->y(), f.TabControlImagesTabs->height());
    EXPECT_FALSE(f.BitBtnLeft->isHidden());
    EXPECT_FALSE(f.BitBtnRight->isHidden());
    ASSERT_EQ(f.CurrentImageIndex, 0);
    const QImage first = f.BaseBitmap;
    EXPECT_GT(markedPixels(f), 100) << "the line on the first chart";

    f.BitBtnLeft->click(); // at the first tab: nothing
    EXPECT_EQ(f.TabControlImagesTabs->currentIndex(), 0);
    f.BitBtnRight->click();
    EXPECT_EQ(f.TabControlImagesTabs->currentIndex(), 1);
    EXPECT_EQ(f.CurrentImageIndex, 1);
    EXPECT_NE(f.BaseBitmap, first) << "Tuesday's water";
    EXPECT_GT(markedPixels(f), 100) << "the same line on the second chart";
    f.BitBtnRight->click(); // at the last tab: nothing
    EXPECT_EQ(f.CurrentImageIndex, 1);

    // An ordinary open ends the flip.
    rig.fileDialogs.queueFile(tuesday);
    f.MenuFileOpenOne->trigger();
    EXPECT_EQ(f.TabControlImagesTabs->count(), 0);
    EXPECT_TRUE(f.BitBtnLeft->isHidden());
}

TEST(ArchiveWindow, ChartsPickedByHandAndTheArchiveTidiedAfterTheQuestion) {
    ArchiveRig rig;
    auto form = rig.window();
    TFormThalwise& f = *form;
    // Twelve charts of the area in the archive, a week apart from the first to the last.
    QStringList names;
    for (int day = 1; day <= 12; ++day) {
        const QString name = QStringLiteral("2026-11-%1-12ne01.gif").arg(day, 2, 10, QChar('0'));
        ASSERT_TRUE(QFile::copy(archiveSample("2026-11-24-12ne01.gif"), f.ArchiveFolder + name));
        ASSERT_TRUE(rig.localFileSystem.setLastWriteTime(
            f.ArchiveFolder + name, QDateTime(QDate(2026, 11, day), QTime(12, 0))));
        names.append(name);
    }
    f.DefaultArea->Value = 1;

    // One ticked changes nothing.
    rig.picker.ticks = {{names[3]}};
    f.MenuFileFlipAnyImages->trigger();
    EXPECT_EQ(rig.picker.offered, names);
    EXPECT_EQ(rig.picker.caption, "Flip any charts");
    EXPECT_EQ(rig.picker.prompt, "Check the chart files to flip");
    EXPECT_EQ(f.TabControlImagesTabs->count(), 0);
    EXPECT_TRUE(f.ChartImages.isEmpty());

    // All twelve: the message, then the ten latest, oldest first.
    rig.picker.ticks = {names};
    f.MenuFileFlipAnyImages->trigger();
    EXPECT_EQ(f.ChartImages.size(), 10);
    ASSERT_EQ(rig.messageBoxes.requests.size(), 1);
    EXPECT_EQ(rig.messageBoxes.requests[0].text,
              "You can only select up to 10 images for flipping.  The most recent 10 have been "
              "selected.");
    EXPECT_EQ(f.TabControlImagesTabs->count(), 10);
    EXPECT_EQ(f.TabControlImagesTabs->tabText(0), "2026-11-03-12");
    EXPECT_EQ(f.CurrentImageIndex, 0);

    // Manage archive: two ticked, the question lists them; Yes removes exactly those.
    rig.messageBoxes.requests.clear();
    rig.messageBoxes.answers = {platform::Button::Yes};
    rig.picker.ticks = {{names[0], names[5]}};
    f.MenuToolsManageArchive->trigger();
    EXPECT_EQ(rig.picker.caption, "Manage chart archive");
    ASSERT_EQ(rig.messageBoxes.requests.size(), 1);
    EXPECT_EQ(rig.messageBoxes.requests[0].caption, "Move to trash");
    EXPECT_EQ(rig.picker.prompt, "Check the chart files to move to the trash");
    EXPECT_EQ(rig.messageBoxes.requests[0].text, names[0] + "\r\n" + names[5] + "\r\n");
    QStringList left = names;
    left.removeAt(5);
    left.removeAt(0);
    EXPECT_EQ(rig.archived(f), left);
    // The chart gone from the archive leaves the tabs and the history; the keys of tabbed
    // programs step through the others.
    EXPECT_EQ(f.ChartImages.size(), 9);
    EXPECT_EQ(f.m_history.chartCount(), 9);
    EXPECT_FALSE(tabCaptions(f).contains("2026-11-06-12"));
    QTest::keyClick(&f, Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClick(&f, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(f.TabControlImagesTabs->currentIndex(), 2);
    QTest::keyClick(&f, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(f.TabControlImagesTabs->currentIndex(), 1);
    QTest::keyClick(&f, Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(f.CurrentImageIndex, 0);

    // Purge with a week kept on 16 November: charts written before 9 November 00:00 go;
    // the question names each, and No keeps them all.
    rig.clock.current = QDateTime(QDate(2026, 11, 16), QTime(9, 0));
    f.DaysToKeep->Value = 7;
    rig.messageBoxes.requests.clear();
    rig.messageBoxes.answers = {platform::Button::No};
    f.MenuToolsPurgeOldCharts->trigger();
    ASSERT_EQ(rig.messageBoxes.requests.size(), 1);
    // The 2nd to the 8th (the 1st and the 6th are gone already).
    const QString question = rig.messageBoxes.requests[0].text;
    EXPECT_TRUE(question.startsWith(left[0] + "\r" + left[1] + "\r")) << question.toStdString();
    EXPECT_EQ(question.count(".gif\r"), 6);
    EXPECT_TRUE(question.endsWith("\rThese files in the Chart Archive are older than 7 days.\r"
                                  "Do you want to delete them now?"));
    EXPECT_EQ(rig.messageBoxes.requests[0].caption, "Chart archive tidy-up");
    EXPECT_EQ(rig.archived(f), left);
    rig.messageBoxes.answers = {platform::Button::Yes};
    f.MenuToolsPurgeOldCharts->trigger();
    EXPECT_EQ(rig.archived(f), left.mid(6));
    EXPECT_EQ(tabCaptions(f).size(), 4);
    // The last charts trashed: the view says the chart on screen is gone.
    rig.messageBoxes.answers = {platform::Button::Yes};
    rig.picker.ticks = {left.mid(6)};
    f.MenuToolsManageArchive->trigger();
    EXPECT_TRUE(f.ChartImages.isEmpty());
    EXPECT_EQ(f.TabControlImagesTabs->count(), 0);
    EXPECT_FALSE(f.LabelEmptyView->isHidden());
    EXPECT_TRUE(f.LabelEmptyView->text().contains("trash"))
        << f.LabelEmptyView->text().toStdString();
}

TEST(ArchiveWindow, AfterARestartEachFlippedChartIsReadUnderItsOwnRange) {
    ArchiveRig rig;
    auto form = rig.window(); // nothing opened since the start: the scale has its own range
    TFormThalwise& f = *form;
    f.DefaultArea->Value = 1;
    // The second chart with a range and variation of its own; the third saved under the web
    // site's name, so that only its comment dates it.
    QFile sample(archiveSample("2026-11-25-12ne01.gif"));
    QFile second(f.ArchiveFolder + "2026-11-25-12ne01.gif");
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly) && second.open(QIODevice::WriteOnly));
    second.write(sample.readAll()
                     .replace("TMIN=38", "TMIN=45")
                     .replace("TMAX=62", "TMAX=75")
                     .replace("=-15.0", "=+04.5"));
    second.close();
    for (const auto& [name, as] : {std::pair("2026-11-24-12ne01.gif", "2026-11-24-12ne01.gif"),
                                   std::pair("2026-11-26-12ne01.gif", "area-ne01.gif")})
        ASSERT_TRUE(QFile::copy(archiveSample(name), f.ArchiveFolder + as));
    geo::TemperatureScale start;
    start.TempScaleChange(f.ScaleBitmap, f.UpDownScaleMin->value(), f.UpDownScaleMax->value());

    f.MenuFileFlipLatest->trigger();
    EXPECT_EQ(f.windowTitle(), app::chartCaption("ne01")); // as opening a chart of it says
    ASSERT_EQ(tabCaptions(f), QStringList({"2026-11-24-12", "2026-11-25-12", "area-ne01.gif"}));
    const struct {
        int tmin, tmax;
        float variation;
        const char* made;
    } own[] = {{38, 62, -15.0f, "chart of 2026-11-24 12:00"},
               {45, 75, 4.5f, "chart of 2026-11-25 12:00"},
               {38, 62, -15.0f, "chart of 2026-11-26 12:00"}};
    const QPoint water(400, 400);
    for (int tab = 0; tab < 3; ++tab) {
        SCOPED_TRACE(tab);
        if (tab > 0) f.BitBtnRight->click();
        geo::TemperatureScale scale;
        scale.TempScaleChange(f.ScaleBitmap, own[tab].tmin, own[tab].tmax);
        const float reading = scale.TemperatureAtPixel(f.BaseBitmap, water.x(), water.y());
        ASSERT_NE(reading, start.TemperatureAtPixel(f.BaseBitmap, water.x(), water.y()));
        hover(f, water);
        // The status bar and the history panel read the same, as do the scale's tool-tip, the
        // headings and the chart's age.
        EXPECT_EQ(f.statusPanelText(1), geo::temperaturePanelText(reading));
        EXPECT_EQ(f.PlotTemperatureHistory->points().at(std::size_t(tab)).temperature, reading);
        EXPECT_EQ(f.LabelTemp->toolTip(),
                  geo::rangeToolTip(own[tab].tmin, own[tab].tmax, own[tab].variation)
                      .replace(u'\r', u'\n'));
        EXPECT_EQ(f.MagneticVariation, own[tab].variation);
        EXPECT_TRUE(f.LabelChartAge->text().startsWith(own[tab].made));
    }
    // Cancelled after the first chart: that chart on a tab of its own, not the tabs before.
    form->cancelAfter = 1;
    f.MenuFileFlipLatest->trigger();
    EXPECT_EQ(tabCaptions(f), QStringList({"2026-11-24-12"}));
    EXPECT_EQ(f.CurrentImageIndex, 0);
}

// A download that stopped at 50 KB: shown where it is with a word, never filed over the whole
// archive copy of the same time stamp.
TEST(ArchiveWindow, ACutDownloadIsShownInPlaceWithAMessageAndTheWholeCopyStays) {
    ArchiveRig rig;
    auto form = rig.window();
    TFormThalwise& f = *form;
    rig.fileDialogs.queueFile(rig.download("2026-11-24-12ne01.gif", "monday"));
    f.MenuFileOpenOne->trigger();
    QFile copy(f.ArchiveFolder + "2026-11-24-12ne01.gif");
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    const QByteArray whole = copy.readAll();
    copy.close();
    QFile cut(rig.downloads.filePath("area-ne01.gif"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly) && cut.write(whole.left(50 * 1024)) > 0);
    cut.close();
    rig.fileDialogs.queueFile(cut.fileName());
    f.MenuFileOpenOne->trigger();

    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_TRUE(whole.size() > 200 * 1024 && copy.readAll() == whole) << "the copy was replaced";
    EXPECT_EQ(QDir::fromNativeSeparators(f.CurrentChartPath), cut.fileName());
    EXPECT_FALSE(f.BaseBitmap.isNull());
    ASSERT_EQ(rig.messageBoxes.requests.size(), 1);
    const QString message = rig.messageBoxes.requests[0].text;
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(cut.fileName())) &&
                message.contains("incomplete"))
        << message.toStdString();

    // Cut right after its comment there is no picture: an error, nothing filed or shown.
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                cut.write(whole.left(847)) == 847);
    cut.close();
    const QImage shown = f.BaseBitmap;
    rig.fileDialogs.queueFile(cut.fileName());
    f.MenuFileOpenOne->trigger();
    EXPECT_EQ(rig.messageBoxes.errors.size(), 1);
    copy.close();
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_TRUE(copy.readAll() == whole) << "the copy was replaced";
    EXPECT_EQ(f.BaseBitmap, shown);
}

// Nothing a chart carries may write outside the archive.
TEST(ArchiveWindow, ATimeStampThatIsAPathIsShownInPlaceAndNeverWritten) {
    ArchiveRig rig;
    auto form = rig.window();
    TFormThalwise& f = *form;
    // The sample with its TIMESTAMP rewritten to climb out of the archive: same length, so the
    // comment block stays valid.
    QFile sample(archiveSample("2026-11-24-12ne01.gif"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    QByteArray bytes = sample.readAll();
    const QByteArray stamp = "TIMESTAMP=2026-11-24-12ne01";
    const qsizetype at = bytes.indexOf(stamp);
    ASSERT_GE(at, 0);
    bytes.replace(at, stamp.size(), "TIMESTAMP=../../../Pictures");
    const QString chart = rig.downloads.filePath("area-ne01.gif");
    QFile out(chart);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();
    rig.fileDialogs.queueFile(chart);
    f.MenuFileOpenOne->trigger();
    EXPECT_EQ(QDir::fromNativeSeparators(f.CurrentChartPath), QDir::fromNativeSeparators(chart));
    EXPECT_TRUE(rig.archived(f).isEmpty());
    EXPECT_FALSE(QFile::exists(QDir(f.ArchiveFolder + "../../..").filePath("Pictures.gif")));
}

} // namespace

// Purge old charts and Manage archive never delete a chart for good on their first yes: a chart
// the trash refuses stays, named with why, and goes only on a second, separate yes. With "Never"
// the purge says why it does nothing.
TEST(ArchiveWindow, AChartTheTrashRefusesStaysUnlessTheUserThenDeletesItForGood) {
    ArchiveRig rig;
    auto form = rig.window();
    TFormThalwise& f = *form;
    const QStringList names = {"2026-11-01-12ne01.gif", "2026-11-02-12ne01.gif",
                               "2026-11-03-12ne01.gif"};
    for (const QString& name : names) {
        ASSERT_TRUE(QFile::copy(archiveSample("2026-11-24-12ne01.gif"), f.ArchiveFolder + name));
        ASSERT_TRUE(rig.localFileSystem.setLastWriteTime(
            f.ArchiveFolder + name, QDateTime(QDate(2026, 11, 1), QTime(12, 0))));
    }
    rig.clock.current = QDateTime(QDate(2026, 11, 16), QTime(9, 0));
    f.DaysToKeep->Value = 0;
    f.MenuToolsPurgeOldCharts->trigger();
    ASSERT_EQ(rig.messageBoxes.requests.size(), 1);
    EXPECT_TRUE(rig.messageBoxes.requests[0].text.contains("Never")) << "says why";
    EXPECT_EQ(rig.archived(f), names);

    rig.disk.full = {names[1], names[2]};
    f.DaysToKeep->Value = 7;
    rig.messageBoxes.requests.clear();
    rig.messageBoxes.answers = {platform::Button::Yes, platform::Button::No};
    f.MenuToolsPurgeOldCharts->trigger();
    EXPECT_EQ(rig.archived(f), names.mid(1)) << "the first went to the trash, the rest stayed";
    EXPECT_TRUE(QFile::exists(rig.dataDir.filePath("Trash/files/" + names[0])));
    ASSERT_EQ(rig.messageBoxes.requests.size(), 2);
    EXPECT_TRUE(rig.messageBoxes.requests[1].text.startsWith(names[1] + ": the disk is full\r"));

    // Manage archive moves to the trash; the one the trash refuses goes on the second yes only.
    rig.messageBoxes.requests.clear();
    rig.messageBoxes.answers = {platform::Button::Yes, platform::Button::Yes};
    rig.picker.ticks = {{names[2]}};
    f.MenuToolsManageArchive->trigger();
    EXPECT_EQ(rig.picker.ButtonOK->text(), "Move to trash");
    ASSERT_EQ(rig.messageBoxes.requests.size(), 2);
    EXPECT_EQ(rig.messageBoxes.requests[0].yesText, "Move to trash");
    EXPECT_EQ(rig.archived(f), QStringList({names[1]}));
    EXPECT_FALSE(QFile::exists(rig.dataDir.filePath("Trash/files/" + names[2])));
}
