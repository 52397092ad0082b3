#pragma once
#include "geo/Annotation.h"
#include "platform/MessageBoxes.h"

#include <QList>
#include <QObject>
#include <QStringList>

class QSocketNotifier;

namespace app {

// Turns the signals that end a desktop session or a terminal run (SIGTERM from the session
// manager, `kill`, `timeout` or a shutdown; SIGINT; SIGHUP) into a Qt signal delivered on the
// event loop's thread, so that the window can close in order, saving and writing everything,
// instead of the process dying with the run's settings unwritten. A second signal of the same
// kind, once the first has been taken, ends the process the default way. One watcher at a time;
// destroying it restores the previous handlers. Elsewhere than on POSIX systems it does nothing.
class TerminationWatcher : public QObject {
    Q_OBJECT

public:
    explicit TerminationWatcher(QObject* parent = nullptr);
    ~TerminationWatcher() override;

    // False when the handlers could not be installed (the signals then act as before).
    bool isActive() const { return m_notifier != nullptr; }

signals:
    void terminationRequested(int signalNumber);

private:
    void readSignal();

    QSocketNotifier* m_notifier = nullptr;
};

// The question asked when the window or the session is to end but marks or waypoints could not
// be written: what could not be written (the area's marks file, named; the waypoints in the
// settings), Yes to close without them, No (the default) to keep the window open.
platform::MessageBoxRequest unsavedMarksQuestion(const QString& caption,
                                                 const QString& unwrittenMarksFile,
                                                 bool waypointsUnwritten);

// Keeps marks and waypoints that could not be written where they were due, for a session end
// that cannot wait: "unsaved-<area code>.ini" in folder, in the form of an area's marks file
// with the waypoints' stored texts in a "Waypoints" section. An existing file of that name is
// kept and a numbered name taken. The file's path, or empty when nothing could be written.
QString keepUnsavedMarks(const QString& folder, const QString& areaCode,
                         const QList<AnnotationLine>& lines, const QList<AnnotationText>& texts,
                         const QStringList& waypointTexts);

} // namespace app
