// Nothing a user can open crashes the program or holds it up: huge files are refused before
// they are read, with a message naming them, also under a memory limit; a command that runs
// out of memory is reported, and the program goes on.
#include "WindowTestSupport.h"

#include "app/GuardedApplication.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <new>

namespace {

void ensureGuardedApplication() {
    static int argc = 1;
    static char name[] = "thalwise-tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new app::GuardedApplication(argc, argv);
}

// A sparse file of 1 GiB that starts like a GIF: it takes no room on disk.
QString hugeChart(const QTemporaryDir& dir) {
    const QString path = dir.filePath("area-ne01.gif");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("GIF89a");
    EXPECT_TRUE(file.resize(qint64(1) << 30));
    return path;
}

// AddressSanitizer reserves terabytes of address space: no memory limit can be set under it.
bool sanitized() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#else
    return false;
#endif
}

// Starts a program under a 1 GiB limit of address space, as `ulimit -v 1048576` sets it.
void startLimited(QProcess& process, const QString& program, const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.start("/bin/sh",
                  QStringList{"-c", "ulimit -v 1048576 && exec \"$@\"", "sh", program} + arguments);
}

TEST(HugeFiles, TheWindowRefusesThemNamingTheFile) {
    ensureGuardedApplication();
    WindowRig rig;
    QTemporaryDir dir;
    const QString huge = hugeChart(dir);
    auto form = rig.openWindow();
    form->show();
    form->OpenChart(huge);
    ASSERT_EQ(rig.messageBoxes.errors.size(), 1);
    EXPECT_TRUE(rig.messageBoxes.errors[0].startsWith("area-ne01.gif: File too large: 1073741824"))
        << rig.messageBoxes.errors[0].toStdString();
    EXPECT_TRUE(form->ChartImages.isEmpty());
}

TEST(HugeFiles, ACommandOutOfMemoryIsReportedAndTheProgramGoesOn) {
    ensureGuardedApplication();
    auto* application = dynamic_cast<app::GuardedApplication*>(QApplication::instance());
    ASSERT_NE(application, nullptr);
    QStringList reported;
    application->setErrorReporter([&](const QString& text) { reported.append(text); });
    int ran = 0;
    QTimer::singleShot(0, [&] {
        ++ran;
        throw std::bad_alloc();
    });
    QTimer::singleShot(0, [&] { ++ran; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return ran == 2; }, 2000));
    EXPECT_EQ(reported, QStringList{app::GuardedApplication::outOfMemoryText()});
    application->setErrorReporter(nullptr);
}

TEST(HugeFiles, UnderAMemoryLimitNothingAborts) {
    if (sanitized()) GTEST_SKIP() << "no address-space limit under AddressSanitizer";
    QTemporaryDir dir;
    const QString huge = hugeChart(dir);

    QProcess cli;
    startLimited(cli, QStringLiteral(THALWISE_CLI_EXE), {"info", huge});
    ASSERT_TRUE(cli.waitForFinished(10000));
    EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(cli.exitCode(), 1);
    const QString err = QString::fromUtf8(cli.readAllStandardError());
    EXPECT_TRUE(err.contains(huge + ": File too large")) << err.toStdString();

    // The window shows its error box and stays up until the user (here: a signal) closes it.
    QProcess window;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", dir.path());
    environment.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    window.setProcessEnvironment(environment);
    startLimited(window, QStringLiteral(THALWISE_EXE), {huge});
    ASSERT_TRUE(window.waitForStarted(10000));
    EXPECT_FALSE(window.waitForFinished(3000)) << window.readAllStandardError().toStdString();
    ::kill(pid_t(window.processId()), SIGTERM);
    ASSERT_TRUE(window.waitForFinished(10000));
    EXPECT_EQ(window.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(window.exitCode(), 0);
}

} // namespace
