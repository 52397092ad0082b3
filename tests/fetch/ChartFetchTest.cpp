// Getting charts from a real (local) ERDDAP stand-in: a good answer is filed, the server's own
// error, a web page and a cut answer file nothing and say why, and the requests go one at a time;
// the command line says what it filed and what was there already.

#include "fetch/ChartFetch.h"
#include "cli/CliRun.h"
#include "geo/AreaStuff.h"
#include "platform/LocalFileSystem.h"
#include "sst/SstSources.h"
#include "support/ErddapAnswers.h"
#include "support/LocalHttpServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QMap>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>


using testsupport::HttpAnswer;

namespace {

int argc = 1;
char name[] = "fetch_test";
char* argv[] = {name, nullptr};

constexpr int Ne01 = 1;
constexpr int Ne02 = 2;
constexpr int Ma01 = 10;
constexpr int Fl01 = 17;

QCoreApplication& app() {
    static QCoreApplication instance(argc, argv);
    return instance;
}

TEST(ChartFetchTest, AreasOneAfterAnotherFiledOrExplained) {
    app();
    const QByteArray ne01 = testsupport::areaAnswer(Ne01);
    ASSERT_FALSE(ne01.isEmpty());
    QMap<QByteArray, int> areaOfTarget; // filled once the server's address is known
    testsupport::LocalHttpServer server([&](const QByteArray& target) {
        HttpAnswer a;
        const int area = areaOfTarget.value(target);
        if (area == Ne01) {
            a.body = ne01;
        } else if (area == Fl01) {
            a.status = 404;
            a.contentType = "text/plain";
            a.body = "Error {\n    code=404;\n    message=\"Not Found: Your query produced no "
                     "matching results. (nobody here)\";\n}\n";
        } else if (area == Ma01) { // a hotel's sign-in page
            a.contentType = "text/html";
            a.body = "<!DOCTYPE html><html><body>Please sign in</body></html>";
        } else {
            a.body = ne01;
            a.mode = HttpAnswer::Mode::Cut;
        }
        return a;
    });
    const QString erddap = server.base() + QStringLiteral("/erddap/");
    for (int area : {Ne01, Fl01, Ma01, Ne02})
        areaOfTarget[testsupport::latestTarget(area, erddap)] = area;
    QTemporaryDir folder;
    const QString archiveFolder = QDir::toNativeSeparators(folder.path() + QStringLiteral("/a/"));
    ASSERT_TRUE(QDir().mkpath(archiveFolder));
    platform::LocalFileSystem fileSystem;

    fetch::FetchRequest request;
    request.areas = {Ne01, Fl01, Ma01, Ne02};
    request.serverOverride = erddap;
    request.archiveFolder = archiveFolder;
    QList<int> reported;
    const QList<fetch::AreaOutcome> outcomes = fetch::fetchNow(
        fileSystem, request, {}, [&](const fetch::AreaOutcome& o) { reported.append(o.area); });

    EXPECT_EQ(reported, request.areas);
    ASSERT_EQ(outcomes.size(), 4);
    EXPECT_TRUE(outcomes[0].succeeded()) << outcomes[0].failure.toStdString();
    EXPECT_EQ(outcomes[0].filedPath, archiveFolder + QStringLiteral("2026-12-01-08-mur-ne01.gif"));
    EXPECT_TRUE(outcomes[1].failure.contains(QStringLiteral("Your query produced no matching")))
        << outcomes[1].failure.toStdString();
    for (int i : {2, 3}) {
        EXPECT_FALSE(outcomes[i].succeeded());
        EXPECT_TRUE(outcomes[i].filedPath.isEmpty());
    }
    EXPECT_EQ(QDir(archiveFolder).entryList(QDir::Files).size(), 1);
    const QList<QByteArray> asked = server.requests();
    // In the areas' order; Qt itself asks once more when a connection closes early (the cut one).
    ASSERT_GE(asked.size(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(areaOfTarget.value(asked[i]), request.areas[i]);
    EXPECT_TRUE(asked[0].startsWith("/erddap/griddap/jplMURSST41.nc?analysed_sst%5B(last)%5D"))
        << asked[0].toStdString();
    EXPECT_EQ(server.mostAtOnce(), 1);

    QString error;
    EXPECT_EQ(fetch::areasOfCodes(QStringLiteral("NE01, fl14,ne01"), &error),
              (QList<int>{Ne01, 30}));
    EXPECT_FALSE(fetch::areasOfCodes(QStringLiteral("ne01,xx99"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("xx99")));
}

// thalwise-cli fetch for a daily job: what was filed on out, what failed on err, and a status
// that says whether every area came.
TEST(ChartFetchTest, CommandLinePrintsWhatItFiled) {
    app();
    const QByteArray ne01 = testsupport::areaAnswer(Ne01);
    QByteArray ne01Target;
    testsupport::LocalHttpServer server([&](const QByteArray& target) {
        HttpAnswer a;
        if (target == ne01Target) {
            a.body = ne01;
        } else {
            a.status = 404;
            a.body = "Error {\n    code=404;\n    message=\"Not Found: no such time\";\n}\n";
        }
        return a;
    });
    ne01Target = testsupport::latestTarget(Ne01, server.base());
    QTemporaryDir folder;
    const QString archive = folder.filePath(QStringLiteral("archive"));
    const QString filed =
        QDir::toNativeSeparators(archive + QStringLiteral("/2026-12-01-08-mur-ne01.gif"));
    const QStringList args = {QStringLiteral("fetch"),
                              QStringLiteral("--area"),
                              QStringLiteral("ne01,fl01"),
                              QStringLiteral("--archive"),
                              archive,
                              QStringLiteral("--server"),
                              server.base()};
    const CliRun first = runCli(args);
    EXPECT_EQ(first.status, 1);
    EXPECT_EQ(first.out, QStringLiteral("filed: ") + filed + u'\n');
    EXPECT_TRUE(first.err.contains(QStringLiteral("fl01: ")) &&
                first.err.contains(QStringLiteral("Not Found: no such time")))
        << first.err.toStdString();
    const CliRun again = runCli(args.mid(0, 2) + QStringList{QStringLiteral("ne01")} + args.mid(3));
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out, QStringLiteral("already: ") + filed + u'\n');
    EXPECT_EQ(
        runCli({QStringLiteral("fetch"), QStringLiteral("--area"), QStringLiteral("zz01")}).status,
        2);
}

} // namespace
