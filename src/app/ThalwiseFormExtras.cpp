// Extras: the temperature history, degrees Celsius, the temperature breaks, the isotherms and
// the highlight of the slider's temperature.

#include "app/ThalwiseForm.h"

#include "app/BreakLayerCache.h"
#include "app/HighlightLayerCache.h"
#include "app/HistoryPlot.h"
#include "app/IsothermLayerCache.h"
#include "app/RegistryVariables.h"
#include "app/SessionEnd.h"
#include "dialogs/BreakThresholdForm.h"
#include "dialogs/IsothermForm.h"
#include "geo/TemperatureBreaks.h"
#include "geo/ThalwiseUtils.h"
#include "geo/vekMapping.h"
#include "gif/GIFImage.h"

#include <QAction>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QSpinBox>

void TFormThalwise::createHistoryPanel() {
    DockTemperatureHistory = new QDockWidget(tr("Temperature history"), this);
    DockTemperatureHistory->setObjectName(QStringLiteral("DockTemperatureHistory"));
    PlotTemperatureHistory = new THistoryPlot(DockTemperatureHistory);
    DockTemperatureHistory->setWidget(PlotTemperatureHistory);
    addDockWidget(Qt::RightDockWidgetArea, DockTemperatureHistory);
    DockTemperatureHistory->hide();
    PopupMenuChart = new QMenu(this);
    PopupMenuChart->setObjectName(QStringLiteral("PopupMenuChart"));
    PopupMenuChartPin = PopupMenuChart->addAction(tr("&Pin here"));
    PopupMenuChartPin->setObjectName(QStringLiteral("PopupMenuChartPin"));
    connect(PopupMenuChartPin, &QAction::triggered, this, [this] { PopupMenuChartPinClick(); });
    PopupMenuChartUnpin = PopupMenuChart->addAction(tr("&Follow the pointer"));
    PopupMenuChartUnpin->setObjectName(QStringLiteral("PopupMenuChartUnpin"));
    connect(PopupMenuChartUnpin, &QAction::triggered, this, [this] { PopupMenuChartUnpinClick(); });
}

void TFormThalwise::refreshTemperatureHistory() {
    m_history.setCharts(ChartImages, ScaleBitmap, UpDownScaleMin->value(), UpDownScaleMax->value());
    if (!m_history.isActive()) return;
    PlotTemperatureHistory->setCelsius(TemperatureCelsius && TemperatureCelsius->Value);
    if (m_pinnedPixel)
        plotPinnedHistory();
    else if (!m_historyPoints.empty())
        followPointerInHistory(LastPointerPoint, chartPixelPositionText(LastPointerPoint));
    else
        PlotTemperatureHistory->clear(tr("Point at the water to see its temperature on each "
                                         "chart, or right-click and pin a spot."));
}

QString TFormThalwise::chartPixelPositionText(QPoint pixel) const {
    GeoPosition at;
    if (!PixelToGeo(pixel.x(), pixel.y(), at)) return QString();
    return geo::positionPanelText(at.Latitude, at.Longitude, DecimalDegrees->Value);
}

void TFormThalwise::followPointerInHistory(QPoint pixel, const QString& where) {
    m_history.readAt(pixel.x(), pixel.y(), m_historyPoints);
    // The temperature panel's tool-tip is always the pointer's spot; the plot is, unless a
    // spot is pinned.
    m_statusPanels[1]->setToolTip(
        app::historyToolTip(m_historyPoints, TemperatureCelsius && TemperatureCelsius->Value));
    if (!m_pinnedPixel && DockTemperatureHistory->isVisible())
        PlotTemperatureHistory->setPoints(m_historyPoints, where);
}

void TFormThalwise::plotPinnedHistory() {
    std::vector<app::HistoryPoint> pinned;
    m_history.readAt(m_pinnedPixel->x(), m_pinnedPixel->y(), pinned);
    PlotTemperatureHistory->setPoints(pinned,
                                      tr("Pinned: %1").arg(chartPixelPositionText(*m_pinnedPixel)));
}

void TFormThalwise::PopupMenuChartPinClick() {
    m_pinnedPixel = m_menuPixel;
    plotPinnedHistory();
}

void TFormThalwise::PopupMenuChartUnpinClick() {
    m_pinnedPixel.reset();
    followPointerInHistory(LastPointerPoint, chartPixelPositionText(LastPointerPoint));
}

void TFormThalwise::MenuViewCelsiusClick() {
    TemperatureCelsius->Value = !TemperatureCelsius->Value;
    ShowTemperatureUnit();
    // The isotherms' labels read in the unit shown.
    if (IsothermsShown->Value) RepaintChart();
}

void TFormThalwise::MenuViewBreaksClick() {
    TemperatureBreaks->Value = !TemperatureBreaks->Value;
    RepaintChart();
}

std::optional<double> TFormThalwise::askBreakThreshold(double current) {
    TFormBreakThreshold dialog(this);
    dialog.setThreshold(current);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.threshold();
}

void TFormThalwise::MenuViewBreakThresholdClick() {
    const std::optional<double> chosen = askBreakThreshold(BreakThreshold->Value);
    if (!chosen || !geo::isBreakThreshold(*chosen)) return;
    BreakThreshold->Value = *chosen;
    // Choosing a threshold is asking to see the breaks.
    TemperatureBreaks->Value = true;
    RepaintChart();
}

std::optional<app::BreakLayerKey> TFormThalwise::currentBreakLayerKey() const {
    if (!TemperatureBreaks || !TemperatureBreaks->Value || BaseBitmap.isNull() ||
        !m_calibration.Valid || CurrentImageIndex < 0 || CurrentImageIndex >= ChartImages.size())
        return std::nullopt;
    app::BreakLayerKey key;
    key.chart = ChartImages.at(CurrentImageIndex).path;
    key.scaleMin = UpDownScaleMin->value();
    key.scaleMax = UpDownScaleMax->value();
    key.area = m_calibration.Area;
    key.threshold = BreakThreshold->Value;
    return key;
}

std::shared_ptr<const app::BreakLineLayer> TFormThalwise::currentBreakLayer() {
    const std::optional<app::BreakLayerKey> key = currentBreakLayerKey();
    if (!key) return nullptr;
    std::shared_ptr<const app::BreakLineLayer> layer =
        m_breakLayers->layer(*key, m_chartTemperatures, m_calibration);
    if (layer && (layer->width != BaseBitmap.width() || layer->height != BaseBitmap.height()))
        return nullptr;
    return layer;
}

void TFormThalwise::MenuViewHighlightClick() {
    HighlightTemperature->Value = !HighlightTemperature->Value;
    RepaintChart();
}

std::optional<app::HighlightKey> TFormThalwise::currentHighlightKey() const {
    if (!HighlightTemperature || !HighlightTemperature->Value || BaseBitmap.isNull() ||
        CurrentImageIndex < 0 || CurrentImageIndex >= ChartImages.size())
        return std::nullopt;
    app::HighlightKey key;
    key.chart = ChartImages.at(CurrentImageIndex).path;
    key.scaleMin = UpDownScaleMin->value();
    key.scaleMax = UpDownScaleMax->value();
    // The slider's temperature: its top reads the scale's maximum.
    key.temperature = TrackBarTemperature->maximum() + TrackBarTemperature->minimum() -
                      TrackBarTemperature->value();
    return key;
}

std::shared_ptr<const geo::HighlightLayer> TFormThalwise::currentHighlightLayer() {
    const std::optional<app::HighlightKey> key = currentHighlightKey();
    if (!key) return nullptr;
    std::shared_ptr<const geo::HighlightLayer> layer =
        m_highlightLayers->layer(*key, m_chartTemperatures);
    if (layer && (layer->width != BaseBitmap.width() || layer->height != BaseBitmap.height()))
        return nullptr;
    return layer;
}

std::optional<TFormThalwise::IsothermRequest>
TFormThalwise::askIsotherms(const IsothermRequest& current) {
    TFormIsotherms dialog(this);
    dialog.setRequest(current.temperatures, current.shown, TemperatureCelsius->Value);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return IsothermRequest{dialog.temperatures(), dialog.shown()};
}

void TFormThalwise::MenuViewIsothermsClick() {
    const std::optional<IsothermRequest> chosen =
        askIsotherms({Isotherms->Value, IsothermsShown->Value});
    if (chosen) {
        // Temperatures written without a unit are in the unit shown now, and stay in it when
        // the unit shown changes.
        Isotherms->Value =
            app::isothermTextWithUnit(chosen->temperatures, TemperatureCelsius->Value);
        IsothermsShown->Value = chosen->shown;
    }
    updateActions();
    RepaintChart();
}

std::optional<app::IsothermLayerKey> TFormThalwise::currentIsothermLayerKey() const {
    if (!IsothermsShown || !IsothermsShown->Value || BaseBitmap.isNull() || CurrentImageIndex < 0 ||
        CurrentImageIndex >= ChartImages.size())
        return std::nullopt;
    app::IsothermLayerKey key;
    key.chart = ChartImages.at(CurrentImageIndex).path;
    key.scaleMin = UpDownScaleMin->value();
    key.scaleMax = UpDownScaleMax->value();
    key.temperatures = app::isothermTemperaturesShown(Isotherms->Value, key.scaleMin, key.scaleMax,
                                                      TemperatureCelsius->Value);
    if (key.temperatures.empty()) return std::nullopt;
    return key;
}

std::shared_ptr<const app::IsothermLayer> TFormThalwise::currentIsothermLayer() {
    const std::optional<app::IsothermLayerKey> key = currentIsothermLayerKey();
    if (!key) return nullptr;
    std::shared_ptr<const app::IsothermLayer> layer =
        m_isothermLayers->layer(*key, m_chartTemperatures);
    if (layer && (layer->width != BaseBitmap.width() || layer->height != BaseBitmap.height()))
        return nullptr;
    return layer;
}
