// Getting charts from a real (local) ERDDAP stand-in, as a daily job does it.

#include "cli/CliRun.h"
#include "support/ErddapAnswers.h"
#include "support/LocalHttpServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QMap>
#include <QTemporaryDir>

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

// thalwise-cli fetch for a daily job, against a server that answers one area with its data, one
// with ERDDAP's own error, one with a hotel's sign-in page and one cut short: the areas are asked
// one at a time in the order given, only the good answer is filed ("filed:" on out), each failure
// is said on err in the server's or plain words, and the status says not every area came.
// Asked again, the chart already filed is not filed again.
TEST(ChartFetchTest, CommandLineFilesWhatCameAndSaysWhatDidNot) {
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
        } else if (area == Ma01) {
            a.contentType = "text/html";
            a.body = "<!DOCTYPE html><html><body>Please sign in</body></html>";
        } else {
            a.body = ne01;
            a.mode = HttpAnswer::Mode::Cut;
        }
        return a;
    });
    for (int area : {Ne01, Fl01, Ma01, Ne02})
        areaOfTarget[testsupport::latestTarget(area, server.base())] = area;
    QTemporaryDir folder;
    const QString archive = folder.filePath(QStringLiteral("archive"));
    const QString filed =
        QDir::toNativeSeparators(archive + QStringLiteral("/2026-12-01-08-mur-ne01.gif"));
    QStringList args = {QStringLiteral("fetch"),   QStringLiteral("--area"),
                        QStringLiteral("ne01,fl01,ma01,ne02"), QStringLiteral("--archive"),
                        archive,                   QStringLiteral("--server"),
                        server.base()};
    const CliRun first = runCli(args);
    EXPECT_EQ(first.status, 1);
    EXPECT_EQ(first.out, QStringLiteral("filed: ") + filed + u'\n');
    for (const char* said : {"fl01: ", "Your query produced no matching results", "ma01: ",
                             "web page", "ne02: "})
        EXPECT_TRUE(first.err.contains(QString::fromUtf8(said))) << said << first.err.toStdString();
    EXPECT_EQ(QDir(archive).entryList(QDir::Files).size(), 1);
    const QList<QByteArray> asked = server.requests();
    // In the areas' order; Qt itself asks once more when a connection closes early (the cut one).
    ASSERT_GE(asked.size(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(areaOfTarget.value(asked[i]), (QList<int>{Ne01, Fl01, Ma01, Ne02}).at(i));
    EXPECT_TRUE(asked[0].startsWith("/griddap/jplMURSST41.nc?analysed_sst%5B(last)%5D"))
        << asked[0].toStdString();
    EXPECT_EQ(server.mostAtOnce(), 1);

    args[2] = QStringLiteral("NE01, ne01");
    const CliRun again = runCli(args);
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out, QStringLiteral("already: ") + filed + u'\n');
    EXPECT_EQ(
        runCli({QStringLiteral("fetch"), QStringLiteral("--area"), QStringLiteral("zz01")}).status,
        2);
}

} // namespace
