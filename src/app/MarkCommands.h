#pragma once
// The changes of lines, texts, waypoints and home as undoable commands for the window's undo
// stack: each class holds one kind of change and its reversal side by side.
//
// Every undo and every later redo is written as the change it makes would be: the area's
// annotation file rewritten at once (as an erase is), the waypoint list saved to the settings
// store and the grid refilled, home kept with the settings. The first redo is the change as the
// user made it: a new line or text stays in memory until the marks are saved, as before.

#include "geo/Annotation.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUndoCommand>

class TFormThalwise;

namespace app {

class MarkCommand : public QUndoCommand {
public:
    // True for a change of the area's lines and texts (which a picture with its marks drawn in
    // does not show); false for waypoints and home.
    bool changesChartMarks() const { return m_chartMarks; }

protected:
    MarkCommand(TFormThalwise& window, const QString& text, bool chartMarks);
    // Repaints; writes the area's file when save.
    void marksChanged(bool save);
    // Repaints, saves the list and refills the grid, as every change of the list does.
    void waypointsChanged();

    TFormThalwise& m_window;
    bool m_redone = false; // the change itself has been made once

private:
    bool m_chartMarks;
};

// A line or a text added at the end of its list; undone, it goes again.
template <class Mark> class AddMarkCommand : public MarkCommand {
public:
    AddMarkCommand(TFormThalwise& window, Mark mark);
    void redo() override;
    void undo() override;

private:
    Mark m_mark;
    qsizetype m_index = 0;
};

// A line or a text erased from its place in the list; undone, it comes back there.
template <class Mark> class EraseMarkCommand : public MarkCommand {
public:
    EraseMarkCommand(TFormThalwise& window, qsizetype index);
    void redo() override;
    void undo() override;

private:
    qsizetype m_index;
    Mark m_mark;
};

using AddLineCommand = AddMarkCommand<AnnotationLine>;
using AddTextCommand = AddMarkCommand<AnnotationText>;
using EraseLineCommand = EraseMarkCommand<AnnotationLine>;
using EraseTextCommand = EraseMarkCommand<AnnotationText>;

// Clear all: every line and text of the area gone; undone, all come back.
class ClearMarksCommand : public MarkCommand {
public:
    explicit ClearMarksCommand(TFormThalwise& window);
    void redo() override;
    void undo() override;

private:
    QList<AnnotationLine> m_lines;
    QList<AnnotationText> m_texts;
};

// A waypoint text appended to the list.
class AddWaypointCommand : public MarkCommand {
public:
    AddWaypointCommand(TFormThalwise& window, QString waypointText);
    void redo() override;
    void undo() override;

private:
    QString m_text;
    qsizetype m_index = 0;
};

// The waypoint at index deleted; the ones after it move up until it is undone.
class DeleteWaypointCommand : public MarkCommand {
public:
    DeleteWaypointCommand(TFormThalwise& window, qsizetype index);
    void redo() override;
    void undo() override;

private:
    qsizetype m_index;
    QString m_text;
};

// The waypoint at index given another name (none for an empty one).
class RenameWaypointCommand : public MarkCommand {
public:
    RenameWaypointCommand(TFormThalwise& window, qsizetype index, const QString& name);
    void redo() override;
    void undo() override;

private:
    qsizetype m_index;
    QString m_before;
    QString m_after;
};

// The whole trip replaced: the waypoint list and home at once (Clear all waypoints, a GPX
// import).
class ReplaceTripCommand : public MarkCommand {
public:
    ReplaceTripCommand(TFormThalwise& window, const QString& text, QStringList waypointList,
                       double homeLat, double homeLon);
    void redo() override;
    void undo() override;

private:
    void apply(const QStringList& waypointList, double homeLat, double homeLon);
    QStringList m_beforeList, m_afterList;
    double m_beforeLat, m_beforeLon, m_afterLat, m_afterLon;
};

// Home moved to a position (decimal degrees).
class SetHomeCommand : public MarkCommand {
public:
    SetHomeCommand(TFormThalwise& window, double homeLat, double homeLon);
    void redo() override;
    void undo() override;

private:
    void apply(double homeLat, double homeLon);
    double m_beforeLat, m_beforeLon, m_afterLat, m_afterLon;
};

} // namespace app
