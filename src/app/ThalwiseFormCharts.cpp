// Charts and their display: areas, opening and intake, metadata, zoom, repaint, temperature scale.

#include "app/ThalwiseForm.h"

#include "app/AnnotatedImage.h"
#include "app/BreakLayerCache.h"
#include "app/ChartFiles.h"
#include "app/HighlightLayerCache.h"
#include "app/HistoryPlot.h"
#include "app/IsothermLayerCache.h"
#include "app/RegistryVariables.h"
#include "app/ScaleTicks.h"
#include "app/SessionEnd.h"
#include "app/vekImage.h"
#include "archive/ArchiveTidyUp.h"
#include "archive/ChartAge.h"
#include "archive/ChartDecoding.h"
#include "archive/ChartIntake.h"
#include "dialogs/AddText.h"
#include "dialogs/ArchiveManagerForm.h"
#include "dialogs/PrintForm.h"
#include "geo/ChartMetadata.h"
#include "geo/TemperatureBreaks.h"
#include "geo/ThalwiseUtils.h"
#include "geo/WaypointTable.h"
#include "geo/vekMapping.h"
#include "gif/GIFImage.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>

namespace {

// The scale's up-downs hold whole °F, the scale's own steps; while temperatures read in °C
// each tells its value in °C as well.
void showScaleEndToolTips(QSpinBox* scaleMin, QSpinBox* scaleMax, bool celsius) {
    for (QSpinBox* spin : {scaleMin, scaleMax})
        spin->setToolTip(geo::TemperatureScale::scaleEndToolTip(spin->value(), celsius));
}
} // namespace

void TFormThalwise::ClearChartImages() {
    ChartImages.clear(); // each entry's bitmap goes with it
    CurrentImageIndex = -1;
    m_history.clear();
    m_historyPoints.clear();
    m_pinnedPixel.reset();
    if (PlotTemperatureHistory) PlotTemperatureHistory->clear();
    if (m_statusPanels[1]) m_statusPanels[1]->setToolTip(QString());
}

void TFormThalwise::ApplyZoom() {
    updateActions();
    // The composed picture is the chart's size at every zoom: only its scale on screen changes.
    if (m_displayPicture.isNull())
        ShowCurrentChart();
    else
        showDisplayPicture();
}

void TFormThalwise::MenuViewZoomClick() {
    // Either item toggles the view; the centre of the view stays where it is.
    setZoom(Zoomed ? view::NormalPercent : view::ZoomedPercent);
}

void TFormThalwise::MenuViewNormalClick() {
    if (ZoomPercent->Value == view::NormalPercent)
        MenuViewZoomClick();
    else
        setZoom(view::NormalPercent);
}

void TFormThalwise::MenuViewFitClick() {
    setZoom(view::FitToWindow);
}

void TFormThalwise::MenuChooseAreaClick(QAction* item) {
    if (!item) return;
    DefaultArea->Value = item->data().toInt();
    CheckDefaultAreaItem();
}

void TFormThalwise::TimerUpdateRangeTimer() {
    TimerUpdateRange->stop();
    RepaintChart();
}

// ---------------------------------------------------------------------------------------------
// Chart areas

void TFormThalwise::showMessage(const QString& text) {
    platform::MessageBoxRequest request;
    request.caption = ApplicationTitle;
    request.text = text;
    m_services.messageBoxes->show(request);
}

void TFormThalwise::BuildAreaMenu() {
    if (m_areaGroup) return; // filled once
    m_areaGroup = new QActionGroup(this);
    m_areaGroup->setObjectName(QStringLiteral("AreaGroup"));
    m_areaGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (int i = geo::FirstCalibratedArea; i <= geo::LastCalibratedArea; ++i) {
        auto* item = new QAction(geo::areaDisplayName(i), this);
        item->setObjectName(QStringLiteral("MenuChooseArea") + geo::areaCode(i));
        item->setCheckable(true);
        item->setData(i);
        m_areaGroup->addAction(item);
        MenuDefaultArea->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] {
            MenuChooseAreaClick(item);
            updateActions();
        });
    }
}

void TFormThalwise::SelectArea(int index) {
    // The caption names the area, whether a chart or a flip made it current.
    setWindowTitle(app::chartCaption(geo::areaCode(index)));
    CurrentArea = index;
    DefaultArea->Value = index;
    CheckDefaultAreaItem();
    LoadAnnotations();
    // Areas without a calibration (none, and the extra area) map nothing.
    m_calibration = geo::Calibration::forArea(index);
    if (!m_calibration.Valid)
        showMessage(QCoreApplication::translate("ChartFiles", app::AreaNotRecognisedWarning));
}

bool TFormThalwise::GeoToPixel(float latitude, float longitude, int& x, int& y) const {
    return ::GeoToPixel(m_calibration, latitude, longitude, x, y);
}

bool TFormThalwise::PixelToGeo(int x, int y, GeoPosition& position) const {
    return ::PixelToGeo(m_calibration, x, y, position);
}

// ---------------------------------------------------------------------------------------------
// Chart loading

bool TFormThalwise::CheckChartExtension(const QString& path) {
    switch (app::chartExtensionOf(path)) {
    case app::ChartExtension::Missing: // OpenChart says that it is gone
    case app::ChartExtension::Gif:
        return true;
    case app::ChartExtension::Other:
        break;
    }
    platform::MessageBoxRequest request;
    request.caption = app::wrongExtensionCaption(path);
    request.text = app::wrongExtensionText();
    request.buttons = unsigned(platform::Button::Ok);
    m_services.messageBoxes->show(request);
    return false;
}

void TFormThalwise::OpenChart(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        m_services.messageBoxes->showError(app::chartGoneText(path));
        return;
    }
    // Decoded once, before anything changes: a file that fails leaves the chart on screen.
    TGIFImage chart;
    QImage picture;
    QStringList warnings;
    try {
        warnings = archive::loadChartFile(chart, path);
        picture = chart.bitmap();
    } catch (const GIFException& error) {
        m_services.messageBoxes->showError(app::chartErrorText(path, error.message()));
        return;
    } catch (const std::bad_alloc&) {
        m_services.messageBoxes->showError(app::chartErrorText(
            path, QCoreApplication::translate("ChartFiles", app::OutOfMemoryText)));
        return;
    }
    if (picture.isNull()) return; // nothing to show: the chart on screen stays as it is
    // Filed first, applied after: an intake that fails leaves the chart on screen under its own
    // scale and heading correction, not the new chart's.
    const QString timestamp = geo::readChartMetadata(gif::firstFrameCommentTexts(chart)).timestamp;
    const auto whole = archive::leavesPixelsUnset(chart, warnings)
                           ? archive::ChartPicture::EndsEarly
                           : archive::ChartPicture::Whole;
    const std::optional<QString> shown = ArchiveIntake(path, timestamp, whole);
    if (!shown || !QFileInfo(*shown).isFile()) return;
    ChartTimestamp = applyChartMetadata(chart);
    displayChart(*shown, picture, archive::chartPixelTemperatures(chart));
    rememberChart(CurrentChartPath);
    if (whole == archive::ChartPicture::EndsEarly)
        showMessage(archive::incompleteChartMessage(path));
}

QString TFormThalwise::ReadChartMetadata(const QString& path) {
    if (!QFileInfo(path).isFile()) return QString();
    TGIFImage chart;
    chart.LoadFromFile(path);
    return applyChartMetadata(chart);
}

QString TFormThalwise::applyChartMetadata(const TGIFImage& chart) {
    m_chartCommentTexts = gif::firstFrameCommentTexts(chart);
    const geo::ChartMetadata metadata = geo::readChartMetadata(m_chartCommentTexts, QLocale());
    applyChartMetadata(metadata);
    return metadata.timestamp;
}

void TFormThalwise::applyChartMetadata(const geo::ChartMetadata& metadata) {
    ShowScaleControls(true);
    LabelTemp->setToolTip(QString());
    if (metadata.hasRange) {
        // Each spinner applies the scale through its change handler. The spinners widen their
        // ranges to take the chart's own values: a clamped limit would read every temperature
        // of a chart outside the usual ranges wrong.
        for (const auto& [spin, range] :
             {std::pair{UpDownScaleMin, geo::scaleMinSpinner(metadata.scaleMin)},
              std::pair{UpDownScaleMax, geo::scaleMaxSpinner(metadata.scaleMax)}}) {
            spin->setRange(range.lowest, range.highest);
            spin->setValue(range.value);
        }
        ShowScaleControls(false);
        // The tool-tip's line break is a carriage return; the tool-tip control wants a newline.
        QString toolTip = geo::chartToolTip(metadata, QLocale(), TemperatureCelsius->Value);
        LabelTemp->setToolTip(toolTip.replace(u'\r', u'\n'));
    }
    MagneticVariation = metadata.magneticVariation;
    HasVariation = metadata.hasVariation;
    MagneticReadout->Value = metadata.hasVariation;
    ShowHeadingFormat();
    // Headings may have changed between magnetic and true.
    RefreshWaypointGrid();
}

std::optional<QString> TFormThalwise::ArchiveIntake(const QString& path, const QString& timestamp,
                                                    archive::ChartPicture picture) {
    return archive::archiveIntake(*m_services.fileSystem, path, timestamp, ArchiveFolder, picture);
}

void TFormThalwise::DisplayChartFile(const QString& path) {
    if (!QFileInfo(path).isFile()) return;
    TGIFImage chart;
    chart.LoadFromFile(path);
    displayChart(path, chart.bitmap(), archive::chartPixelTemperatures(chart));
}

void TFormThalwise::displayChart(const QString& path, const QImage& picture,
                                 std::shared_ptr<const geo::PixelTemperatures> temperatures) {
    // A chart without a picture adds nothing and leaves the chart on screen as it was.
    if (picture.isNull()) return;
    ImageLogo->hide();
    LabelEmptyView->hide();
    ApplicationTitle = app::chartApplicationTitle(path);
    setWindowIconText(ApplicationTitle);
    const int area = geo::chartAreaOfFile(path);
    if (area == geo::NoArea)
        showMessage(QCoreApplication::translate("ChartFiles", app::UnrecognisedAreaMessage));
    CurrentChartPath = app::fullChartPath(path);
    SelectArea(area);
    SaveAsName = app::saveAsNameFor(CurrentChartPath, geo::areaCode(CurrentArea));
    ClearChartImages();
    CurrentImageIndex =
        ChartImages.add(path, picture, m_chartCommentTexts, std::move(temperatures));
    ShowCurrentChart();
}

void TFormThalwise::ShowScaleControls(bool visible) {
    for (QWidget* control :
         {static_cast<QWidget*>(LabelMin), static_cast<QWidget*>(LabelMax),
          static_cast<QWidget*>(EditScaleMin), static_cast<QWidget*>(EditScaleMax),
          static_cast<QWidget*>(UpDownScaleMin), static_cast<QWidget*>(UpDownScaleMax)})
        if (control) control->setVisible(visible);
}

void TFormThalwise::MenuFileOpenOneClick() {
    if (AnnotationsModified) SaveIfModified();
    OpenDialog.folder = DataFolder->Value;
    OpenDialog.filterIndex = app::openFilterIndex(DataFilterIndex->Value);
    const std::optional<QString> chosen = m_services.fileDialogs->openFile(OpenDialog);
    if (!chosen) return;
    OpenDialog.fileName = QFileInfo(*chosen).fileName();
    DataFolder->Value = app::folderOf(*chosen);
    DataFilterIndex->Value = OpenDialog.filterIndex;
    clearFlipTabs();
    if (CheckChartExtension(*chosen)) OpenChart(*chosen);
}

// ---------------------------------------------------------------------------------------------
// Chart display

void TFormThalwise::ShowCurrentChart() {
    if (CurrentImageIndex < 0 || CurrentImageIndex >= ChartImages.size()) return;
    const ChartImage& chart = ChartImages.at(CurrentImageIndex);
    if (chart.bitmap.isNull()) return;
    // Kept as 32-bit RGB: the repaint copies it as it is and the temperature lookup reads it.
    BaseBitmap = chart.bitmap.convertToFormat(QImage::Format_RGB32);
    // Decided here, once per chart shown: its own values when it carries them, else its colours.
    m_chartTemperatures =
        geo::ChartTemperatures(BaseBitmap, m_temperatureScale, chart.temperatures);
    RepaintChart();
    updateChartAge();
}

std::optional<QDateTime> TFormThalwise::chartTime() const {
    if (CurrentImageIndex < 0 || CurrentImageIndex >= ChartImages.size()) return std::nullopt;
    // A chart of the archive is named after its time stamp; a chart shown in place, or flipped
    // under another name, has the time stamp of its comment.
    const std::optional<QDateTime> named =
        archive::chartTimeOf(QFileInfo(ChartImages.at(CurrentImageIndex).path).completeBaseName());
    return named ? named : archive::chartTimeOf(ChartTimestamp);
}

void TFormThalwise::updateChartAge() {
    const std::optional<archive::ChartAge> age =
        archive::chartAge(chartTime(), m_services.clock ? m_services.clock->now() : QDateTime());
    if (!age) {
        LabelChartAge->clear();
        LabelChartAge->setToolTip(QString());
        TimerChartAge->stop();
        return;
    }
    LabelChartAge->setText(age->text);
    // Stale water is said in the desktop's warning colour, not only in words.
    LabelChartAge->setStyleSheet(age->stale ? QStringLiteral("color: #c00000; font-weight: bold;")
                                            : QString());
    // The whole text even where a narrow window cuts it short.
    LabelChartAge->setToolTip(age->stale ? age->text + u'\n' +
                                               tr("More than two days old: the water may have "
                                                  "changed since.")
                                         : age->text);
    if (!TimerChartAge->isActive()) TimerChartAge->start();
}

StoredFont TFormThalwise::annotationFont() const {
    StoredFont font;
    if (Font) Font->ApplyTo(&font);
    return font;
}

bool TFormThalwise::marksDrawnIn() const {
    return CurrentImageIndex >= 0 && CurrentImageIndex < ChartImages.size() &&
           app::isAnnotatedPicture(ChartImages.at(CurrentImageIndex).comments);
}

void TFormThalwise::RepaintChart() {
    const StoredFont font = annotationFont();
    display::Overlays overlays;
    // A picture saved with its marks drawn in does not get them a second time.
    const QList<AnnotationLine> noLines;
    const QList<AnnotationText> noTexts;
    const bool drawnIn = marksDrawnIn();
    overlays.lines = drawnIn ? &noLines : &AnnotationLines;
    overlays.texts = drawnIn ? &noTexts : &AnnotationTexts;
    overlays.font = toQFont(font);
    overlays.fontColour = colourOf(font);
    overlays.outlined = FontOutlined && FontOutlined->Value;
    overlays.homeLat = HomeLat ? HomeLat->Value : 0.0;
    overlays.homeLon = HomeLon ? HomeLon->Value : 0.0;
    overlays.waypoints = &WaypointList;
    if (m_calibration.Valid) {
        overlays.geoToPixel = [calibration = m_calibration](float lat, float lon, int& x, int& y) {
            return ::GeoToPixel(calibration, lat, lon, x, y);
        };
    }
    overlays.markerIcon = WaypointIcon;
    const std::shared_ptr<const geo::HighlightLayer> highlight = currentHighlightLayer();
    overlays.highlight = highlight.get();
    const std::shared_ptr<const app::BreakLineLayer> breaks = currentBreakLayer();
    if (breaks) overlays.breakLines = &breaks->lines;
    const std::shared_ptr<const app::IsothermLayer> isotherms = currentIsothermLayer();
    if (isotherms) {
        overlays.isotherms = &isotherms->isotherms;
        overlays.isothermLabels = &isotherms->labels;
    }
    overlays.celsius = TemperatureCelsius && TemperatureCelsius->Value;
    // The busy cursor for the layers that take their time; a plain chart is composed at once
    // (and the first chart is not held up by loading the cursor).
    const bool busy = overlays.highlight || overlays.breakLines || overlays.isotherms;
    if (busy) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    overlays.markersInPicture = false; // drawn over the view at screen size (paintMarkers)
    m_markers = display::chartMarkers(overlays);
    m_markerFont = overlays.font;
    m_markerColour = overlays.fontColour;
    m_displayPicture = display::RepaintChart(BaseBitmap, overlays);
    showDisplayPicture();
    AnnotationsModified = !AnnotationLines.isEmpty() || !AnnotationTexts.isEmpty();
    updateActions();
    if (busy) QGuiApplication::restoreOverrideCursor();
}

QImage TFormThalwise::pictureWithMarkers() const {
    // The markers are the picture's last layer: drawn on the composed chart they give what
    // composing with them would.
    QImage picture = m_displayPicture;
    if (picture.isNull() || m_markers.empty()) return picture;
    QPainter painter(&picture);
    painter.setFont(m_markerFont);
    for (const display::Marker& marker : m_markers)
        display::drawMarker(painter, marker.tip, marker, WaypointIcon, m_markerColour);
    return picture;
}

void TFormThalwise::paintMarkers(QPainter& painter, view::Scale scale) const {
    // Screen size at every zoom: at 65 % a pin, its number and home read as well as at 100 %.
    // The tip stands in the middle of its chart pixel's view pixels.
    const int half = scale.enlarges() ? scale.num / scale.den / 2 : 0;
    painter.setFont(m_markerFont);
    for (const display::Marker& marker : m_markers)
        display::drawMarker(painter, view::viewPosition(marker.tip, scale) + QPoint(half, half),
                            marker, WaypointIcon, m_markerColour);
}

void TFormThalwise::showEmptyView(const QString& note) {
    if (CurrentImageIndex >= 0 || !ChartImages.isEmpty()) {
        ClearChartImages();
        clearFlipTabs();
        BaseBitmap = QImage();
        m_displayPicture = QImage();
        m_markers.clear();
        showDisplayPicture();
        refreshTemperatureHistory();
        updateChartAge();
        CurrentChartPath.clear();
    }
    ImageLogo->show();
    LabelEmptyView->setText(note);
    LabelEmptyView->setVisible(!note.isEmpty());
    updateActions();
}

// The display picture on screen at the scale of the view; the readouts never read it.
void TFormThalwise::showDisplayPicture() {
    ImageDisplay->clearRubberBand();
    ImageDisplay->setPicture(m_displayPicture, viewScale());
    if (m_displayPicture.isNull()) ImageDisplay->resize(0, 0);
    rereadUnderPointer();
}

view::Scale TFormThalwise::viewScale() const {
    const int zoom = ZoomPercent ? ZoomPercent->Value : view::NormalPercent;
    if (zoom != view::FitToWindow) return view::Scale::percent(zoom);
    // The room the view has without scroll bars: a fitted chart needs none.
    return view::fitScale(BaseBitmap.size(), ScrollBox->maximumViewportSize());
}

void TFormThalwise::refitChart() {
    if (!ZoomPercent || ZoomPercent->Value != view::FitToWindow || m_displayPicture.isNull())
        return;
    if (viewScale() == ImageDisplay->viewScale()) return;
    showDisplayPicture();
}

bool TFormThalwise::FormMouseWheel(int wheelDelta, std::optional<QPoint> viewPoint,
                                   Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::ControlModifier) {
        // With Ctrl the wheel zooms in steps, one a notch (a touch pad's small turns add up).
        m_wheelZoom += wheelDelta;
        for (; m_wheelZoom >= 120; m_wheelZoom -= 120)
            zoomStep(1, viewPoint);
        for (; m_wheelZoom <= -120; m_wheelZoom += 120)
            zoomStep(-1, viewPoint);
        updateActions();
        return true;
    }
    const bool wanted = display::zoomAfterWheel(wheelDelta, Zoomed);
    if (wanted != Zoomed) setZoom(wanted ? view::ZoomedPercent : view::NormalPercent, viewPoint);
    return true;
}

QPoint TFormThalwise::viewCentre() const {
    const QRect view = ScrollBox->viewport()->rect();
    return QPoint(view.width() / 2, view.height() / 2); // truncated
}

void TFormThalwise::setZoom(int zoom, std::optional<QPoint> viewPoint) {
    const QPoint keep = viewPoint.value_or(viewCentre());
    const view::Scale before = ImageDisplay->viewScale();
    const QPoint under = ImageDisplay->mapFrom(ScrollBox->viewport(), keep);
    ZoomPercent->Value = zoom;
    Zoomed = zoom == view::ZoomedPercent;
    ApplyZoom();
    const view::Scale after = ImageDisplay->viewScale();
    if (before == after || m_displayPicture.isNull()) return;
    // The scroll bars take their new ranges from the picture's new size at once.
    ScrollBox->horizontalScrollBar()->setValue(
        view::scrollToKeep(under.x(), before, after, keep.x()));
    ScrollBox->verticalScrollBar()->setValue(
        view::scrollToKeep(under.y(), before, after, keep.y()));
    rereadUnderPointer();
}

void TFormThalwise::zoomStep(int direction, std::optional<QPoint> viewPoint) {
    setZoom(view::stepPercent(viewScale(), direction), viewPoint);
}

void TFormThalwise::LoadLogo() {
    QFile resource(QStringLiteral(":/LOGOGIF"));
    if (!resource.open(QIODevice::ReadOnly)) return;
    TGIFImage logo;
    try {
        logo.LoadFromBytes(resource.readAll());
    } catch (const GIFException&) {
        return; // a damaged logo leaves the chart area empty
    }
    QImage picture(logo.width(), logo.height(), QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull()) return;
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        logo.draw(painter, picture.rect()); // transparent pixels stay clear
    }
    ImageLogo->setAlignment(Qt::AlignCenter);
    ImageLogo->setPixmap(QPixmap::fromImage(picture));
}

// ---------------------------------------------------------------------------------------------
// Temperature scale

void TFormThalwise::TempScaleChange() {
    TimerUpdateRange->stop();
    if (ScaleBitmap.isNull()) return;
    const geo::SliderPlacement slider = geo::TemperatureScale::placeSlider(
        ImageScale->y(), ImageScale->height(), UpDownScaleMin->value(), UpDownScaleMax->value());
    TrackBarTemperature->setGeometry(TrackBarTemperature->x(), slider.top,
                                     TrackBarTemperature->width(), slider.height);
    TrackBarTemperature->setRange(slider.minimum, slider.maximum);
    TrackBarTemperature->setValue(slider.position);
    TrackBarTemperatureChange(); // the label follows a new range even when the position stays
    updateScaleNumbers();
    showScaleEndToolTips(UpDownScaleMin, UpDownScaleMax,
                         TemperatureCelsius && TemperatureCelsius->Value);
    m_temperatureScale.TempScaleChange(ScaleBitmap, UpDownScaleMin->value(),
                                       UpDownScaleMax->value());
    m_chartTemperatures.setScale(m_temperatureScale);
    // Charts of the history without a range of their own are read under the new one. (The
    // break lines follow with the repaint the range's timer makes.)
    if (m_history.isActive()) {
        m_history.setFallbackRange(UpDownScaleMin->value(), UpDownScaleMax->value());
        if (m_pinnedPixel) plotPinnedHistory();
    }
    TimerUpdateRange->start();
}

void TFormThalwise::TrackBarTemperatureChange() {
    LabelTemp->setText(geo::TemperatureScale::sliderLabelText(
        TrackBarTemperature->minimum(), TrackBarTemperature->maximum(),
        TrackBarTemperature->value(), TemperatureCelsius && TemperatureCelsius->Value));
    // The highlight follows the slider as soon as its layer is ready (at once when it was
    // computed before); until then the chart shows the last one.
    if (currentHighlightKey() && currentHighlightLayer()) RepaintChart();
}

void TFormThalwise::updateScaleNumbers() {
    // Numbers at least a line and a half apart, none within half a line of the strip's ends.
    const int line = ImageScale->fontMetrics().height();
    QList<TvekImage::Label> labels;
    for (const app::ScaleTick& tick :
         app::scaleTicks(UpDownScaleMin->value(), UpDownScaleMax->value(),
                         TemperatureCelsius && TemperatureCelsius->Value, ScaleBitmap.height(),
                         line * 3 / 2, line / 2))
        labels.append({tick.row, tick.text});
    ImageScale->setLabels(labels);
}

void TFormThalwise::ShowTemperatureUnit() {
    const bool celsius = TemperatureCelsius->Value;
    TrackBarTemperatureChange();
    updateScaleNumbers();
    showScaleEndToolTips(UpDownScaleMin, UpDownScaleMax, celsius);
    // The chart's range tool-tip, when its comment carries one.
    const geo::ChartMetadata metadata =
        geo::readChartMetadata(m_chartCommentTexts, QLocale(), celsius);
    LabelTemp->setToolTip(metadata.hasRange ? QString(metadata.toolTip).replace(u'\r', u'\n')
                                            : QString());
    // Only a panel that reads a temperature now; the reading it shows is kept in °F.
    if (!statusPanelText(1).isEmpty())
        setStatusPanelText(1, geo::temperaturePanelText(m_panelTemperature, QLocale(), celsius));
    RefreshWaypointGrid();
    // The history's plot and tool-tip read in the unit shown as well.
    PlotTemperatureHistory->setCelsius(celsius);
    if (m_history.isActive() && !m_historyPoints.empty())
        m_statusPanels[1]->setToolTip(app::historyToolTip(m_historyPoints, celsius));
}

void TFormThalwise::ImageScaleMouseLeave() {
    for (int panel = 0; panel < 3; ++panel)
        setStatusPanelText(panel, QString());
}
