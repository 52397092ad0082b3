// The real program ended by a signal, as a session's end, `kill` or `timeout` end it: the
// window closes in order and the run's settings are in the store afterwards.
#include "geo/AreaStuff.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>

namespace {

QString readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST(SessionEnd, ASignalClosesTheWindowInOrderAndKeepsTheSettings) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    // Started through a link named otherwise: the link's name picks the settings.
    const QString link = home.filePath("pelagon-link");
    ASSERT_TRUE(QFile::link(QStringLiteral(THALWISE_EXE), link));
    // A chart of another area than the default one: opening it changes DefaultArea, which is
    // written only when the window closes.
    // (Its time stamp names the same area: the window shows the archive copy of that name.)
    const QString chart = home.filePath("area-fl10.gif");
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(THALWISE_SOURCE_DIR "/resources/samples/area-fl10.gif"), chart));
    const int area = geo::chartAreaOfFile(chart);
    ASSERT_NE(area, 1);

    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signalNumber);
        const QString config = home.filePath(QStringLiteral("config%1").arg(signalNumber));
        const QString store = config + "/Quillmark/pelagon-link.reg";
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("HOME", home.path());
        environment.insert("XDG_CONFIG_HOME", config);
        program.setProcessEnvironment(environment);
        program.start(link, {chart});
        ASSERT_TRUE(program.waitForStarted(10000));
        // The start-up step ends by writing the day of the purge reminder: the chart is open.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return readAll(store).contains(QLatin1String("LastPurgeReminder")); }, 20000))
            << program.readAllStandardError().toStdString();
        EXPECT_FALSE(readAll(store).contains(QLatin1String("\"DefaultArea\"")));

        ::kill(pid_t(program.processId()), signalNumber);
        ASSERT_TRUE(program.waitForFinished(10000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
        const QString written = readAll(store);
        EXPECT_TRUE(written.contains(
            QStringLiteral("\"DefaultArea\"=dword:%1").arg(area, 8, 16, QChar(u'0'))))
            << written.toStdString();
        // Every other setting of the run is written too.
        for (const char* name : {"DecimalDegrees", "MagneticReadout", "HomeLat", "DaysToKeep"})
            EXPECT_TRUE(written.contains(QStringLiteral("\"%1\"").arg(QLatin1String(name))))
                << name;
    }
}

} // namespace
