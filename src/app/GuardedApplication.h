#pragma once
#include <QApplication>

#include <functional>

namespace app {

// The application object of the window program. An exception that a command lets escape (in
// the first place running out of memory) must not end the program: it is caught where the event
// that started the command is delivered and reported as an error instead, and the program goes
// on with the state the command left.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);

    // Shows the text of a caught failure; until set, failures are only swallowed.
    void setErrorReporter(std::function<void(const QString&)> reporter);

    bool notify(QObject* receiver, QEvent* event) override;

    // Cancels the modal dialogs open above owner, innermost first: each runs a loop of its own
    // that would keep a closing window waiting. Cancelling is the answer that changes nothing.
    static void cancelModalDialogs(const QWidget* owner);

    // The text reported for a command that ran out of memory.
    static QString outOfMemoryText();

private:
    void report(const QString& text);

    std::function<void(const QString&)> m_reporter;
    bool m_reporting = false;
};

} // namespace app
