#include "app/MarkCommands.h"

#include "app/RegistryVariables.h"
#include "app/ThalwiseForm.h"
#include "geo/Waypoint.h"

#include <QCoreApplication>

namespace app {

namespace {

QList<AnnotationLine>& marksOf(TFormThalwise& window, const AnnotationLine*) {
    return window.AnnotationLines;
}

QList<AnnotationText>& marksOf(TFormThalwise& window, const AnnotationText*) {
    return window.AnnotationTexts;
}

QString addText(const AnnotationLine*) {
    return QCoreApplication::translate("MarkCommands", "Add line");
}

QString addText(const AnnotationText*) {
    return QCoreApplication::translate("MarkCommands", "Add text");
}

QString eraseText(const AnnotationLine*) {
    return QCoreApplication::translate("MarkCommands", "Erase line");
}

QString eraseText(const AnnotationText*) {
    return QCoreApplication::translate("MarkCommands", "Erase text");
}

template <class Mark> QList<Mark>& listOf(TFormThalwise& window) {
    return marksOf(window, static_cast<const Mark*>(nullptr));
}

} // namespace

MarkCommand::MarkCommand(TFormThalwise& window, const QString& text, bool chartMarks)
    : m_window(window), m_chartMarks(chartMarks) {
    setText(text);
}

void MarkCommand::marksChanged(bool save) {
    m_window.RepaintChart();
    // An empty list leaves no section, which is what Clear all's erasing leaves too.
    if (save) m_window.SaveAnnotations();
}

void MarkCommand::waypointsChanged() {
    m_window.WaypointsChanged();
    m_window.RefreshWaypointGrid();
}

template <class Mark>
AddMarkCommand<Mark>::AddMarkCommand(TFormThalwise& window, Mark mark)
    : MarkCommand(window, addText(static_cast<const Mark*>(nullptr)), true),
      m_mark(std::move(mark)) {}

template <class Mark> void AddMarkCommand<Mark>::redo() {
    QList<Mark>& marks = listOf<Mark>(m_window);
    m_index = marks.size();
    marks.append(m_mark);
    // Added anew, a mark waits for the next save; brought back by a redo, it is written at once
    // like the undo that took it away.
    marksChanged(m_redone);
    m_redone = true;
}

template <class Mark> void AddMarkCommand<Mark>::undo() {
    QList<Mark>& marks = listOf<Mark>(m_window);
    if (m_index < marks.size()) marks.removeAt(m_index);
    marksChanged(true);
}

template <class Mark>
EraseMarkCommand<Mark>::EraseMarkCommand(TFormThalwise& window, qsizetype index)
    : MarkCommand(window, eraseText(static_cast<const Mark*>(nullptr)), true), m_index(index) {}

template <class Mark> void EraseMarkCommand<Mark>::redo() {
    QList<Mark>& marks = listOf<Mark>(m_window);
    if (m_index < 0 || m_index >= marks.size()) return;
    m_mark = marks.takeAt(m_index);
    marksChanged(true);
}

template <class Mark> void EraseMarkCommand<Mark>::undo() {
    QList<Mark>& marks = listOf<Mark>(m_window);
    marks.insert(std::min(m_index, marks.size()), m_mark);
    marksChanged(true);
}

template class AddMarkCommand<AnnotationLine>;
template class AddMarkCommand<AnnotationText>;
template class EraseMarkCommand<AnnotationLine>;
template class EraseMarkCommand<AnnotationText>;

ClearMarksCommand::ClearMarksCommand(TFormThalwise& window)
    : MarkCommand(window, QCoreApplication::translate("MarkCommands", "Clear all annotations"),
                  true),
      m_lines(window.AnnotationLines), m_texts(window.AnnotationTexts) {}

void ClearMarksCommand::redo() {
    m_window.AnnotationLines.clear();
    m_window.AnnotationTexts.clear();
    marksChanged(true);
}

void ClearMarksCommand::undo() {
    m_window.AnnotationLines = m_lines;
    m_window.AnnotationTexts = m_texts;
    marksChanged(true);
}

AddWaypointCommand::AddWaypointCommand(TFormThalwise& window, QString waypointText)
    : MarkCommand(window, QCoreApplication::translate("MarkCommands", "Add waypoint"), false),
      m_text(std::move(waypointText)) {}

void AddWaypointCommand::redo() {
    m_index = m_window.WaypointList.size();
    m_window.WaypointList.append(m_text);
    waypointsChanged();
}

void AddWaypointCommand::undo() {
    if (m_index < m_window.WaypointList.size()) m_window.WaypointList.removeAt(m_index);
    waypointsChanged();
}

DeleteWaypointCommand::DeleteWaypointCommand(TFormThalwise& window, qsizetype index)
    : MarkCommand(window,
                  QCoreApplication::translate("MarkCommands", "Delete waypoint %1").arg(index + 1),
                  false),
      m_index(index) {}

void DeleteWaypointCommand::redo() {
    if (m_index < 0 || m_index >= m_window.WaypointList.size()) return;
    m_text = m_window.WaypointList.takeAt(m_index);
    waypointsChanged();
}

void DeleteWaypointCommand::undo() {
    m_window.WaypointList.insert(std::min(m_index, m_window.WaypointList.size()), m_text);
    waypointsChanged();
}

RenameWaypointCommand::RenameWaypointCommand(TFormThalwise& window, qsizetype index,
                                             const QString& name)
    : MarkCommand(window,
                  QCoreApplication::translate("MarkCommands", "Rename waypoint %1").arg(index + 1),
                  false),
      m_index(index), m_before(window.WaypointList.value(index)),
      m_after(geo::withWaypointName(m_before, name)) {}

void RenameWaypointCommand::redo() {
    if (m_index < 0 || m_index >= m_window.WaypointList.size()) return;
    m_window.WaypointList[m_index] = m_after;
    waypointsChanged();
}

void RenameWaypointCommand::undo() {
    if (m_index < 0 || m_index >= m_window.WaypointList.size()) return;
    m_window.WaypointList[m_index] = m_before;
    waypointsChanged();
}

ReplaceTripCommand::ReplaceTripCommand(TFormThalwise& window, const QString& text,
                                       QStringList waypointList, double homeLat, double homeLon)
    : MarkCommand(window, text, false), m_beforeList(window.WaypointList),
      m_afterList(std::move(waypointList)), m_beforeLat(window.HomeLat->Value),
      m_beforeLon(window.HomeLon->Value), m_afterLat(homeLat), m_afterLon(homeLon) {}

void ReplaceTripCommand::apply(const QStringList& waypointList, double homeLat, double homeLon) {
    m_window.WaypointList = waypointList;
    m_window.HomeLat->Value = homeLat;
    m_window.HomeLon->Value = homeLon;
    waypointsChanged(); // repaints, with home where it now is
}

void ReplaceTripCommand::redo() {
    apply(m_afterList, m_afterLat, m_afterLon);
}

void ReplaceTripCommand::undo() {
    apply(m_beforeList, m_beforeLat, m_beforeLon);
}

SetHomeCommand::SetHomeCommand(TFormThalwise& window, double homeLat, double homeLon)
    : MarkCommand(window, QCoreApplication::translate("MarkCommands", "Set home"), false),
      m_beforeLat(window.HomeLat->Value), m_beforeLon(window.HomeLon->Value), m_afterLat(homeLat),
      m_afterLon(homeLon) {}

void SetHomeCommand::apply(double homeLat, double homeLon) {
    // Home is a setting: kept with the others and written when the program ends.
    m_window.HomeLat->Value = homeLat;
    m_window.HomeLon->Value = homeLon;
    m_window.RefreshWaypointGrid();
    m_window.RepaintChart();
}

void SetHomeCommand::redo() {
    apply(m_afterLat, m_afterLon);
}

void SetHomeCommand::undo() {
    apply(m_beforeLat, m_beforeLon);
}

} // namespace app
