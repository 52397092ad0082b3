// The pointer and the marks: readouts, pointer tools, annotations, Save As, Clear all, font.

#include "app/ThalwiseForm.h"

#include "app/AnnotatedImage.h"
#include "app/HistoryPlot.h"
#include "app/MarkCommands.h"
#include "app/PointerTools.h"
#include "app/RegistryVariables.h"
#include "app/SessionEnd.h"
#include "app/vekImage.h"
#include "archive/ArchiveTidyUp.h"
#include "dialogs/AddText.h"
#include "dialogs/ArchiveManagerForm.h"
#include "dialogs/PrintForm.h"
#include "geo/AnnotationFile.h"
#include "geo/TemperatureBreaks.h"
#include "geo/ThalwiseUtils.h"
#include "geo/vekMapping.h"
#include "gif/GIFImage.h"
#include "platform/Desktop.h"
#include "platform/FontDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/PrintJob.h"
#include "platform/ProfileFile.h"

#include <QDockWidget>
#include <QFileInfo>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QUndoStack>

QString TFormThalwise::statusPanelText(int panel) const {
    return panel >= 0 && panel < 4 ? m_statusPanels[panel]->text() : QString();
}

QString TFormThalwise::statusPanelToolTip(int panel) const {
    return panel >= 0 && panel < 4 ? m_statusPanels[panel]->toolTip() : QString();
}

void TFormThalwise::setStatusPanelText(int panel, const QString& text) {
    if (panel >= 0 && panel < 4) m_statusPanels[panel]->setText(text);
}

// ---------------------------------------------------------------------------------------------
// Routines

void TFormThalwise::SaveIfModified() {
    if (!AnnotationFile) return;
    SaveWaypoints();
    SaveAnnotations();
}

bool TFormThalwise::SaveAnnotations() {
    if (!AnnotationFile) return true;
    if (!geo::saveAnnotations(*AnnotationFile, AnnotationLines, AnnotationTexts)) {
        // Still modified: the next save tries again.
        reportUnwritable(AnnotationFile->path());
        return false;
    }
    AnnotationsModified = false;
    return true;
}

void TFormThalwise::LoadAnnotations() {
    const QString path = geo::annotationFileName(ProgramInfoFolder, geo::areaCode(CurrentArea));
    // Marks not yet written go to their own area's file before another file replaces them (the
    // flip commands would otherwise drop them unsaved). When that fails for this very file, the
    // marks in memory are newer than anything it holds: they stay.
    if (AnnotationFile && AnnotationsModified && !SaveAnnotations() &&
        AnnotationFile->path() == path)
        return;
    // The history of changes belongs to the marks on screen; another area's start afresh.
    if (AnnotationFile && AnnotationFile->path() != path) m_undoStack->clear();
    AnnotationFile = std::make_unique<platform::ProfileFile>(path);
    bool writeFailed = false;
    geo::Annotations loaded = geo::loadAnnotations(*AnnotationFile, &writeFailed);
    AnnotationLines = std::move(loaded.lines);
    AnnotationTexts = std::move(loaded.texts);
    // A folder that cannot be written is reported; the chart is shown all the same with what the
    // file holds.
    if (writeFailed) reportUnwritable(AnnotationFile->path());
}

void TFormThalwise::MenuAnnotationOutlineClick() {
    FontOutlined->Value = !FontOutlined->Value;
    RepaintChart();
}

void TFormThalwise::MenuViewDegreesReadoutClick() {
    DecimalDegrees->Value = !DecimalDegrees->Value;
    ShowLatLonFormat();
    RefreshWaypointGrid();
}

void TFormThalwise::MenuViewBearingReadoutClick() {
    MagneticReadout->Value = geo::magneticReadoutAfterToggle(MagneticReadout->Value, HasVariation);
    ShowHeadingFormat();
    RefreshWaypointGrid();
}

// ---------------------------------------------------------------------------------------------
// Readouts

void TFormThalwise::ImageDisplayMouseMove(TvekImage* sender, Qt::KeyboardModifiers,
                                          QPoint position) {
    const bool overChart = sender != ImageScale;
    if (overChart) m_pointerInView = ImageDisplay->mapTo(ScrollBox->viewport(), position);
    if (overChart && panMove(position)) return;
    readPointer(sender, position);
}

void TFormThalwise::rereadUnderPointer() {
    if (!m_pointerInView || !ImageDisplay) return;
    const QPoint at = ImageDisplay->mapFrom(ScrollBox->viewport(), *m_pointerInView);
    if (ImageDisplay->rect().contains(at) && !m_displayPicture.isNull())
        readPointer(ImageDisplay, at);
    else
        ImageDisplayMouseLeave();
}

void TFormThalwise::readPointer(TvekImage* sender, QPoint position) {
    const bool overChart = sender != ImageScale;
    // Only the chart is ever scaled; the scale strip keeps its own pixels. The chart pixel is
    // the one the position shows at every zoom (truncated), whatever the view shows there.
    const QPoint pixel =
        overChart ? view::chartPixel(position, ImageDisplay->viewScale()) : position;
    const int x = pixel.x(), y = pixel.y();
    GeoPosition at;
    if (!PixelToGeo(x, y, at)) return;
    app::PointerMove move;
    move.tool = PointerTool;
    move.overChart = overChart;
    move.x = x;
    move.y = y;
    move.position = at;
    move.dragging = Dragging;
    move.pressPosition = PressPosition;
    // The chart reads its data or its colours; the scale strip is colours only.
    move.temperatureAt = [&] {
        return overChart ? m_chartTemperatures.at(x, y)
                         : m_temperatureScale.TemperatureAtPixel(ScaleBitmap, x, y);
    };
    if (overChart) move.temperatureDecimals = m_chartTemperatures.readoutDecimals();
    move.decimalDegrees = DecimalDegrees->Value;
    move.magneticReadout = MagneticReadout->Value;
    move.magneticVariation = MagneticVariation;
    move.temperatureCelsius = TemperatureCelsius->Value;
    const app::PointerReadout readout = app::pointerReadout(move);

    setStatusPanelText(3, readout.pixel);
    setStatusPanelText(0, readout.position);
    if (readout.rubberBand != app::RubberBand::None) {
        const view::Scale scale = ImageDisplay->viewScale();
        ImageDisplay->setRubberBand(view::viewPosition(PressPoint, scale),
                                    view::viewPosition(QPoint(x, y), scale),
                                    readout.rubberBand == app::RubberBand::Rectangle);
    }
    if (readout.setsWaypointTemperature) WaypointTemperature = readout.waypointTemperature;
    LastPointerPoint = QPoint(x, y);
    if (overChart && m_history.isActive()) followPointerInHistory(QPoint(x, y), readout.position);
    setStatusPanelText(1, readout.temperature);
    m_panelTemperature = readout.temperatureF;
    setStatusPanelText(2, readout.range);
}

void TFormThalwise::ImageDisplayMouseDown(TvekImage*, Qt::MouseButton button, Qt::KeyboardModifiers,
                                          QPoint position) {
    m_swallowRelease = false;
    // The middle button, and the left one with Space held, move the chart; the tools keep the
    // left and right buttons.
    if (panPress(button, position)) return;
    const QPoint pixel = view::chartPixel(position, ImageDisplay->viewScale());
    const int x = pixel.x(), y = pixel.y();
    // With a history on screen the right button pins its spot instead of using the tool.
    if (button == Qt::RightButton && m_history.isActive() && DockTemperatureHistory->isVisible()) {
        m_swallowRelease = true;
        m_menuPixel = QPoint(x, y);
        PopupMenuChartUnpin->setEnabled(m_pinnedPixel.has_value());
        PopupMenuChart->popup(ImageDisplay->mapToGlobal(position));
        return;
    }
    if (app::toolChangesMarks(PointerTool) && marksDrawnIn()) {
        showMessage(app::marksDrawnInText());
        return;
    }
    PressPoint = QPoint(x, y);
    GeoPosition at;
    m_pressMapped = PixelToGeo(x, y, at);
    if (!m_pressMapped) return;
    PressPosition = at;
    Dragging = true;
    // The drag starts where it was pressed, even without a pointer move seen there first (a pen
    // or a touch screen presses without moving).
    LastPointerPoint = PressPoint;
}

void TFormThalwise::ImageDisplayClick() {
    if (m_panning || m_swallowRelease) return; // a pan, or a press ended with Esc
    const app::ClickAction action = app::clickAction(PointerTool, PressPoint, LastPointerPoint);
    if (action == app::ClickAction::Ignored) return;
    Dragging = false;
    ImageDisplay->clearRubberBand();
    const QPoint at = LastPointerPoint;
    switch (action) {
    case app::ClickAction::EraseOrAddText:
        if (FindTextAt(at.x(), at.y()) >= 0)
            EraseTextAt(at.x(), at.y());
        else
            addTextAt(at);
        break;
    case app::ClickAction::EraseTextOrLine:
        if (!EraseTextAt(at.x(), at.y())) {
            const QRect square = app::eraseSquare(at);
            EraseLineIn(square.left(), square.top(), square.left() + square.width(),
                        square.top() + square.height());
        }
        break;
    case app::ClickAction::Ignored:
    case app::ClickAction::Nothing:
        break;
    }
}

void TFormThalwise::ImageDisplayMouseUp(TvekImage*, Qt::MouseButton, Qt::KeyboardModifiers,
                                        QPoint) {
    if (panRelease()) return;
    if (m_swallowRelease) {
        m_swallowRelease = false;
        return;
    }
    const bool wasDragging = Dragging;
    Dragging = false;
    ImageDisplay->clearRubberBand();
    // The end of a drag is where the last pointer move was seen, not where the button came up.
    switch (app::releaseAction(PointerTool, wasDragging)) {
    case app::ReleaseAction::AddLine:
        m_undoStack->push(new app::AddLineCommand(
            *this, app::lineOnChart(PressPoint, LastPointerPoint, BaseBitmap.size())));
        break;
    case app::ReleaseAction::EraseAtMidpoint: {
        const QPoint middle = app::dragMidpoint(PressPoint, LastPointerPoint);
        if (!EraseTextAt(middle.x(), middle.y()))
            EraseLineIn(PressPoint.x(), PressPoint.y(), LastPointerPoint.x(), LastPointerPoint.y());
        break;
    }
    case app::ReleaseAction::AddWaypoint:
        // A press that had no position (a chart of no known area) records nothing.
        if (!m_pressMapped) break;
        m_undoStack->push(new app::AddWaypointCommand(
            *this, WaypointText(Waypoint{PressPosition.Latitude, PressPosition.Longitude,
                                         WaypointTemperature},
                                WaypointPrecision::Pixel)));
        break;
    case app::ReleaseAction::SetHome:
        if (!m_pressMapped) break;
        m_undoStack->push(
            new app::SetHomeCommand(*this, PressPosition.Latitude, PressPosition.Longitude));
        break;
    case app::ReleaseAction::Nothing:
        break;
    }
}

int TFormThalwise::FindTextAt(int x, int y) const {
    const StoredFont font = annotationFont();
    const QFont annotationFont = toQFont(font);
    return app::FindTextAt(AnnotationTexts, QPoint(x, y), [&](const QString& text) {
        return display::TextSize(annotationFont, text);
    });
}

bool TFormThalwise::EraseTextAt(int x, int y) {
    const int index = FindTextAt(x, y);
    if (index < 0) return false;
    const platform::Button answer = m_services.messageBoxes->show(
        app::eraseTextQuestion(AnnotationTexts[index].text, QPoint(x, y)));
    if (answer == platform::Button::Yes) m_undoStack->push(new app::EraseTextCommand(*this, index));
    return true;
}

void TFormThalwise::EraseLineIn(int x1, int y1, int x2, int y2) {
    const std::optional<app::LineHit> hit =
        app::findLineIn(AnnotationLines, app::spannedRectangle(QPoint(x1, y1), QPoint(x2, y2)));
    if (!hit) return;
    if (m_services.messageBoxes->show(app::eraseLineQuestion(*hit)) != platform::Button::Yes)
        return;
    m_undoStack->push(new app::EraseLineCommand(*this, hit->index));
}

void TFormThalwise::addTextAt(QPoint point) {
    if (!m_addText || !m_addText->ShowModal() || m_addText->EnteredText.isEmpty()) return;
    m_undoStack->push(
        new app::AddTextCommand(*this, AnnotationText{m_addText->EnteredText, point}));
}

void TFormThalwise::ImageDisplayMouseEnter() {
    // No control keeps the keyboard focus while the pointer is over the chart.
    if (QWidget* focused = focusWidget()) focused->clearFocus();
}

void TFormThalwise::ImageDisplayMouseLeave() {
    m_pointerInView.reset();
    for (int panel = 0; panel < 3; ++panel)
        setStatusPanelText(panel, QString());
}

void TFormThalwise::assignToolKeys() {
    // Each tool has a letter of its own, named in its tool-tip.
    for (const auto& [button, key] :
         {std::pair{SpeedButtonMeasure, Qt::Key_M}, std::pair{SpeedButtonDraw, Qt::Key_L},
          std::pair{SpeedButtonErase, Qt::Key_E}, std::pair{SpeedButtonText, Qt::Key_T},
          std::pair{SpeedButtonWaypoint, Qt::Key_W},
          std::pair{SpeedButtonWaypointHome, Qt::Key_H}}) {
        button->setShortcut(QKeySequence(key));
        button->setToolTip(tr("%1 (%2)").arg(button->toolTip(),
                                             QKeySequence(key).toString(QKeySequence::NativeText)));
    }
}

void TFormThalwise::ChangeMoveMode() {
    setStatusPanelText(1, QString());
    const std::pair<QToolButton*, app::PointerTool> tools[] = {
        {SpeedButtonMeasure, app::PointerTool::Measure},
        {SpeedButtonText, app::PointerTool::Text},
        {SpeedButtonDraw, app::PointerTool::Line},
        {SpeedButtonPolyline, app::PointerTool::Polygon},
        {SpeedButtonErase, app::PointerTool::Erase},
        {SpeedButtonWaypoint, app::PointerTool::Waypoint},
        {SpeedButtonWaypointHome, app::PointerTool::Home},
    };
    for (const auto& [button, tool] : tools)
        if (button->isChecked()) PointerTool = tool;
    ImageDisplay->setCursor(app::toolCursor(PointerTool));
    if (app::toolShowsWaypoints(PointerTool)) {
        // Once shown, the list and the home button stay when another tool is chosen.
        showWaypointGrid(true, true);
    }
    rereadUnderPointer(); // a tool chosen by its key over the chart
}

// ---------------------------------------------------------------------------------------------
// Moving the chart with the mouse and the keys

bool TFormThalwise::panPress(Qt::MouseButton button, QPoint position) {
    if (button != Qt::MiddleButton && !(button == Qt::LeftButton && m_spaceHeld)) return false;
    m_panning = true;
    // In the view's pixels: the chart moves under the pointer, the view does not.
    m_panStart = position + ImageDisplay->pos();
    m_panScroll =
        QPoint(ScrollBox->horizontalScrollBar()->value(), ScrollBox->verticalScrollBar()->value());
    ImageDisplay->setCursor(Qt::ClosedHandCursor);
    return true;
}

bool TFormThalwise::panMove(QPoint position) {
    if (!m_panning) return false;
    const QPoint moved = position + ImageDisplay->pos() - m_panStart;
    ScrollBox->horizontalScrollBar()->setValue(m_panScroll.x() - moved.x());
    ScrollBox->verticalScrollBar()->setValue(m_panScroll.y() - moved.y());
    return true;
}

bool TFormThalwise::panRelease() {
    if (!m_panning) return false;
    m_panning = false;
    ImageDisplay->setCursor(m_spaceHeld ? QCursor(Qt::OpenHandCursor)
                                        : app::toolCursor(PointerTool));
    return true;
}

void TFormThalwise::cancelChartPress() {
    // The click and the release still to come do nothing: no line, text, erase or waypoint.
    if (!Dragging && !m_panning) return;
    Dragging = false;
    ImageDisplay->clearRubberBand();
    if (panRelease()) return;
    m_swallowRelease = true;
}

void TFormThalwise::keyPressEvent(QKeyEvent* event) {
    QScrollBar* across = ScrollBox->horizontalScrollBar();
    QScrollBar* down = ScrollBox->verticalScrollBar();
    // A tenth of the view a press of an arrow key.
    const int stepX = std::max(1, ScrollBox->viewport()->width() / 10);
    const int stepY = std::max(1, ScrollBox->viewport()->height() / 10);
    switch (event->key()) {
    case Qt::Key_Left:
        across->setValue(across->value() - stepX);
        break;
    case Qt::Key_Right:
        across->setValue(across->value() + stepX);
        break;
    case Qt::Key_Up:
        down->setValue(down->value() - stepY);
        break;
    case Qt::Key_Down:
        down->setValue(down->value() + stepY);
        break;
    case Qt::Key_PageUp:
        down->triggerAction(QAbstractSlider::SliderPageStepSub);
        break;
    case Qt::Key_PageDown:
        down->triggerAction(QAbstractSlider::SliderPageStepAdd);
        break;
    case Qt::Key_Escape:
        cancelChartPress();
        break;
    case Qt::Key_Space:
        if (!event->isAutoRepeat() && !m_panning) ImageDisplay->setCursor(Qt::OpenHandCursor);
        m_spaceHeld = true;
        break;
    default:
        QMainWindow::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TFormThalwise::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        m_spaceHeld = false;
        if (!m_panning) ImageDisplay->setCursor(app::toolCursor(PointerTool));
        event->accept();
        return;
    }
    QMainWindow::keyReleaseEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Annotation menu

void TFormThalwise::MenuFileSaveAsClick() {
    // Never proposes the archive, where a picture would be taken for a chart.
    SaveDialog.fileName =
        app::saveAsProposal(SaveAsName, ArchiveFolder, m_services.desktop->documentsFolder());
    SaveDialog.folder = QFileInfo(SaveDialog.fileName).absolutePath();
    const std::optional<QString> chosen = m_services.fileDialogs->saveFile(SaveDialog);
    if (!chosen) return;
    // Quirk "save-as-saves-marks-first": the marks and waypoints are saved as the command says
    // even when the picture's name is refused below.
    SaveIfModified();
    const app::SaveAsRefusal refusal = app::saveAsRefusal(*chosen, CurrentChartPath, ArchiveFolder);
    if (refusal != app::SaveAsRefusal::None) {
        platform::MessageBoxRequest request;
        request.caption = SaveDialog.title;
        request.text = app::saveAsRefusalText(refusal);
        request.icon = platform::Icon::Warning;
        m_services.messageBoxes->show(request);
        return;
    }
    SaveAsName = *chosen;
    // The picture on screen is written too: the dialog promised an annotated image.
    if (CurrentImageIndex < 0 || m_displayPicture.isNull()) return;
    QString reason;
    if (!app::writeAnnotatedImage(pictureWithMarkers(), ChartImages.at(CurrentImageIndex).bitmap,
                                  app::scaleMetadataLines(m_chartCommentTexts), SaveAsName,
                                  &reason))
        m_services.messageBoxes->showError(platform::unableToWriteText(SaveAsName) +
                                           QStringLiteral(": ") + reason);
}

void TFormThalwise::MenuClearAllClick() {
    if (marksDrawnIn()) {
        showMessage(app::marksDrawnInText());
        return;
    }
    if (m_services.messageBoxes->show(app::clearAllQuestion()) != platform::Button::Yes) return;
    m_undoStack->push(new app::ClearMarksCommand(*this));
}

void TFormThalwise::MenuEditUndoClick() {
    const auto* next =
        dynamic_cast<const app::MarkCommand*>(m_undoStack->command(m_undoStack->index() - 1));
    // Marks under a picture that has them drawn in are not changed, by undo or otherwise.
    if (next && next->changesChartMarks() && marksDrawnIn()) {
        showMessage(app::marksDrawnInText());
        return;
    }
    m_undoStack->undo();
}

void TFormThalwise::MenuEditRedoClick() {
    const auto* next =
        dynamic_cast<const app::MarkCommand*>(m_undoStack->command(m_undoStack->index()));
    if (next && next->changesChartMarks() && marksDrawnIn()) {
        showMessage(app::marksDrawnInText());
        return;
    }
    m_undoStack->redo();
}

void TFormThalwise::MenuAnnotationFontClick() {
    const StoredFont font = annotationFont();
    const std::optional<platform::FontChoice> chosen =
        m_services.fontDialogs->chooseFont(fontChoiceOf(font));
    if (!chosen) return;
    const StoredFont taken = storedFontOf(*chosen);
    Font->TakeFrom(&taken);
    RepaintChart();
}
