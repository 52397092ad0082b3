// Files made to cost time or memory while staying under the program's own size limits: nothing a
// user can open or keep takes more than about 2 s or 1 GiB. The files are made here. Time is
// the processor time used, so that a busy machine does not fail the tests; the limits hold in
// an optimised build without sanitizers only.
#include "support/HostileFiles.h"
#include "app/RegistryVariables.h"
#include "geo/AnnotationFile.h"
#include "geo/WaypointTable.h"
#include "platform/FileRegistry.h"
#include "platform/ProfileFile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <ctime>

namespace {

// AddressSanitizer reserves terabytes of address space and slows everything several times.
bool timed() {
#if defined(__SANITIZE_ADDRESS__) || !defined(__OPTIMIZE__)
    return false;
#else
    return true;
#endif
}

// Processor seconds used by this process, or by its children that have ended.
double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}
double childrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) {
        return double(t.tv_sec) + double(t.tv_usec) * 1e-6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

TEST(HostileFiles, ChartsOfTinyBlocksAreRefusedWithinOneGiBAndSeconds) {
    if (!timed()) GTEST_SKIP() << "budgets hold in an optimised build without sanitizers";
    QTemporaryDir dir;
    const struct {
        const char* name;
        QByteArray bytes;
        const char* refusal;
    } charts[] = {
        {"subblocks.gif", hostile::gifOfOneByteSubBlocks(120'000'000), "Too many data sub-blocks"},
        {"comments.gif", hostile::gifOfOneByteComments(25'000'000), "Too many blocks"},
    };
    for (const auto& chart : charts) {
        const QString path = dir.filePath(QLatin1String(chart.name));
        writeFile(path, chart.bytes);
        QProcess cli;
        const double before = childrenCpuSeconds();
        cli.start("/bin/sh", {"-c", "ulimit -v 1048576 && exec \"$@\"", "sh",
                              QStringLiteral(THALWISE_CLI_EXE), "info", path});
        ASSERT_TRUE(cli.waitForFinished(60000)) << chart.name;
        EXPECT_LT(childrenCpuSeconds() - before, 2.0) << chart.name;
        EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit) << chart.name;
        EXPECT_EQ(cli.exitCode(), 1) << chart.name;
        const QString err = QString::fromUtf8(cli.readAllStandardError());
        EXPECT_TRUE(err.contains(path + ": " + chart.refusal)) << err.toStdString();
    }
}

TEST(HostileFiles, AnAnnotationFileOfCollidingNamesLoadsAndSavesInTime) {
    if (!timed()) GTEST_SKIP() << "budgets hold in an optimised build without sanitizers";
    QTemporaryDir dir;
    const QString path = dir.filePath("ne01.ini");
    writeFile(path, hostile::annotationFileOfCollidingKeys(14));
    const double start = cpuSeconds();
    platform::ProfileFile file(path);
    bool writeFailed = true;
    const geo::Annotations read = geo::loadAnnotations(file, &writeFailed);
    EXPECT_FALSE(writeFailed);
    EXPECT_TRUE(read.lines.isEmpty()); // no key is a number
    EXPECT_TRUE(geo::saveAnnotations(file, {AnnotationLine{{QPoint(1, 2), QPoint(3, 4)}}}, {}));
    EXPECT_LT(cpuSeconds() - start, 2.0);
    EXPECT_EQ(geo::readAnnotations(platform::ProfileFile(path)).lines.size(), 1);
}

TEST(HostileFiles, ASettingsStoreOfManyWaypointsIsReadAndWrittenInTime) {
    if (!timed()) GTEST_SKIP() << "budgets hold in an optimised build without sanitizers";
    QTemporaryDir dir;
    const QString key = QStringLiteral("\\Software\\Quillmark\\thalwise");
    for (const int count : {20'000, 100'000}) {
        const QString path = dir.filePath(QStringLiteral("store-%1.reg").arg(count));
        writeFile(path, hostile::settingsStoreOfWaypoints(count));
        platform::FileRegistry registry(path);
        const double start = cpuSeconds();
        // The window's start: its settings one by one, then every waypoint.
        TRegistryInteger days(registry, key, QStringLiteral("DaysToKeep"), 0);
        TRegistryIniFile sections(registry, key);
        const QStringList waypoints = sections.ReadSectionValues(QStringLiteral("Waypoints"));
        ASSERT_EQ(waypoints.size(), count);
        EXPECT_EQ(waypoints.last(), QStringLiteral("%1=Lat=41.25,Lon=-70.50,Tf=%2.0")
                                        .arg(count - 1)
                                        .arg(50 + (count - 1) % 30));
        // A setting written at its end, and read back.
        days.Value = 9;
        days.Store();
        EXPECT_EQ(registry.readValue(key, QStringLiteral("DaysToKeep"))->dword, 9u);
        EXPECT_LT(cpuSeconds() - start, 2.0) << count;
        // The window's close with the first waypoint deleted, saved as the window saves it:
        // renumbered from 0, the last old name gone.
        const QStringList kept = waypointsInNameOrder(waypoints).mid(1);
        const double saving = cpuSeconds();
        ASSERT_TRUE(sections.ReplaceSection(QStringLiteral("Waypoints"),
                                            waypointSectionEntries(geo::waypointsToSave(kept))));
        EXPECT_LT(cpuSeconds() - saving, 2.0) << count;
        QStringList expected;
        for (qsizetype k = 0; k < kept.size(); ++k)
            expected.append(QString::number(k) + QLatin1Char('=') + kept[k]);
        platform::FileRegistry reread(path);
        EXPECT_EQ(TRegistryIniFile(reread, key).ReadSectionValues(QStringLiteral("Waypoints")),
                  expected);
        EXPECT_EQ(reread.readValue(key, QStringLiteral("DaysToKeep"))->dword, 9u);
    }
}

} // namespace
