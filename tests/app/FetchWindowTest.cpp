// Getting charts through the window from a local stand-in for ERDDAP: the quiet daily fetch at
// start-up, and File > "Get charts..." chosen by a user, ending with the chart on screen.

#include "WindowTestSupport.h"
#include "dialogs/GetChartsForm.h"
#include "support/ErddapAnswers.h"
#include "support/LocalHttpServer.h"

#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>

namespace {

constexpr int Ne01 = 1;
constexpr int Ne02 = 2;
constexpr int Fl01 = 17;

TEST(FetchWindowTest, DailyAtStartAndGetChartsFileAndShowTheWater) {
    WindowRig rig;
    const QByteArray ne01 = testsupport::areaAnswer(Ne01);
    const QByteArray fl01 = testsupport::areaAnswer(Fl01);
    QMap<QByteArray, int> areaOfTarget;
    testsupport::LocalHttpServer server([&](const QByteArray& target) {
        testsupport::HttpAnswer a;
        const int area = areaOfTarget.value(target);
        if (area == Ne01 || area == Fl01) {
            a.body = area == Ne01 ? ne01 : fl01;
        } else {
            a.status = 404;
            a.body = "Error {\n    code=404;\n    message=\"Not Found: Your query produced no "
                     "matching results.\";\n}\n";
        }
        return a;
    });
    const QString erddap = server.base() + QStringLiteral("/erddap");
    for (int area : {Ne01, Ne02, Fl01})
        areaOfTarget[testsupport::latestTarget(area, erddap)] = area;
    {
        TRegistryString server(*rig.registry, rig.key, "FetchServer", {});
        TRegistryString areas(*rig.registry, rig.key, "FetchAreas", {});
        TRegistryBoolean daily(*rig.registry, rig.key, "FetchDaily", false);
        server.Value = erddap;
        areas.Value = QStringLiteral("ne01");
        daily.Value = true;
    } // written as they go out of scope

    std::unique_ptr<TFormThalwise> form = rig.openWindow();
    form->show();
    const QString filed = form->ArchiveFolder + QStringLiteral("2026-12-01-08-mur-ne01.gif");
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(filed); }, 10000));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return form->StatusBar->currentMessage().contains(QStringLiteral("1 new chart")); },
        5000))
        << form->StatusBar->currentMessage().toStdString();
    EXPECT_EQ(server.requests().size(), 1);

    // The user asks for three areas: ne01 is there already, ne02 has no data today, fl01 comes
    // and is shown.
    bool checked = false;
    QTimer::singleShot(0, form.get(), [&] {
        auto* dialog = form->findChild<TFormGetCharts*>();
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog->chosenAreas(), QList<int>{Ne01});
        dialog->setChoices({Ne01, Ne02, Fl01}, QStringLiteral("mur"), true);
        QTest::mouseClick(dialog->ButtonGet, Qt::LeftButton);
        EXPECT_EQ(dialog->ButtonCancel->text(), QStringLiteral("Cancel"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->ButtonGet->isEnabled(); }, 10000));
        EXPECT_EQ(dialog->TableProgress->item(0, 2)->text(),
                  QStringLiteral("Already in the archive"));
        EXPECT_TRUE(dialog->TableProgress->item(1, 2)->text().contains(
            QStringLiteral("Your query produced no matching results")));
        EXPECT_EQ(dialog->TableProgress->item(2, 2)->text(), QStringLiteral("Filed"));
        EXPECT_EQ(form->ChartTimestamp, QStringLiteral("2026-12-01-08-mur-fl01"));
        checked = true;
        dialog->reject();
    });
    form->MenuFileGetChartsClick();
    EXPECT_TRUE(checked);
    EXPECT_EQ(TRegistryString(*rig.registry, rig.key, "FetchAreas", {}).Value,
              QStringLiteral("ne01,ne02,fl01"));
    EXPECT_EQ(QDir(form->ArchiveFolder).entryList({QStringLiteral("*.gif")}, QDir::Files).size(),
              2);
}

} // namespace
