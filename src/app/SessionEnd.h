#pragma once
#include <QObject>

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

} // namespace app
