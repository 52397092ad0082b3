// Exporting the chart for chart plotters and chart software.

#include "app/ThalwiseForm.h"

#include "app/RegistryVariables.h"
#include "dialogs/ExportForm.h"
#include "geo/vekMapping.h"
#include "platform/Desktop.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSpinBox>

void TFormThalwise::MenuFileExportChartClick() {
    if (BaseBitmap.isNull()) return;
    if (!m_exportForm) m_exportForm = new TFormExport(this);
    TFormExport& dialog = *m_exportForm;
    dialog.breakThreshold = BreakThreshold ? BreakThreshold->Value : geo::DefaultBreakThreshold;
    if (!showExportDialog(dialog)) return;
    QString refusal;
    std::optional<exports::ExportContents> contents =
        dialog.contents(UpDownScaleMin->value(), UpDownScaleMax->value(), &refusal);
    if (!contents) {
        m_services.messageBoxes->showError(refusal);
        return;
    }
    // The temperature grid and the isotherms' labels in the unit the window shows.
    contents->celsius = TemperatureCelsius && TemperatureCelsius->Value;

    const exports::ExportFormat format = dialog.format();
    ExportDialog.title = tr("Export for chart plotter / chart software");
    ExportDialog.filter = exports::formatFilter(format);
    ExportDialog.filterIndex = 1;
    ExportDialog.defaultSuffix = exports::formatSuffix(format);
    if (ExportDialog.folder.isEmpty()) ExportDialog.folder = m_services.desktop->documentsFolder();
    ExportDialog.fileName =
        QFileInfo(CurrentChartPath).completeBaseName() + u'.' + exports::formatSuffix(format);
    const std::optional<QString> chosen = m_services.fileDialogs->saveFile(ExportDialog);
    if (!chosen) return;
    ExportDialog.folder = QFileInfo(*chosen).absolutePath();

    exports::ChartSource source;
    source.path = CurrentChartPath;
    source.archiveFolder = ArchiveFolder;
    source.bitmap = BaseBitmap;
    source.area = CurrentArea;
    source.timestamp = ChartTimestamp;
    source.temperatures = &m_chartTemperatures;
    for (const QString& text : WaypointList)
        if (const std::optional<Waypoint> waypoint = ParseWaypoint(text))
            source.waypoints.push_back(*waypoint);
    if (HomeLat && HomeLon && HomeLat->Value != 0.0 && HomeLon->Value != 0.0)
        source.home = geo::TrackPoint{HomeLat->Value, HomeLon->Value};
    // The marks as the display draws them; a picture saved with its marks has them already.
    const bool drawnIn = marksDrawnIn();
    source.drawMarks = [this, drawnIn](const QImage& picture, bool annotations, bool markers) {
        const StoredFont font = annotationFont();
        const QList<AnnotationLine> noLines;
        const QList<AnnotationText> noTexts;
        const QStringList noWaypoints;
        display::Overlays overlays;
        overlays.lines = annotations && !drawnIn ? &AnnotationLines : &noLines;
        overlays.texts = annotations && !drawnIn ? &AnnotationTexts : &noTexts;
        overlays.font = toQFont(font);
        overlays.fontColour = colourOf(font);
        overlays.outlined = FontOutlined && FontOutlined->Value;
        overlays.homeLat = markers && HomeLat ? HomeLat->Value : 0.0;
        overlays.homeLon = markers && HomeLon ? HomeLon->Value : 0.0;
        overlays.waypoints = markers ? &WaypointList : &noWaypoints;
        if (m_calibration.Valid) {
            overlays.geoToPixel = [calibration = m_calibration](float lat, float lon, int& x,
                                                                int& y) {
                return ::GeoToPixel(calibration, lat, lon, x, y);
            };
        }
        overlays.markerIcon = WaypointIcon;
        return display::RepaintChart(picture, overlays);
    };

    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    exports::ExportReport report;
    const bool written = exports::exportChart(*chosen, source, *contents, &error, &report);
    QGuiApplication::restoreOverrideCursor();
    if (!written) {
        m_services.messageBoxes->showError(QFileInfo(*chosen).fileName() + QStringLiteral(": ") +
                                           error);
    } else if (!report.warnings.isEmpty()) {
        // Written, but the plotter's limits bent or cut the lines: the user hears how.
        platform::MessageBoxRequest request;
        request.caption = tr("Export for chart plotter / chart software");
        request.text = (QStringList{report.summary} + report.warnings).join(u"\n\n");
        request.icon = platform::Icon::Warning;
        m_services.messageBoxes->show(request);
    }
}

bool TFormThalwise::showExportDialog(TFormExport& dialog) {
    return dialog.exec() == QDialog::Accepted;
}
