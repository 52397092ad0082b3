#include "app/GuardedApplication.h"

#include <QDialog>

#include <exception>
#include <new>

namespace app {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

void GuardedApplication::setErrorReporter(std::function<void(const QString&)> reporter) {
    m_reporter = std::move(reporter);
}

QString GuardedApplication::outOfMemoryText() {
    return QCoreApplication::translate("GuardedApplication",
                                       "Not enough memory to complete the command");
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
        report(outOfMemoryText());
    } catch (const std::exception& error) {
        report(QString::fromLocal8Bit(error.what()));
    }
    return false;
}

void GuardedApplication::cancelModalDialogs(const QWidget* owner) {
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (modal == owner) break;
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        if (QApplication::activeModalWidget() == modal) break; // it would not go
    }
}

void GuardedApplication::report(const QString& text) {
    // A failure while the error box itself is up is not reported again.
    if (!m_reporter || m_reporting) return;
    m_reporting = true;
    m_reporter(text);
    m_reporting = false;
}

} // namespace app
