// The Help menu over the user guide: each command opens the help window on its tab, context
// 200 opens Getting started, the guide built in has no link leading nowhere, the search finds
// what the pages say, and a guide installed beside the program is preferred.

#include "WindowTestSupport.h"
#include "app/HelpGuide.h"
#include "app/HelpWindow.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTreeWidget>
#include <gtest/gtest.h>

static void initGuide() {
    Q_INIT_RESOURCE(guide);
}

namespace {

void writeFile(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

TEST(HelpWindow, EachCommandOpensTheGuideOnItsTab) {
    WindowRig rig;
    auto form = rig.open();
    const struct {
        QAction* command;
        THelpWindow::Tab tab;
    } commands[] = {{form->MenuHelpIndex, THelpWindow::Tab::Index},
                    {form->MenuHelpSearch, THelpWindow::Tab::Search},
                    {form->MenuHelpContents, THelpWindow::Tab::Contents}};
    for (const auto& c : commands) {
        c.command->trigger();
        auto* help = form->findChild<THelpWindow*>();
        ASSERT_NE(help, nullptr);
        EXPECT_TRUE(help->isVisible());
        EXPECT_EQ(help->currentTab(), c.tab) << c.command->text().toStdString();
    }
    // One window for the run.
    EXPECT_EQ(form->findChildren<THelpWindow*>().size(), 1);

    auto* help = form->findChild<THelpWindow*>();
    help->showTarget(QStringLiteral("index.html"));
    form->MenuHelpGettingStarted->trigger();
    EXPECT_EQ(help->currentTab(), THelpWindow::Tab::Contents);
    EXPECT_EQ(help->currentUrl().fileName(), "getting-started.html");
    EXPECT_FALSE(help->Page->toPlainText().isEmpty());
    EXPECT_TRUE(rig.messageBoxes.requests.isEmpty());
}

TEST(HelpWindow, StandardKeysReachTheirCommands) {
    WindowRig rig;
    auto form = rig.open();
    form->OpenChart(copySample(form->ArchiveFolder, "area-ne01.gif"));
    QList<QKeySequence> seen;
    for (QAction* item : {form->MenuFileOpenOne, form->MenuFileSaveAs, form->MenuFilePrint,
                          form->MenuFileExit, form->MenuHelpContents, form->MenuViewZoom,
                          form->MenuViewNormal}) {
        const QKeySequence key = item->shortcut();
        ASSERT_FALSE(key.isEmpty()) << item->objectName().toStdString();
        EXPECT_FALSE(seen.contains(key)) << key.toString().toStdString();
        // A plain letter or Alt+letter would take a menu's access key.
        EXPECT_TRUE((key[0].keyboardModifiers() & (Qt::ControlModifier | Qt::MetaModifier)) ||
                    (key[0].key() >= Qt::Key_F1 && key[0].key() <= Qt::Key_F35))
            << key.toString().toStdString();
        seen.append(key);
    }
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    // Each zoom key sets its view, pressed once or twice; it never toggles.
    const QKeyCombination zoomIn = form->MenuViewZoom->shortcut()[0];
    const QKeyCombination zoomOut = form->MenuViewNormal->shortcut()[0];
    for (const auto& [key, zoomed] : {std::pair{zoomOut, false}, std::pair{zoomIn, true},
                                      std::pair{zoomIn, true}, std::pair{zoomOut, false}}) {
        QTest::keyClick(form.get(), key.key(), key.keyboardModifiers());
        EXPECT_EQ(form->Zoomed, zoomed);
        EXPECT_EQ(form->MenuViewZoom->isChecked(), zoomed);
    }
    QTest::keyClick(form.get(), Qt::Key_F1);
    auto* help = form->findChild<THelpWindow*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->currentTab(), THelpWindow::Tab::Contents);
}

TEST(HelpWindow, TheBuiltInGuideHoldsTogetherAndIsSearched) {
    ensureApplication();
    initGuide();
    const std::optional<help::Guide> guide = help::Guide::load(help::BuiltInGuide);
    ASSERT_TRUE(guide);
    EXPECT_EQ(guide->contextTarget(200).section('#', 0, 0), "getting-started.html");
    EXPECT_TRUE(guide->brokenLinks().isEmpty()) << guide->brokenLinks().join('\n').toStdString();
    EXPECT_FALSE(guide->contents().isEmpty());
    EXPECT_FALSE(guide->keywords().isEmpty());
    for (qsizetype i = 1; i < guide->keywords().size(); ++i)
        EXPECT_LE(guide->keywords()[i - 1].keyword.compare(guide->keywords()[i].keyword,
                                                           Qt::CaseInsensitive),
                  0);

    const QList<help::SearchHit> waypoint = guide->search(QStringLiteral("WAYPOINT"));
    ASSERT_FALSE(waypoint.isEmpty());
    for (qsizetype i = 1; i < waypoint.size(); ++i)
        EXPECT_GE(waypoint[i - 1].score, waypoint[i].score);
    EXPECT_TRUE(guide->search(QStringLiteral("waypoint qzxv")).isEmpty());

    // The search tab lists the pages found; a page found opens with the word selected.
    FakeDesktop desktop;
    THelpWindow window(*guide, desktop);
    window.SearchText->setText(QStringLiteral("waypoint"));
    window.runSearch();
    ASSERT_EQ(window.SearchResults->count(), waypoint.size());
    emit window.SearchResults->itemClicked(window.SearchResults->item(0));
    EXPECT_EQ(window.currentUrl().fileName(), waypoint[0].target);
    EXPECT_EQ(window.Page->textCursor().selectedText().toLower(), "waypoint");
}

TEST(HelpWindow, LinksIndexAndAnInstalledGuide) {
    ensureApplication();
    QTemporaryDir dir;
    const QString exeFolder = dir.filePath("bin");
    const QString dataFolder = dir.filePath("share");
    const QString installed = dataFolder + "/thalwise/guide";
    writeFile(installed + "/contents.txt", "0\ta.html\tFirst\n1\ta.html#more\tMore\n0\tb.html\tB\n");
    writeFile(installed + "/keywords.txt", "tide\tb.html\nchart\ta.html\nChart\tb.html#gone\n");
    writeFile(installed + "/contexts.txt", "200\ta.html#more\n300\tnowhere.html\n");
    writeFile(installed + "/a.html",
              "<html><head><title>First page</title></head><body><p>Tide and tide.</p>"
              "<a name=\"more\"></a><a href=\"b.html\">b</a> <a href=\"https://x.example/\">x</a>"
              "<img src=\"images/missing.png\"></body></html>");
    writeFile(installed + "/b.html", "<html><head><title>B</title></head><body>tide</body></html>");
    QDir().mkpath(exeFolder + "/guide"); // no contents.txt: not a guide

    EXPECT_EQ(help::findGuideFolder(exeFolder, {dir.filePath("nothing"), dataFolder}), installed);
    EXPECT_EQ(help::findGuideFolder(exeFolder, {}), QString(help::BuiltInGuide));
    const std::optional<help::Guide> guide = help::Guide::load(installed);
    ASSERT_TRUE(guide);
    EXPECT_EQ(guide->brokenLinks(),
              QStringList({"a.html: images/missing.png", "keywords.txt: b.html#gone",
                           "contexts.txt: nowhere.html"}));
    const QList<help::SearchHit> tide = guide->search(QStringLiteral("tide"));
    ASSERT_EQ(tide.size(), 2);
    EXPECT_EQ(tide[0].target, "a.html");
    EXPECT_EQ(tide[0].title, "First page");
    EXPECT_EQ(tide[0].score, 2);

    FakeDesktop desktop;
    THelpWindow window(*guide, desktop);
    EXPECT_EQ(window.currentUrl(), QUrl::fromLocalFile(installed + "/a.html"));
    // A topic and its section in the contents; a keyword of two places names their pages.
    ASSERT_EQ(window.ContentsTree->topLevelItemCount(), 2);
    EXPECT_EQ(window.ContentsTree->topLevelItem(0)->childCount(), 1);
    window.IndexFilter->setText(QStringLiteral("CH"));
    ASSERT_EQ(window.IndexList->count(), 2);
    EXPECT_TRUE(window.IndexList->item(0)->text().endsWith("First page"));
    // Links: a page of the guide opens in place, a web link goes to the desktop.
    emit window.Page->anchorClicked(QUrl(QStringLiteral("b.html")));
    EXPECT_EQ(window.currentUrl().fileName(), "b.html");
    emit window.Page->anchorClicked(QUrl(QStringLiteral("https://x.example/")));
    ASSERT_EQ(desktop.openedUrls.size(), 1);
    EXPECT_EQ(window.currentUrl().fileName(), "b.html");
    EXPECT_TRUE(window.showContext(200));
    EXPECT_EQ(window.currentUrl().fragment(), "more");
    EXPECT_FALSE(window.showContext(201));
}

} // namespace
