#include "app/SessionEnd.h"

#include "geo/AnnotationFile.h"
#include "platform/ProfileFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace app {

#ifdef Q_OS_UNIX
namespace {

constexpr int WatchedSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The signal handler may only do async-signal-safe work: it writes the signal's number into
// one end of a socket pair, whose other end the event loop watches.
int g_signalSockets[2] = {-1, -1};
struct sigaction g_previous[sizeof WatchedSignals / sizeof WatchedSignals[0]];

extern "C" void onTerminationSignal(int signalNumber) {
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // A full pipe means a request is pending already; nothing more to say.
    [[maybe_unused]] const ssize_t written = ::write(g_signalSockets[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationWatcher::TerminationWatcher(QObject* parent) : QObject(parent) {
    if (g_signalSockets[0] != -1) return; // another watcher has the signals
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_signalSockets) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    // SA_RESETHAND: the first signal asks for an orderly close; a second one, if closing hangs,
    // ends the process as it always would.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (std::size_t i = 0; i < std::size(WatchedSignals); ++i)
        ::sigaction(WatchedSignals[i], &action, &g_previous[i]);
    m_notifier = new QSocketNotifier(g_signalSockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationWatcher::readSignal);
}

TerminationWatcher::~TerminationWatcher() {
    if (!m_notifier) return;
    for (std::size_t i = 0; i < std::size(WatchedSignals); ++i)
        ::sigaction(WatchedSignals[i], &g_previous[i], nullptr);
    delete m_notifier;
    ::close(g_signalSockets[0]);
    ::close(g_signalSockets[1]);
    g_signalSockets[0] = g_signalSockets[1] = -1;
}

void TerminationWatcher::readSignal() {
    unsigned char byte = 0;
    while (::read(g_signalSockets[1], &byte, 1) == 1)
        emit terminationRequested(int(byte));
}

#else

TerminationWatcher::TerminationWatcher(QObject* parent) : QObject(parent) {}
TerminationWatcher::~TerminationWatcher() = default;
void TerminationWatcher::readSignal() {}

#endif

platform::MessageBoxRequest unsavedMarksQuestion(const QString& caption,
                                                 const QString& unwrittenMarksFile,
                                                 bool waypointsUnwritten) {
    platform::MessageBoxRequest request;
    request.caption = caption;
    QStringList what;
    if (!unwrittenMarksFile.isEmpty())
        what.append(QCoreApplication::translate("SessionEnd",
                                                "The lines and texts could not be written to %1.")
                        .arg(QDir::toNativeSeparators(unwrittenMarksFile)));
    if (waypointsUnwritten)
        what.append(QCoreApplication::translate(
            "SessionEnd", "The waypoints could not be written to the settings."));
    what.append(QString());
    what.append(QCoreApplication::translate(
        "SessionEnd", "Close without saving them? Choose No to keep the window open, make room "
                      "or change the folder's permissions, and close again."));
    request.text = what.join(u'\n');
    request.buttons = platform::Button::Yes | platform::Button::No;
    request.icon = platform::Icon::Warning;
    request.defaultButton = platform::Button::No;
    request.yesText = QCoreApplication::translate("SessionEnd", "Close without saving");
    request.noText = QCoreApplication::translate("SessionEnd", "Keep the window open");
    return request;
}

QString keepUnsavedMarks(const QString& folder, const QString& areaCode,
                         const QList<AnnotationLine>& lines, const QList<AnnotationText>& texts,
                         const QStringList& waypointTexts) {
    if (folder.isEmpty() || !QDir().mkpath(folder)) return QString();
    const QString stem = QDir(folder).filePath(QStringLiteral("unsaved-") + areaCode);
    QString path = stem + QStringLiteral(".ini");
    for (int n = 2; QFileInfo::exists(path) && n < 1000; ++n)
        path = stem + QStringLiteral("-%1.ini").arg(n);
    if (QFileInfo::exists(path)) return QString();
    platform::ProfileFile file(path);
    bool written = true;
    for (qsizetype i = 0; i < waypointTexts.size(); ++i)
        written =
            file.writeString(QStringLiteral("Waypoints"), QString::number(i), waypointTexts[i]) &&
            written;
    return geo::saveAnnotations(file, lines, texts) && written ? QDir::toNativeSeparators(path)
                                                               : QString();
}

} // namespace app
