// The chart on screen and the status-bar readouts, driven through the main window as a user
// drives it: opening charts, the area menu, the wheel zoom, pointer moves and drags over the chart
// and the temperature scale, and the View menu's formats.

#include "WindowTestSupport.h"
#include "app/ChartFiles.h"
#include "app/vekImage.h"
#include "geo/ChartMetadata.h"
#include "geo/Palette.h"
#include "geo/ThalwiseUtils.h"
#include "geo/vekMapping.h"
#include "gif/GIFEncoder.h"
#include "gif/GIFImage.h"
#include "platform/QtMessageBoxes.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QSpontaneKeyEvent>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

const QString kCaptionPrefix = QStringLiteral("\"Pelagon\" Chart viewer (from Brinecast) - ");

// A copy of the sample chart under another name, in a folder of the test's own.
QString copySample(const QTemporaryDir& dir, const QString& name) {
    return copySample(dir.path(), name);
}

// A shown window with its start-up step done (scale built, no chart yet).
std::unique_ptr<TFormThalwise> shownWindow(WindowRig& rig) {
    auto form = rig.openWindow();
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->TimerLoad->stop();
    return form;
}

// The scale the window should have built for a range, made with the units themselves.
geo::TemperatureScale expectedScale(int scaleMin, int scaleMax) {
    geo::TemperatureScale scale;
    scale.TempScaleChange(geo::TemperatureScale::BuildScaleBitmap(geo::builtinPaletteText()),
                          scaleMin, scaleMax);
    return scale;
}

QStringList panels(const TFormThalwise& form) {
    return {form.statusPanelText(0), form.statusPanelText(1), form.statusPanelText(2),
            form.statusPanelText(3)};
}

QList<QWidget*> scaleControls(const TFormThalwise& form) {
    return {form.LabelMin,     form.LabelMax,       form.EditScaleMin,
            form.EditScaleMax, form.UpDownScaleMin, form.UpDownScaleMax};
}

// Moves the pointer (no button down) to a display position of the chart, scrolling it into view
// first, as a user would.
void hoverChart(TFormThalwise& form, QPoint display) {
    form.ScrollBox->ensureVisible(display.x(), display.y(), 60, 60);
    QCoreApplication::processEvents();
    // A move to the very same place is no move; come from one pixel aside.
    QTest::mouseMove(form.ImageDisplay, display + QPoint(1, 0));
    QTest::mouseMove(form.ImageDisplay, display);
}

bool sendWheel(QWidget* target, int delta) {
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    wheel.ignore();
    QCoreApplication::sendEvent(target, &wheel);
    return wheel.isAccepted();
}

// A wheel turn as the device delivers it: a control that does not take it passes it on to its
// parents, up to the window.
bool turnWheel(QWidget* target, int delta) {
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    wheel.ignore();
    // Straight to notify: sending would mark the event as synthesized, which never propagates.
    QCoreApplication::instance()->notify(target, &wheel);
    return wheel.isAccepted();
}

// An 8 x 8 chart of one colour (yellow, or orange), with the comments given.
QString smallChart(const QTemporaryDir& dir, const QString& name, QRgb colour,
                   const std::vector<QByteArray>& comments) {
    gif::EncoderInput input;
    input.screenWidth = input.screenHeight = 8;
    input.globalTable = {qRgb(0, 128, 255), colour};
    gif::EncoderFrame frame;
    frame.width = frame.height = 8;
    frame.indices.assign(64, 1);
    input.frames.push_back(frame);
    input.comments = comments;
    const QString path = dir.filePath(name);
    EXPECT_TRUE(gif::writeGifFile(path, input));
    return path;
}

// The same with a keyed comment carrying a scale range.
QString rangeChart(const QTemporaryDir& dir, const QString& name, int tmin, int tmax) {
    return smallChart(dir, name, qRgb(255, 255, 128),
                      {QStringLiteral("TIMESTAMP=2026-07-01-12%1\r\nTMIN=%2\r\nTMAX=%3\r\n"
                                      "VARIATION=-2.0")
                           .arg(name.mid(5, 4))
                           .arg(tmin)
                           .arg(tmax)
                           .toLatin1()});
}

// A pointer move to a display position that need not be a whole pixel, as a desktop with
// fractional scaling delivers it.
void moveTo(QWidget* target, QPointF at) {
    QMouseEvent move(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(target, &move);
}

// Sends a wheel turn at a point of the chart's view.
void wheelAt(TFormThalwise& form, QPoint viewPoint, int delta) {
    QWidget* view = form.ScrollBox->viewport();
    QWheelEvent wheel(viewPoint, view->mapToGlobal(QPointF(viewPoint)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view, &wheel);
}

// The chart pixel the panels read under a point of the chart's view.
QString pixelUnder(TFormThalwise& form, QPoint viewPoint) {
    const QPoint at = form.ImageDisplay->mapFrom(form.ScrollBox->viewport(), viewPoint);
    QTest::mouseMove(form.ImageDisplay, at + QPoint(0, 1));
    QTest::mouseMove(form.ImageDisplay, at);
    return form.statusPanelText(3);
}

} // namespace

TEST(ChartWindow, TheScaleFollowsTheChartsOwnRange) {
    WindowRig rig;
    auto form = shownWindow(rig);
    QTemporaryDir dir;
    // A Gulf chart in summer lies above the up-downs' usual limits; after it, any order of
    // ranges leaves the slider exactly at the scale's ends.
    const struct {
        int tmin, tmax;
    } charts[] = {{85, 95}, {38, 62}, {64, 84}, {10, 30}, {150, 200}, {38, 62}};
    for (const auto& c : charts) {
        SCOPED_TRACE(std::to_string(c.tmin) + ".." + std::to_string(c.tmax));
        form->OpenChart(rangeChart(dir, QStringLiteral("area-fl05.gif"), c.tmin, c.tmax));
        EXPECT_EQ(form->UpDownScaleMin->value(), c.tmin);
        EXPECT_EQ(form->UpDownScaleMax->value(), c.tmax);
        EXPECT_EQ(form->TrackBarTemperature->minimum(), c.tmin);
        EXPECT_EQ(form->TrackBarTemperature->maximum(), c.tmax);
        EXPECT_EQ(form->LabelTemp->text(),
                  QString::number((c.tmin + c.tmax) / 2) + QStringLiteral("\u00B0F"));
        EXPECT_TRUE(form->LabelTemp->toolTip().startsWith(
            QStringLiteral("Temperature range in chart is: %1\u00B0F .. %2\u00B0F")
                .arg(c.tmin)
                .arg(c.tmax)));
        // The readout is the chart's own scale's: yellow is row 102 of the strip.
        hoverChart(*form, QPoint(4, 4));
        const geo::TemperatureScale scale = expectedScale(c.tmin, c.tmax);
        const float expected = scale.TemperatureAtPixel(form->BaseBitmap, 4, 4);
        EXPECT_EQ(form->statusPanelText(1), geo::temperaturePanelText(expected));
        EXPECT_FLOAT_EQ(expected, c.tmax - (c.tmax - c.tmin) * 102.0f / 255.0f);
    }
}

TEST(ChartWindow, PointerPositionsAreTruncatedToChartPixels) {
    WindowRig rig;
    auto form = shownWindow(rig);
    form->OpenChart(sampleChart());
    const struct {
        QPointF at;
        bool zoomed;
        const char* pixel;
    } cases[] = {
        {{10.6, 20.5}, false, "X: 10, Y: 20"},
        {{10.4, 20.99}, false, "X: 10, Y: 20"},
        {{21.7, 41.9}, true, "X: 10, Y: 20"},
        {{22.0, 43.5}, true, "X: 11, Y: 21"},
    };
    for (const auto& c : cases) {
        if (c.zoomed != form->Zoomed) form->MenuViewZoomClick();
        form->ScrollBox->horizontalScrollBar()->setValue(0);
        form->ScrollBox->verticalScrollBar()->setValue(0);
        moveTo(form->ImageDisplay, c.at + QPointF(3, 3));
        moveTo(form->ImageDisplay, c.at);
        EXPECT_EQ(form->statusPanelText(3), QLatin1String(c.pixel)) << c.at.x() << ',' << c.at.y();
    }
}

TEST(ChartWindow, ZoomKeepsThePlaceTheUserLooksAt) {
    WindowRig rig;
    auto form = shownWindow(rig);
    form->OpenChart(sampleChart());
    QCoreApplication::processEvents();
    // The wheel keeps the chart pixel under the pointer where it is, in and out again.
    for (const QPoint at : {QPoint(300, 200), QPoint(17, 401), QPoint(555, 99)}) {
        SCOPED_TRACE(std::to_string(at.x()) + "," + std::to_string(at.y()));
        const QString before = pixelUnder(*form, at);
        wheelAt(*form, at, 120);
        ASSERT_TRUE(form->Zoomed);
        EXPECT_EQ(pixelUnder(*form, at), before);
        wheelAt(*form, at, -120);
        ASSERT_FALSE(form->Zoomed);
        EXPECT_EQ(pixelUnder(*form, at), before);
    }
    // The menu keeps the centre of the view.
    form->ScrollBox->horizontalScrollBar()->setValue(100);
    form->ScrollBox->verticalScrollBar()->setValue(150);
    const QRect view = form->ScrollBox->viewport()->rect();
    const QPoint centre(view.width() / 2, view.height() / 2);
    const QString before = pixelUnder(*form, centre);
    form->MenuViewZoom->trigger();
    ASSERT_TRUE(form->Zoomed);
    EXPECT_EQ(pixelUnder(*form, centre), before);
    form->MenuViewNormal->trigger();
    EXPECT_EQ(pixelUnder(*form, centre), before);
}

TEST(ChartWindow, OpensTheSampleChartEndToEnd) {
    WindowRig rig;
    auto form = shownWindow(rig);
    EXPECT_FALSE(form->ImageLogo->isHidden());
    ASSERT_FALSE(form->ImageLogo->pixmap().isNull());

    form->OpenChart(sampleChart());

    EXPECT_TRUE(rig.messageBoxes.requests.isEmpty());
    EXPECT_TRUE(rig.messageBoxes.errors.isEmpty());
    ASSERT_EQ(form->ChartImages.size(), 1);
    EXPECT_EQ(form->CurrentImageIndex, 0);
    const QString shown = form->ChartImages[0].path; // the sample, or its archive copy
    EXPECT_EQ(form->windowTitle(), kCaptionPrefix + "ne01");
    const QString chartTitle = QFileInfo(shown).completeBaseName().toUpper() + " - Pelagon";
    EXPECT_EQ(form->ApplicationTitle, chartTitle);
    EXPECT_EQ(form->windowIconText(), chartTitle);
    // The platform appends the application's display name to every window caption, so the
    // chart's title must not become it: the caption would read "... - ne01 - AREA-NE01 ...".
    EXPECT_FALSE(QGuiApplication::applicationDisplayName().contains("Pelagon"));
    EXPECT_EQ(form->CurrentChartPath,
              QDir::toNativeSeparators(QFileInfo(shown).absoluteFilePath()));
    EXPECT_EQ(form->SaveAsName, app::folderOf(shown) + "ne01.gif");
    EXPECT_EQ(form->ChartTimestamp, QStringLiteral("2026-12-01-12ne01"));
    EXPECT_EQ(form->CurrentArea, 1);
    EXPECT_EQ(form->DefaultArea->Value, 1);
    EXPECT_TRUE(form->findChild<QAction*>("MenuChooseAreane01")->isChecked());
    // Every pointer move samples the base bitmap: it is kept in the layout read directly.
    EXPECT_EQ(form->BaseBitmap.format(), QImage::Format_RGB32);

    // The comment's range reaches the spinners and the slider; the six scale controls hide.
    EXPECT_EQ(form->UpDownScaleMin->value(), 38);
    EXPECT_EQ(form->UpDownScaleMax->value(), 62);
    EXPECT_EQ(form->TrackBarTemperature->minimum(), 38);
    EXPECT_EQ(form->TrackBarTemperature->maximum(), 62);
    EXPECT_EQ(form->LabelTemp->text(), QStringLiteral("50\u00B0F"));
    for (QWidget* control : scaleControls(*form))
        EXPECT_TRUE(control->isHidden()) << control->objectName().toStdString();
    EXPECT_EQ(form->LabelTemp->toolTip(),
              QStringLiteral("Temperature range in chart is: 38\u00B0F .. 62\u00B0F\n"
                             "Magnetic variation is 15.0\u00B0 W"));
    EXPECT_EQ(form->LabelTemp->toolTip(), geo::rangeToolTip(38, 62, -15.0f).replace(u'\r', u'\n'));

    // The variation switches headings to magnetic.
    EXPECT_TRUE(form->HasVariation);
    EXPECT_FLOAT_EQ(form->MagneticVariation, -15.0f);
    EXPECT_TRUE(form->MagneticReadout->Value);
    EXPECT_TRUE(form->MenuViewMagnetic->isChecked());
    EXPECT_FALSE(form->MenuViewTrue->isChecked());

    // On screen: the logo gives way to the chart, pixel for pixel.
    EXPECT_TRUE(form->ImageLogo->isHidden());
    EXPECT_FALSE(form->MenuFileSaveAs->isEnabled());
    EXPECT_EQ(form->BaseBitmap.size(), QSize(1024, 1024));
    EXPECT_EQ(form->BaseBitmap.format(), QImage::Format_RGB32);
    EXPECT_EQ(form->ImageDisplay->size(), QSize(1024, 1024));
    EXPECT_EQ(form->ImageDisplay->picture().pixel(500, 500), form->BaseBitmap.pixel(500, 500));
    EXPECT_EQ(form->BaseBitmap.pixel(500, 500),
              form->ChartImages[0].bitmap.pixel(500, 500) | 0xFF000000u);

    // A chart without any comment shows the scale controls again and forgets the variation.
    QTemporaryDir dir;
    form->OpenChart(smallChart(dir, "area-fl01.gif", qRgb(255, 128, 0), {}));
    EXPECT_EQ(form->windowTitle(), kCaptionPrefix + "fl01");
    for (QWidget* control : scaleControls(*form))
        EXPECT_FALSE(control->isHidden()) << control->objectName().toStdString();
    EXPECT_TRUE(form->LabelTemp->toolTip().isEmpty());
    EXPECT_FALSE(form->HasVariation);
    EXPECT_EQ(form->MagneticVariation, 0.0f);
    EXPECT_TRUE(form->MenuViewTrue->isChecked());
    EXPECT_EQ(form->ImageDisplay->size(), QSize(8, 8));
}

TEST(ChartWindow, VariationReadsWithAPeriodWhateverTheLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    {
        WindowRig rig;
        auto form = shownWindow(rig);
        form->OpenChart(sampleChart());
        EXPECT_FLOAT_EQ(form->MagneticVariation, -15.0f);
        EXPECT_TRUE(form->HasVariation);
        EXPECT_TRUE(form->LabelTemp->toolTip().endsWith(QStringLiteral("15,0\u00B0 W")))
            << form->LabelTemp->toolTip().toStdString();
        form->ImageDisplayMouseMove(form->ImageDisplay, {}, QPoint(378, 654));
        form->MenuViewDecimalDegrees->trigger();
        form->ImageDisplayMouseMove(form->ImageDisplay, {}, QPoint(378, 654));
        EXPECT_EQ(form->statusPanelText(0),
                  QStringLiteral("Lat: 42,000\u00B0    Lon: 69,999\u00B0"));
    }
    QLocale::setDefault(before);
}

TEST(ChartWindow, AFileThatDoesNotDecodeKeepsThePreviousChart) {
    struct Row {
        const char* name;
        QByteArray bytes;
    };
    QFile sample(sampleChart());
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    const QByteArray whole = sample.readAll();
    const Row rows[] = {
        {"not a picture", QByteArray("This is not a GIF file at all.")},
        {"header only", whole.left(9)},
        {"empty", QByteArray()},
    };
    WindowRig rig;
    auto form = shownWindow(rig);
    form->OpenChart(sampleChart());
    ASSERT_EQ(form->ChartImages.size(), 1);
    const QString caption = form->windowTitle();
    const QString title = form->ApplicationTitle;
    const QImage base = form->BaseBitmap;
    const QImage display = form->ImageDisplay->picture();
    const QString toolTip = form->LabelTemp->toolTip();
    QTemporaryDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        rig.messageBoxes.errors.clear();
        const QString path = dir.filePath("area-fl01.gif");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(row.bytes);
        file.close();

        form->OpenChart(path);

        ASSERT_EQ(rig.messageBoxes.errors.size(), 1);
        EXPECT_FALSE(rig.messageBoxes.errors[0].isEmpty());
        EXPECT_TRUE(rig.messageBoxes.requests.isEmpty());
        EXPECT_EQ(form->windowTitle(), caption);
        EXPECT_EQ(form->ApplicationTitle, title);
        ASSERT_EQ(form->ChartImages.size(), 1);
        EXPECT_EQ(form->CurrentImageIndex, 0);
        EXPECT_EQ(form->BaseBitmap, base);
        EXPECT_EQ(form->ImageDisplay->picture(), display);
        EXPECT_EQ(form->LabelTemp->toolTip(), toolTip);
        EXPECT_EQ(form->UpDownScaleMin->value(), 38);
        EXPECT_EQ(form->CurrentArea, 1);
        EXPECT_TRUE(form->HasVariation);
    }
    // What is wrong reaches the box in plain words, after the name of the file.
    rig.messageBoxes.errors.clear();
    QFile file(dir.filePath("area-fl01.gif"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("PNG89a and more bytes than a header needs");
    file.close();
    form->OpenChart(file.fileName());
    EXPECT_EQ(rig.messageBoxes.errors,
              QStringList{"area-fl01.gif: The file is not a GIF picture, so it holds no chart."});
}

TEST(ChartWindow, AreaFollowsTheFileName) {
    struct Row {
        const char* name;
        int area;
        const char* captionSuffix;
        QStringList messages;
        bool readouts;
    };
    const QString unrecognised = QLatin1String(app::UnrecognisedAreaMessage);
    const QString warning = QLatin1String(app::AreaNotRecognisedWarning);
    const Row rows[] = {
        {"AREA-FL01.GIF", 17, "fl01", {}, true},
        {"fl1.gif", 17, "fl01", {}, true},
        {"ma05.gif", 14, "ma05", {}, true},
        {"chart.gif", 0, "(unknown area)", {unrecognised, warning}, false},
        {"area-fl1.gif", 0, "(unknown area)", {unrecognised, warning}, false},
        // The extra area has a name but no calibration: no readouts, like no area.
        {"x.jpg.gif", 31, "rutgers", {warning}, false},
    };
    WindowRig rig;
    auto form = shownWindow(rig);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        rig.messageBoxes.requests.clear();
        // Opened from the archive, so shown under its own name rather than filed by time.
        form->OpenChart(copySample(form->ArchiveFolder, row.name));
        EXPECT_EQ(form->CurrentArea, row.area);
        EXPECT_EQ(form->DefaultArea->Value, row.area);
        EXPECT_EQ(form->windowTitle(), kCaptionPrefix + row.captionSuffix);
        QStringList texts;
        for (const auto& request : rig.messageBoxes.requests) {
            texts << request.text;
            // Plain messages carry the application's title, which names the chart.
            EXPECT_EQ(request.caption,
                      QFileInfo(row.name).completeBaseName().toUpper() + " - Pelagon");
        }
        EXPECT_EQ(texts, row.messages);
        // The chart is shown either way.
        EXPECT_EQ(form->ImageDisplay->size(), QSize(1024, 1024));
        EXPECT_EQ(form->SaveAsName, app::folderOf(form->CurrentChartPath) +
                                        (row.area == 0 ? QString() : geo::areaCode(row.area)) +
                                        ".gif");

        for (int panel = 0; panel < 4; ++panel)
            form->setStatusPanelText(panel, QString());
        form->ImageDisplayMouseMove(form->ImageDisplay, {}, QPoint(600, 300));
        if (row.readouts)
            EXPECT_EQ(form->statusPanelText(3), QStringLiteral("X: 600, Y: 300"));
        else
            EXPECT_EQ(panels(*form), (QStringList{"", "", "", ""})); // not even a temperature
    }
}

TEST(ChartWindow, AreaMenuTicksTheDefaultArea) {
    WindowRig rig;
    {
        TRegistryInteger area(*rig.registry, rig.key, settingNames::DefaultArea, 1);
        area.Value = 17;
    }
    auto form = rig.openWindow();
    auto ticked = [&] {
        QStringList names;
        for (QAction* a : form->MenuDefaultArea->actions())
            if (a->isChecked()) names << a->objectName();
        return names;
    };
    EXPECT_EQ(ticked(), QStringList{"MenuChooseAreafl01"});
    form->findChild<QAction*>("MenuChooseAreama07")->trigger();
    EXPECT_EQ(form->DefaultArea->Value, 16);
    EXPECT_EQ(ticked(), QStringList{"MenuChooseAreama07"});
    // No item for no area, the extra area or a stray value: the tick stays where it was.
    for (const int value : {0, 31, 32, -1}) {
        form->DefaultArea->Value = value;
        form->CheckDefaultAreaItem();
        EXPECT_EQ(ticked(), QStringList{"MenuChooseAreama07"}) << value;
    }
}

TEST(ChartWindow, ExtensionCheck) {
    struct Row {
        const char* name; // nullptr: a file that does not exist
        bool accepted;
        bool box;
    };
    const Row rows[] = {
        {"AREA-FL01.GIF", true, false},     {"area-fl01.gif", true, false},
        {"area-fl01.gif.bmp", false, true}, {"area-fl01", false, true},
        {"area.fl01.art", false, true},     {nullptr, true, false}, // opening explains it
    };
    WindowRig rig;
    auto form = rig.openWindow();
    QTemporaryDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name ? row.name : "missing");
        rig.messageBoxes.requests.clear();
        const QString path = row.name ? copySample(dir, row.name) : dir.filePath("gone.gif");
        EXPECT_EQ(form->CheckChartExtension(path), row.accepted);
        ASSERT_EQ(rig.messageBoxes.requests.size(), row.box ? 1 : 0);
        if (!row.box) continue;
        const auto& box = rig.messageBoxes.requests[0];
        EXPECT_EQ(box.caption,
                  QStringLiteral("Error in file \"%1\" - the file extension is not .gif")
                      .arg(QLatin1String(row.name)));
        EXPECT_EQ(box.buttons, unsigned(platform::Button::Ok));
        EXPECT_TRUE(box.text.startsWith("You have attempted to open up an area file with an "
                                        "improper extension.  Please take look"));
        EXPECT_TRUE(box.text.contains("for area 5:\r\rarea5.gif\r\rIf the chart file has an .art"));
        EXPECT_TRUE(box.text.endsWith("for other remedies to this problem."));
    }
}

TEST(ChartWindow, OpenCommandRemembersFolderAndFilter) {
    WindowRig rig;
    auto form = shownWindow(rig);
    QTemporaryDir dir;
    const QString chart = copySample(dir, "area-ne01.gif");
    rig.fileDialogs.queueFile(chart, 3);
    form->MenuFileOpenOne->trigger();
    ASSERT_EQ(rig.fileDialogs.requests.size(), 1);
    EXPECT_EQ(rig.fileDialogs.requests[0].title, QStringLiteral("Open chart to view"));
    // No filter chosen yet: every chart shows, not one region's.
    EXPECT_EQ(rig.fileDialogs.requests[0].filterIndex, 4);
    EXPECT_EQ(form->DataFilterIndex->Value, 3);
    EXPECT_EQ(form->DataFolder->Value, app::folderOf(chart));
    EXPECT_EQ(form->windowTitle(), kCaptionPrefix + "ne01");
    // A wrong extension stops at the box; a cancel does nothing.
    rig.fileDialogs.queueFile(copySample(dir, "area-ne01.bmp"));
    rig.fileDialogs.queueCancel();
    form->TabControlImagesTabs->addTab(QStringLiteral("flipped"));
    form->BitBtnLeft->show();
    form->MenuFileOpenOne->trigger();
    EXPECT_EQ(form->TabControlImagesTabs->count(), 0);
    EXPECT_TRUE(form->BitBtnLeft->isHidden());
    form->MenuFileOpenOne->trigger();
    EXPECT_EQ(rig.messageBoxes.requests.size(), 1);
    EXPECT_EQ(rig.fileDialogs.requests[1].folder, app::folderOf(chart));
    EXPECT_EQ(rig.fileDialogs.requests[1].filterIndex, 3); // the one chosen applies from now
}

TEST(ChartWindow, CommandLineChartOpensAtStart) {
    WindowRig rig;
    auto form = rig.openWindow({sampleChart()});
    form->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->ChartImages.isEmpty(); }, 3000));
    EXPECT_EQ(form->windowTitle(), kCaptionPrefix + "ne01");
}

TEST(ChartWindow, WheelZoomsTheChartPixelExact) {
    WindowRig rig;
    auto form = shownWindow(rig);
    QWidget* chartArea = form->ScrollBox->viewport();
    // Without a chart the wheel only moves the ticks.
    EXPECT_TRUE(sendWheel(chartArea, 120));
    EXPECT_TRUE(form->Zoomed);
    EXPECT_TRUE(form->MenuViewZoom->isChecked());
    EXPECT_TRUE(sendWheel(chartArea, -120));
    EXPECT_FALSE(form->Zoomed);

    form->OpenChart(sampleChart());
    EXPECT_TRUE(sendWheel(chartArea, 120));
    const qint64 afterFirst = form->ImageDisplay->picture().cacheKey();
    EXPECT_TRUE(sendWheel(chartArea, 120)); // forward again: no change, no repaint
    EXPECT_EQ(form->ImageDisplay->picture().cacheKey(), afterFirst);
    EXPECT_TRUE(form->Zoomed);
    EXPECT_TRUE(form->MenuViewZoom->isChecked());
    EXPECT_FALSE(form->MenuViewNormal->isChecked());
    EXPECT_EQ(form->ImageDisplay->size(), QSize(2048, 2048));
    const QImage zoomed =
        form->ImageDisplay->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (const QPoint p : {QPoint(0, 0), QPoint(377, 654), QPoint(1023, 1023)})
        for (const QPoint d : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)})
            EXPECT_EQ(zoomed.pixel(p * 2 + d), form->BaseBitmap.pixel(p));

    // The wheel over the chart itself comes to the same place.
    EXPECT_TRUE(sendWheel(form->ImageDisplay, -120));
    EXPECT_FALSE(form->Zoomed);
    EXPECT_EQ(form->ImageDisplay->size(), QSize(1024, 1024));
    EXPECT_TRUE(form->MenuViewNormal->isChecked());
    // The menu toggles too.
    form->MenuViewZoom->trigger();
    EXPECT_EQ(form->ImageDisplay->size(), QSize(2048, 2048));

    // The window takes the wheel wherever no control uses it: over the scale strip, a tool
    // button or the status bar it zooms just the same; over the tabs of flipped charts it zooms
    // and leaves the current tab alone.
    form->TabControlImagesTabs->addTab("one");
    form->TabControlImagesTabs->addTab("two");
    form->TabControlImagesTabs->setCurrentIndex(0);
    // Over the scale's spinners and the slider it zooms too: it never changes the range every
    // reading depends on.
    const int scaleMax = form->UpDownScaleMax->value();
    const int scaleMin = form->UpDownScaleMin->value();
    const int slider = form->TrackBarTemperature->value();
    for (QWidget* elsewhere :
         {static_cast<QWidget*>(form->ImageScale), static_cast<QWidget*>(form->SpeedButtonErase),
          static_cast<QWidget*>(form->StatusBar), static_cast<QWidget*>(form->TabControlImagesTabs),
          static_cast<QWidget*>(form->EditScaleMax), static_cast<QWidget*>(form->UpDownScaleMin),
          static_cast<QWidget*>(form->TrackBarTemperature)}) {
        SCOPED_TRACE(elsewhere->objectName().toStdString());
        EXPECT_TRUE(turnWheel(elsewhere, -120));
        EXPECT_FALSE(form->Zoomed);
        EXPECT_TRUE(turnWheel(elsewhere, 120));
        EXPECT_TRUE(form->Zoomed);
    }
    EXPECT_EQ(form->TabControlImagesTabs->currentIndex(), 0);
    EXPECT_EQ(form->UpDownScaleMax->value(), scaleMax);
    EXPECT_EQ(form->UpDownScaleMin->value(), scaleMin);
    EXPECT_EQ(form->TrackBarTemperature->value(), slider);
}

TEST(ChartWindow, PointerReadoutsMatchTheUnits) {
    WindowRig rig;
    auto form = shownWindow(rig);
    form->OpenChart(sampleChart());
    const geo::Calibration calibration = geo::Calibration::forArea(1);
    const geo::TemperatureScale scale = expectedScale(38, 62);
    const QImage base = form->BaseBitmap;

    struct Row {
        QPoint chartPixel;
        bool zoomed;
    };
    const Row rows[] = {
        {{378, 654}, false}, {{600, 300}, false}, {{700, 800}, false},
        {{378, 654}, true},  {{600, 300}, true},  {{20, 30}, false},
    };
    int withTemperature = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.chartPixel.x() * 10 + row.zoomed);
        if (row.zoomed != form->Zoomed) form->MenuViewZoomClick();
        // Zoomed, the display pixel (2x + 1, 2y + 1) is chart pixel (x, y): halves truncate.
        const QPoint display = row.zoomed ? row.chartPixel * 2 + QPoint(1, 1) : row.chartPixel;
        hoverChart(*form, display);

        GeoPosition at;
        ASSERT_TRUE(PixelToGeo(calibration, row.chartPixel.x(), row.chartPixel.y(), at));
        const float t = scale.TemperatureAtPixel(base, row.chartPixel.x(), row.chartPixel.y());
        withTemperature += t != 0.0f;
        EXPECT_EQ(panels(*form),
                  (QStringList{geo::positionPanelText(at.Latitude, at.Longitude, false),
                               geo::temperaturePanelText(t), QString(),
                               geo::pixelPanelText(row.chartPixel.x(), row.chartPixel.y())}));
        EXPECT_EQ(form->LastPointerPoint, row.chartPixel);
    }
    EXPECT_GE(withTemperature, 3);
    // 41.99976 N 69.99860 W: the total minutes round before the split.
    ASSERT_FALSE(form->Zoomed);
    hoverChart(*form, QPoint(378, 654));
    EXPECT_EQ(form->statusPanelText(0), QStringLiteral("Lat: 42\u00B000'    Lon: 70\u00B000'"));
    hoverChart(*form, QPoint(20, 30));

    // Leaving the chart empties panels 0 to 2 and keeps the pixel.
    form->ImageDisplayMouseLeave();
    EXPECT_EQ(panels(*form), (QStringList{"", "", "", "X: 20, Y: 30"}));
}

TEST(ChartWindow, MeasuringDragShowsRangeAndHeading) {
    WindowRig rig;
    auto form = shownWindow(rig);
    form->OpenChart(sampleChart());
    const geo::Calibration calibration = geo::Calibration::forArea(1);
    const QPoint from(300, 700), to(500, 400);
    GeoPosition a, b;
    ASSERT_TRUE(PixelToGeo(calibration, from.x(), from.y(), a));
    ASSERT_TRUE(PixelToGeo(calibration, to.x(), to.y(), b));

    struct Row {
        bool zoomed;
        QAction* heading; // chosen before the drag
        const char* suffix;
    };
    const Row rows[] = {
        {false, nullptr, "(mag.)"},
        {true, form->MenuViewTrue, "(true)"},
        {false, form->MenuViewMagnetic, "(mag.)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.suffix);
        if (row.heading) row.heading->trigger();
        if (row.zoomed != form->Zoomed) form->MenuViewZoomClick();
        const int k = row.zoomed ? 2 : 1;
        QTest::mousePress(form->ImageDisplay, Qt::LeftButton, {}, from * k);
        EXPECT_TRUE(form->Dragging);
        EXPECT_EQ(form->PressPoint, from);
        QTest::mouseMove(form->ImageDisplay, to * k);
        const QString range = form->statusPanelText(2);
        EXPECT_TRUE(range.startsWith("Range: ")) << range.toStdString();
        EXPECT_TRUE(range.contains(" NM at ")) << range.toStdString();
        EXPECT_TRUE(range.endsWith(QLatin1String(row.suffix))) << range.toStdString();
        EXPECT_EQ(range,
                  geo::rangePanelText(a.Latitude, a.Longitude, b.Latitude, b.Longitude,
                                      form->MagneticReadout->Value, form->MagneticVariation));
        EXPECT_TRUE(form->ImageDisplay->hasRubberBand());
        QTest::mouseRelease(form->ImageDisplay, Qt::LeftButton, {}, to * k);
        EXPECT_FALSE(form->Dragging);
        EXPECT_FALSE(form->ImageDisplay->hasRubberBand());
    }
    // Back onto the press point: no distance, heading 0.
    form->MenuViewTrue->trigger();
    if (!form->Zoomed) form->MenuViewZoomClick();
    QTest::mousePress(form->ImageDisplay, Qt::LeftButton, {}, from * 2);
    QTest::mouseMove(form->ImageDisplay, to * 2);
    QTest::mouseMove(form->ImageDisplay, from * 2 + QPoint(1, 1));
    EXPECT_EQ(form->statusPanelText(2), "Range: 0" + QLocale().decimalPoint() + "0 NM at 0" +
                                            QLocale().decimalPoint() + "0\u00B0 (true)");
    QTest::mouseRelease(form->ImageDisplay, Qt::LeftButton, {}, from * 2);
}

TEST(ChartWindow, ToolsDecideWhatThePanelsShow) {
    WindowRig rig;
    auto form = shownWindow(rig);
    form->OpenChart(sampleChart());
    const QPoint sea(600, 300);
    const float t = expectedScale(38, 62).TemperatureAtPixel(form->BaseBitmap, 600, 300);
    ASSERT_NE(t, 0.0f);
    struct Row {
        QToolButton* button;
        bool temperature;
    };
    // Every tool reads the water: a waypoint is placed seeing what it will keep.
    const Row rows[] = {{form->SpeedButtonWaypoint, true},
                        {form->SpeedButtonDraw, true},
                        {form->SpeedButtonText, true},
                        {form->SpeedButtonMeasure, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.button->objectName().toStdString());
        QTest::mouseClick(row.button, Qt::LeftButton);
        form->WaypointTemperature = -1;
        form->ImageDisplayMouseMove(form->ImageDisplay, {}, sea);
        EXPECT_EQ(form->statusPanelText(1),
                  row.temperature ? geo::temperaturePanelText(t) : QString());
        EXPECT_FALSE(form->statusPanelText(0).isEmpty());
        if (row.button == form->SpeedButtonWaypoint)
            EXPECT_EQ(form->WaypointTemperature, t);
        else
            EXPECT_EQ(form->WaypointTemperature, -1.0f);
    }
}

TEST(ChartWindow, ViewMenuSwitchesTheFormats) {
    WindowRig rig;
    auto form = shownWindow(rig);
    form->OpenChart(sampleChart());
    GeoPosition at;
    ASSERT_TRUE(PixelToGeo(geo::Calibration::forArea(1), 378, 654, at));
    struct Row {
        QAction* item;
        bool decimal;
    };
    // Either item of the pair toggles the format.
    const Row rows[] = {{form->MenuViewDecimalDegrees, true},
                        {form->MenuViewDecimalDegrees, false},
                        {form->MenuViewDegreeMinutesSeconds, true},
                        {form->MenuViewDegreeMinutesSeconds, false}};
    for (const Row& row : rows) {
        row.item->trigger();
        EXPECT_EQ(form->DecimalDegrees->Value, row.decimal);
        EXPECT_EQ(form->MenuViewDecimalDegrees->isChecked(), row.decimal);
        EXPECT_EQ(form->MenuViewDegreeMinutesSeconds->isChecked(), !row.decimal);
        form->ImageDisplayMouseMove(form->ImageDisplay, {}, QPoint(378, 654));
        EXPECT_EQ(form->statusPanelText(0),
                  geo::positionPanelText(at.Latitude, at.Longitude, row.decimal));
    }
    form->MenuViewDecimalDegrees->trigger();
    EXPECT_EQ(form->statusPanelText(0), geo::positionPanelText(at.Latitude, at.Longitude, false));
    form->ImageDisplayMouseMove(form->ImageDisplay, {}, QPoint(378, 654));
    const QString point = QLocale().decimalPoint();
    EXPECT_EQ(form->statusPanelText(0),
              "Lat: 42" + point + "000\u00B0    Lon: 69" + point + "999\u00B0");

    // With the chart's variation the heading pair toggles; the ticks follow.
    form->MenuViewTrue->trigger();
    EXPECT_FALSE(form->MagneticReadout->Value);
    EXPECT_TRUE(form->MenuViewTrue->isChecked());
    form->MenuViewTrue->trigger();
    EXPECT_TRUE(form->MagneticReadout->Value);
    EXPECT_TRUE(form->MenuViewMagnetic->isChecked());
}

TEST(ChartWindow, OverTheScaleOnlyTemperatureAndPixel) {
    WindowRig rig;
    auto form = shownWindow(rig);
    // Without a chart area nothing reads, not even over the scale.
    QTest::mouseMove(form->ImageScale, QPoint(15, 100));
    EXPECT_EQ(panels(*form), (QStringList{"", "", "", ""}));

    form->OpenChart(sampleChart());
    EXPECT_EQ(form->ScaleBitmap.size(), QSize(30, 256));
    EXPECT_EQ(form->ImageScale->size(), QSize(30, 256));
    const geo::TemperatureScale scale = expectedScale(38, 62);
    struct Row {
        QPoint at;
        bool zoomed;
        QPoint sampled;
    };
    const Row rows[] = {
        {{15, 100}, false, {15, 100}},
        {{10, 250}, false, {10, 250}},
        {{2, 0}, false, {2, 0}},
        // The strip is never enlarged: zoomed or not, its own pixel is read.
        {{20, 201}, true, {20, 201}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.at.y());
        if (row.zoomed != form->Zoomed) form->MenuViewZoomClick();
        QTest::mouseMove(form->ImageScale, row.at + QPoint(0, 1));
        QTest::mouseMove(form->ImageScale, row.at);
        const float t =
            scale.TemperatureAtPixel(form->ScaleBitmap, row.sampled.x(), row.sampled.y());
        EXPECT_EQ(panels(*form),
                  (QStringList{"", geo::temperaturePanelText(t), "",
                               geo::pixelPanelText(row.sampled.x(), row.sampled.y())}));
    }
    EXPECT_EQ(form->statusPanelText(1),
              geo::temperaturePanelText(scale.TemperatureAtPixel(form->ScaleBitmap, 20, 201)));
    EXPECT_FALSE(form->statusPanelText(1).isEmpty());
    form->ImageScaleMouseLeave();
    EXPECT_EQ(panels(*form), (QStringList{"", "", "", "X: 20, Y: 201"}));
}

TEST(ChartWindow, ScaleRangeChangesRepaintOnceAfterTheLast) {
    WindowRig rig;
    auto form = shownWindow(rig);
    form->OpenChart(sampleChart());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->TimerUpdateRange->isActive(); }, 3000));
    // The slider stands along the scale, 11 pixels beyond each end.
    EXPECT_EQ(form->TrackBarTemperature->y(), form->ImageScale->y() - 11);
    EXPECT_EQ(form->TrackBarTemperature->height(), form->ImageScale->height() + 22);

    const qint64 before = form->ImageDisplay->picture().cacheKey();
    form->UpDownScaleMax->setValue(70);
    form->UpDownScaleMin->setValue(40);
    form->UpDownScaleMax->setValue(75);
    EXPECT_TRUE(form->TimerUpdateRange->isActive());
    EXPECT_EQ(form->ImageDisplay->picture().cacheKey(), before); // not yet
    EXPECT_EQ(form->TrackBarTemperature->minimum(), 40);
    EXPECT_EQ(form->TrackBarTemperature->maximum(), 75);
    EXPECT_EQ(form->TrackBarTemperature->value(), 57);
    EXPECT_EQ(form->LabelTemp->text(), QStringLiteral("58\u00B0F")); // mirrored: 75 + 40 - 57
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->TimerUpdateRange->isActive(); }, 3000));
    // A chart with nothing drawn on it keeps its picture: the colours do not change with the range.
    EXPECT_EQ(form->ImageDisplay->picture().cacheKey(), before);

    // The slider's top reads the scale's maximum.
    form->TrackBarTemperature->setValue(40);
    EXPECT_EQ(form->LabelTemp->text(), QStringLiteral("75\u00B0F"));
    // The new range reaches the lookup.
    const geo::TemperatureScale scale = expectedScale(40, 75);
    form->ImageDisplayMouseMove(form->ImageScale, {}, QPoint(15, 0));
    EXPECT_EQ(form->statusPanelText(1),
              geo::temperaturePanelText(scale.TemperatureAtPixel(form->ScaleBitmap, 15, 0)));
}

TEST(ChartWindow, LogoIsDrawnThroughItsMask) {
    WindowRig rig;
    auto form = shownWindow(rig);
    const QImage logo = form->ImageLogo->pixmap().toImage();
    ASSERT_FALSE(logo.isNull());
    EXPECT_TRUE(logo.hasAlphaChannel());
    // Corners are transparent, the word in the middle is not.
    EXPECT_EQ(qAlpha(logo.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(logo.pixel(logo.width() - 1, 0)), 0);
    int opaque = 0;
    for (int x = 0; x < logo.width(); ++x)
        opaque += qAlpha(logo.pixel(x, logo.height() / 4)) == 255;
    EXPECT_GT(opaque, 20);
    EXPECT_EQ(form->ImageLogo->alignment(), Qt::AlignCenter);
    EXPECT_EQ(form->ImageLogo->geometry(), form->ScrollBox->viewport()->rect());
}

TEST(ChartWindow, MessageBoxShowsCarriageReturnsAsLineBreaks) {
    ensureApplication();
    platform::QtMessageBoxes boxes;
    platform::MessageBoxRequest request;
    request.caption = app::wrongExtensionCaption("/x/area-fl01.bmp");
    request.text = app::wrongExtensionText();
    const std::unique_ptr<QMessageBox> box(boxes.createBox(request));
    EXPECT_FALSE(box->text().contains(u'\r'));
    EXPECT_TRUE(box->text().contains("for area 5:\n\narea5.gif\n\nIf the chart file"));
    EXPECT_EQ(box->windowTitle(), request.caption);
}

TEST(ChartWindow, AtItsSmallestNothingOverlaps) {
    WindowRig rig;
    auto form = shownWindow(rig);
    EXPECT_FALSE(form->windowIcon().isNull());
    // Flipped charts show the arrows, which must fit between Close and the status bar.
    form->BitBtnLeft->show();
    form->BitBtnRight->show();
    form->resize(320, 240);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->size(), form->minimumSize());
    const auto inClient = [&](QWidget* w) {
        return QRect(w->mapTo(form.get(), QPoint(0, 0)), w->size());
    };
    const QRect status = inClient(form->StatusBar);
    EXPECT_LE(status.bottom(), form->rect().bottom());
    QList<QRect> panels;
    for (QLabel* panel : form->StatusBar->findChildren<QLabel*>()) {
        if (!panel->objectName().startsWith("StatusBarPanel")) continue;
        const QRect r = inClient(panel);
        EXPECT_TRUE(status.contains(r)) << panel->objectName().toStdString();
        for (const QRect& other : panels)
            EXPECT_FALSE(r.intersects(other)) << panel->objectName().toStdString();
        panels.append(r);
    }
    EXPECT_EQ(panels.size(), 4);
    const QWidget* column[] = {form->UpDownScaleMax,      form->ImageScale,
                               form->UpDownScaleMin,      form->SpeedButtonMeasure,
                               form->SpeedButtonWaypoint, form->ButtonClose,
                               form->BitBtnLeft,          form->BitBtnRight};
    for (const QWidget* a : column) {
        const QRect r(a->mapTo(form.get(), QPoint(0, 0)), a->size());
        EXPECT_FALSE(r.intersects(status)) << a->objectName().toStdString();
        EXPECT_TRUE(form->rect().contains(r)) << a->objectName().toStdString();
    }
    const QRect close = inClient(form->ButtonClose);
    EXPECT_LT(close.bottom(), inClient(form->BitBtnLeft).top());
    EXPECT_FALSE(inClient(form->TabControlImages).intersects(inClient(form->ImageScale)));
}
